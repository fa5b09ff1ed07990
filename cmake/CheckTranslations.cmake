# Fails when a text wrapped for translation in the core or the command line
# has no English in po/en.po (missing, empty or fuzzy).
# Everything of src/ but the windows, whose texts go through Qt's translation.
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h)
list(FILTER sources EXCLUDE REGEX "^src/ui/")
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
    "msgid \"﻿\"")            # a byte-order mark
execute_process(
  COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ -a -o ${POT}.all ${sources}
  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE extracted OUTPUT_QUIET ERROR_QUIET)
if(NOT extracted EQUAL 0)
  message(FATAL_ERROR "xgettext -a failed")
endif()

# Each literal of a catalog file as "file:line|msgid", so that a text wrapped
# in one place does not excuse the same text left bare in another.
function(literal_keys pot out)
  file(READ ${pot} text)
  # Brackets and backslashes would bend the splitting into lines, too.
  string(REPLACE ";" "<semicolon>" text "${text}")
  string(REPLACE "[" "<open>" text "${text}")
  string(REPLACE "]" "<close>" text "${text}")
  string(REPLACE "\\" "<backslash>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(keys)
  set(locations)
  set(id)
  set(in_id FALSE)
  foreach(line IN LISTS lines)
    if(line MATCHES "^#: (.*)")
      string(REPLACE " " ";" more "${CMAKE_MATCH_1}")
      list(APPEND locations ${more})
    elseif(line MATCHES "^msgid ")
      set(id "${line}")
      set(in_id TRUE)
    elseif(in_id AND line MATCHES "^\"")
      string(APPEND id "${line}")
    elseif(line MATCHES "^msgstr ")
      foreach(location IN LISTS locations)
        list(APPEND keys "${location}|${id}")
      endforeach()
      set(locations)
      set(in_id FALSE)
    endif()
  endforeach()
  set(${out} "${keys}" PARENT_SCOPE)
endfunction()
literal_keys(${POT} wrapped)
literal_keys(${POT}.all every)
# Anything beyond ASCII is a foreign letter; the escape of a terminal's control
# sequences is not.
string(ASCII 27 escape)
set(unwrapped)
foreach(key IN LISTS every)
  string(REGEX REPLACE "^[^|]*\\|" "" id "${key}")
  string(REGEX MATCH "[^ -~${escape}]" foreign "${id}")
  if(NOT foreign)
    continue()
  endif()
  list(FIND kept_as_data "${id}" kept)
  list(FIND wrapped "${key}" found)
  if(kept EQUAL -1 AND found EQUAL -1)
    list(APPEND unwrapped "${key}")
  endif()
endforeach()
if(unwrapped)
  list(JOIN unwrapped "\n  " shown)
  string(REPLACE "<semicolon>" ";" shown "${shown}")
  string(REPLACE "<open>" "[" shown "${shown}")
  string(REPLACE "<close>" "]" shown "${shown}")
  string(REPLACE "<backslash>" "\\" shown "${shown}")
  message(FATAL_ERROR "Japanese texts not wrapped for translation:\n  ${shown}")
endif()
