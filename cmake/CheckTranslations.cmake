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

# A Japanese literal outside these calls would stay Japanese in English: every
# one must be wrapped, but for the few that are data rather than messages.
set(kept_as_data
    [[msgid "ＭＳ ゴシック"]]          # a font's name
    "msgid \"﻿\""             # a byte-order mark
    [[msgid " 枚\t"]] [[msgid " ファイル\t"]] [[msgid " バイト\n"]])  # --catalog-list's data lines
execute_process(
  COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ -a -o ${POT}.all ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE extracted OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${MSGCOMM} --unique -o ${POT}.unwrapped ${POT}.all ${POT}
                RESULT_VARIABLE compared OUTPUT_QUIET ERROR_QUIET)
if(NOT extracted EQUAL 0 OR NOT compared EQUAL 0)
  message(FATAL_ERROR "xgettext -a or msgcomm failed")
endif()
set(unwrapped)
if(EXISTS ${POT}.unwrapped)
  file(STRINGS ${POT}.unwrapped ids ENCODING UTF-8 REGEX "^msgid \"")
  foreach(id IN LISTS ids)
    string(REGEX MATCH "[^ -~]" foreign "${id}")
    list(FIND kept_as_data "${id}" kept)
    if(foreign AND kept EQUAL -1)
      list(APPEND unwrapped "${id}")
    endif()
  endforeach()
endif()
if(unwrapped)
  list(JOIN unwrapped "\n  " shown)
  message(FATAL_ERROR "Japanese texts not wrapped for translation:\n  ${shown}")
endif()
