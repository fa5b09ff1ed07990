# Every fuzz target built as a plain program over ReplayMain.cpp and run by
# ctest on its seed corpus, with whatever compiler and sanitizers the build
# uses. The libFuzzer build (CORVELIN_FUZZ) makes the real fuzzers instead.
# FuzzedDataProvider.h comes with clang's runtime package. It is copied on its
# own, since the folder that holds it also holds clang's builtin headers, which
# g++ must not see.
file(GLOB fuzz_provider_headers /usr/lib/llvm-*/lib/clang/*/include/fuzzer/FuzzedDataProvider.h)
if(NOT fuzz_provider_headers)
  message(FATAL_ERROR "FuzzedDataProvider.h not found: install libclang-rt-14-dev")
endif()
list(GET fuzz_provider_headers 0 fuzz_provider_header)
set(fuzz_provider_dir ${PROJECT_BINARY_DIR}/fuzz-include)
configure_file(${fuzz_provider_header} ${fuzz_provider_dir}/fuzzer/FuzzedDataProvider.h COPYONLY)
file(GLOB fuzz_target_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/fuzz_*.cpp)
foreach(source IN LISTS fuzz_target_sources)
  get_filename_component(target ${source} NAME_WE)
  add_executable(${target}_replay ${source} ${PROJECT_SOURCE_DIR}/fuzz/ReplayMain.cpp)
  target_link_libraries(${target}_replay PRIVATE corvelin_core)
  target_include_directories(${target}_replay PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_include_directories(${target}_replay SYSTEM PRIVATE ${fuzz_provider_dir})
  set_target_properties(${target}_replay PROPERTIES AUTOMOC OFF)
  add_test(NAME fuzz_replay.${target}
           COMMAND ${target}_replay ${PROJECT_SOURCE_DIR}/fuzz/corpus/${target})
endforeach()
