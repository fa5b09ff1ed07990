# Fails when a text wrapped for translation in the core or the command line
# has no English in po/en.po (missing, empty or fuzzy).
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/src/support/*.cpp ${SOURCE_DIR}/src/support/*.h
     ${SOURCE_DIR}/src/model/*.cpp ${SOURCE_DIR}/src/model/*.h
     ${SOURCE_DIR}/src/packing/*.cpp ${SOURCE_DIR}/src/packing/*.h
     ${SOURCE_DIR}/src/intake/*.cpp ${SOURCE_DIR}/src/intake/*.h
     ${SOURCE_DIR}/src/settings/*.cpp ${SOURCE_DIR}/src/settings/*.h
     ${SOURCE_DIR}/src/view/*.cpp ${SOURCE_DIR}/src/view/*.h
     ${SOURCE_DIR}/src/disc/*.cpp ${SOURCE_DIR}/src/disc/*.h
     ${SOURCE_DIR}/src/catalog/*.cpp ${SOURCE_DIR}/src/catalog/*.h
     ${SOURCE_DIR}/src/cli/*.cpp ${SOURCE_DIR}/src/cli/*.h)
list(FILTER sources EXCLUDE REGEX "support/UiText\\.h$")
execute_process(
  COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ -k -kTr -kTr16 -kTrFormat
          -kTr16Format -o ${POT} ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE extracted)
if(NOT extracted EQUAL 0)
  message(FATAL_ERROR "xgettext failed")
endif()
execute_process(COMMAND ${MSGCMP} ${SOURCE_DIR}/po/en.po ${POT} RESULT_VARIABLE compared)
if(NOT compared EQUAL 0)
  message(FATAL_ERROR "po/en.po lacks the English of the texts listed above")
endif()
