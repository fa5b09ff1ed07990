# The layers of src/: one static library per folder, corvelin_<folder>, linked
# to the layers it may use. Which layers a folder may include is declared once,
# in its corvelin_layer() call; corvelin_check_layers() then makes every build
# check the includes of src/ and tests/ against those declarations, so that an
# include that runs upward fails the build instead of tangling the layers.

# corvelin_layer(NAME [DEPENDS layer...] [RECURSE] [LIBS target...])
# DEPENDS names the layers right below this one; the ones they use come along.
# A layer whose folder is not (yet) in the tree is skipped, so a declaration
# can precede its folder. A folder's main.cpp belongs to its program, not to
# the library.
function(corvelin_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "RECURSE" "" "DEPENDS;LIBS")
  set(allowed ${name})
  foreach(dep IN LISTS arg_DEPENDS)
    get_property(dep_allowed GLOBAL PROPERTY CORVELIN_LAYER_ALLOWED_${dep})
    list(APPEND allowed ${dep} ${dep_allowed})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY CORVELIN_LAYER_ALLOWED_${name} ${allowed})
  set_property(GLOBAL APPEND PROPERTY CORVELIN_LAYERS ${name})

  set(dir ${PROJECT_SOURCE_DIR}/src/${name})
  if(NOT IS_DIRECTORY ${dir})
    return()
  endif()
  if(arg_RECURSE)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  endif()
  list(FILTER sources EXCLUDE REGEX "/src/${name}/main\\.cpp$")
  set(target corvelin_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} ${PROJECT_SOURCE_DIR}/src)
  target_compile_definitions(${target} ${scope} CORVELIN_VERSION="${PROJECT_VERSION}")
  target_link_libraries(${target} ${scope} ${arg_LIBS})
  foreach(dep IN LISTS arg_DEPENDS)
    if(TARGET corvelin_${dep})
      target_link_libraries(${target} ${scope} corvelin_${dep})
    endif()
  endforeach()
  if(TARGET corvelin_layer_check AND sources)
    add_dependencies(${target} corvelin_layer_check)
  endif()
endfunction()

# Adds the build step that checks the includes. Call it before the layers, so
# that each library waits for the check and an upward include stops the build
# before anything compiles.
function(corvelin_check_layers)
  file(GLOB_RECURSE checked CONFIGURE_DEPENDS
       ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp
       ${PROJECT_SOURCE_DIR}/tests/*.h ${PROJECT_SOURCE_DIR}/tests/*.cpp)
  # Folders are listed too, so that a new one is checked from its first build.
  file(GLOB folders LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*)
  set(stamp ${PROJECT_BINARY_DIR}/layer-check.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DRULES_FILE=${PROJECT_BINARY_DIR}/layer-rules.cmake
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${checked} ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
            ${PROJECT_BINARY_DIR}/layer-rules.cmake
    COMMENT "Checking that every include follows the layers"
    VERBATIM)
  add_custom_target(corvelin_layer_check ALL DEPENDS ${stamp})
endfunction()

# Writes down the declared layers for the check; call it after the last one.
function(corvelin_write_layer_rules)
  get_property(layers GLOBAL PROPERTY CORVELIN_LAYERS)
  set(text "set(LAYERS ${layers})\n")
  foreach(layer IN LISTS layers)
    get_property(allowed GLOBAL PROPERTY CORVELIN_LAYER_ALLOWED_${layer})
    string(APPEND text "set(ALLOWED_${layer} ${allowed})\n")
  endforeach()
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/layer-rules.cmake CONTENT "${text}")
endfunction()
