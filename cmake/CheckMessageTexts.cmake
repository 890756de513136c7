# Fails when a message key that the library sends or looks up has no English
# text in pemar/framework/MessageTexts.cpp. Keys are the word-like string
# literals (no spaces or punctuation) given to the calls that take one:
# ErrorMsg, ResponseMsg, FindString and KeyedText (first argument, both arms
# of a ?:), TraceWarning with arguments, error and question notifications
# (SendAMessage), variables named `key` and the file-prompt filters. Tests
# and testing/ helpers are not scanned. Run it as a test or by hand:
#   cmake -DPEMAR_SOURCE_DIR=. -P cmake/CheckMessageTexts.cmake
cmake_minimum_required(VERSION 3.25)
get_filename_component(PEMAR_SOURCE_DIR "${PEMAR_SOURCE_DIR}" ABSOLUTE)

file(READ ${PEMAR_SOURCE_DIR}/pemar/framework/MessageTexts.cpp table)
string(REGEX MATCHALL "\n *{\"[^\"]+\"," entries "${table}")
set(known "")
foreach(entry IN LISTS entries)
  string(REGEX MATCH "\"([^\"]+)\"" _ "${entry}")
  list(APPEND known "${CMAKE_MATCH_1}")
endforeach()
list(LENGTH known count)
if(count LESS 10)
  message(FATAL_ERROR "MessageTexts.cpp: found only ${count} texts")
endif()

set(calls
  "(ErrorMsg|ResponseMsg|FindString|KeyedText)\\([^,)]*"
  "TraceWarning\\(\"[^\"]*\", *{"
  "SendAMessage\\((ErrorMessage|ResponseMessage), *\"[^\"]*\""
  "[^A-Za-z_]key = \"[^\"]*\""
  "Fill\\(prompt, \"[^\"]*\""
  "{\"[A-Za-z0-9]+Files\"")

file(GLOB_RECURSE sources ${PEMAR_SOURCE_DIR}/pemar/*.cpp
     ${PEMAR_SOURCE_DIR}/pemar/*.h)
list(FILTER sources EXCLUDE REGEX "(_test\\.cpp|/testing/[^/]*)$")
set(missing "")
set(used 0)
foreach(source IN LISTS sources)
  file(READ ${source} text)
  foreach(call IN LISTS calls)
    string(REGEX MATCHALL "${call}" found "${text}")
    foreach(match IN LISTS found)
      string(REGEX MATCHALL "\"[A-Za-z][A-Za-z0-9_]*\"" keys "${match}")
      foreach(quoted IN LISTS keys)
        string(REPLACE "\"" "" key "${quoted}")
        math(EXPR used "${used} + 1")
        if(NOT key IN_LIST known)
          file(RELATIVE_PATH shown ${PEMAR_SOURCE_DIR} ${source})
          list(APPEND missing "${key} (${shown})")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(missing)
  list(REMOVE_DUPLICATES missing)
  list(JOIN missing "\n  " shown)
  message(FATAL_ERROR "Message keys without an English text in "
                      "pemar/framework/MessageTexts.cpp:\n  ${shown}")
endif()
message("${used} uses of message keys, all among the ${count} texts")
