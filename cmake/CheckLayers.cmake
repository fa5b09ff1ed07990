# Run by the build (cmake -P): fails when a file of src/ or tests/ includes a
# layer its own layer may not use, when a folder of src/ is no declared layer,
# or when a layer other than the windows includes a Qt header.
# SOURCE_DIR is the repository, RULES_FILE the rules corvelin_write_layer_rules
# wrote (LAYERS and, for each, ALLOWED_<layer>).
cmake_minimum_required(VERSION 3.20)
include(${RULES_FILE})

set(faults)
file(GLOB folders LIST_DIRECTORIES true ${SOURCE_DIR}/src/*)
foreach(folder IN LISTS folders)
  get_filename_component(name ${folder} NAME)
  if(IS_DIRECTORY ${folder} AND NOT name IN_LIST LAYERS)
    list(APPEND faults "src/${name}/ is no layer: declare it with corvelin_layer() in CMakeLists.txt")
  endif()
endforeach()

# The tests of the windows and of the command line are named apart.
set(test_folder_ui gui)
foreach(layer IN LISTS LAYERS)
  set(test_folder ${layer})
  if(DEFINED test_folder_${layer})
    set(test_folder ${test_folder_${layer}})
  endif()
  file(GLOB_RECURSE files ${SOURCE_DIR}/src/${layer}/*.h ${SOURCE_DIR}/src/${layer}/*.cpp
       ${SOURCE_DIR}/tests/${test_folder}/*.h ${SOURCE_DIR}/tests/${test_folder}/*.cpp)
  foreach(file IN LISTS files)
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
      if(line MATCHES "include[ \t]*\"([a-z]+)/")
        set(used ${CMAKE_MATCH_1})
        if(used IN_LIST LAYERS AND NOT used IN_LIST ALLOWED_${layer})
          list(APPEND faults "${shown}: ${line}: ${layer}/ may use only ${ALLOWED_${layer}}")
        endif()
      elseif(NOT layer STREQUAL "ui" AND line MATCHES "include[ \t]*<(Q[A-Za-z]+|Qt[A-Za-z]*/)")
        list(APPEND faults "${shown}: ${line}: only the windows (ui/) include Qt")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that break the layers:\n  ${text}")
endif()
