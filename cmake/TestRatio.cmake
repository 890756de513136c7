# Prints, per subsystem, the non-blank lines of its tests (*_test.cpp,
# everything under testing/, and the tables and scripts of calls under
# testdata/*.csv, which are tests written in another syntax) against those of
# the rest of its code, and the same for the whole library. Fails when a
# subsystem's tests exceed PEMAR_MAX_TEST_RATIO (default 0.50) of its code or
# the library's exceed PEMAR_MAX_LIBRARY_TEST_RATIO (default 0.40). Run it as
# a test or by hand:
#   cmake -DPEMAR_SOURCE_DIR=. -P cmake/TestRatio.cmake
if(NOT PEMAR_MAX_TEST_RATIO)
  set(PEMAR_MAX_TEST_RATIO 0.50)
endif()
if(NOT PEMAR_MAX_LIBRARY_TEST_RATIO)
  set(PEMAR_MAX_LIBRARY_TEST_RATIO 0.40)
endif()

# A ratio such as 0.5 or 0.40 in hundredths.
function(hundredths out ratio)
  if(NOT ratio MATCHES "^([0-9]*)(\\.([0-9]*))?$")
    message(FATAL_ERROR "not a ratio: ${ratio}")
  endif()
  set(whole "${CMAKE_MATCH_1}")
  set(fraction "${CMAKE_MATCH_3}00")
  string(SUBSTRING "${fraction}" 0 2 fraction)
  if(whole STREQUAL "")
    set(whole 0)
  endif()
  math(EXPR value "${whole} * 100 + 1${fraction} - 100")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# Prints "name: N test lines, M code lines, ratio R (at most A test lines)"
# and sets `over` in the caller when the tests exceed `limit` hundredths.
function(report name test_lines code_lines limit)
  math(EXPR ratio "(${test_lines} * 100 + ${code_lines} / 2) / ${code_lines}")
  math(EXPR whole "${ratio} / 100")
  math(EXPR part "${ratio} % 100")
  if(part LESS 10)
    set(part "0${part}")
  endif()
  math(EXPR allowed "${code_lines} * ${limit} / 100")
  message("${name}: ${test_lines} test lines, ${code_lines} code lines, "
          "ratio ${whole}.${part} (at most ${allowed} test lines)")
  if(test_lines GREATER allowed)
    set(over ${over} "${name}" PARENT_SCOPE)
  endif()
endfunction()

# Counted on the text itself, not as a CMake list: a list would split lines
# at ';' and join them across an unmatched '['.
function(count_lines out)
  set(total 0)
  foreach(file IN LISTS ARGN)
    file(READ ${file} text)
    # Blank lines become empty, runs of line ends one, and what is left is
    # one line end per non-blank line.
    string(REGEX REPLACE "[ \t\r]" "" text "${text}")
    string(REGEX REPLACE "\n+" "\n" text "\n${text}\n")
    string(REGEX REPLACE "[^\n]" "" ends "${text}")
    string(LENGTH "${ends}" n)
    math(EXPR total "${total} + ${n} - 1")
  endforeach()
  set(${out} ${total} PARENT_SCOPE)
endfunction()

set(over "")
hundredths(subsystem_limit ${PEMAR_MAX_TEST_RATIO})
hundredths(library_limit ${PEMAR_MAX_LIBRARY_TEST_RATIO})
set(all_tests 0)
set(all_code 0)
file(GLOB subsystems LIST_DIRECTORIES true ${PEMAR_SOURCE_DIR}/pemar/*)
# The web application is a room of its own, with its page's scripts as code
# and its browser tests (web/e2e/, without the packages npm put there) as
# tests.
list(APPEND subsystems ${PEMAR_SOURCE_DIR}/web)
foreach(dir IN LISTS subsystems)
  if(NOT IS_DIRECTORY ${dir})
    continue()
  endif()
  get_filename_component(name ${dir} NAME)
  file(GLOB_RECURSE all ${dir}/*.cpp ${dir}/*.h)
  if(name STREQUAL "web")
    file(GLOB scripts ${dir}/page/*.js ${dir}/e2e/*.js ${dir}/e2e/*.sh)
    list(APPEND all ${scripts})
  endif()
  # Published reference data (ifc67_*.csv) and byte images (*.golden) are
  # data the tests read, not tests.
  file(GLOB tables ${dir}/testdata/*.csv)
  list(FILTER tables EXCLUDE REGEX "/ifc67_[^/]*$")
  set(tests "")
  set(code "")
  foreach(file IN LISTS all)
    if(file MATCHES "_test\\.cpp$" OR file MATCHES "/testing/" OR
       file MATCHES "/web/e2e/")
      list(APPEND tests ${file})
    else()
      list(APPEND code ${file})
    endif()
  endforeach()
  count_lines(test_lines ${tests} ${tables})
  count_lines(code_lines ${code})
  if(code_lines EQUAL 0)
    continue()
  endif()
  report(${name} ${test_lines} ${code_lines} ${subsystem_limit})
  math(EXPR all_tests "${all_tests} + ${test_lines}")
  math(EXPR all_code "${all_code} + ${code_lines}")
endforeach()
# What the tests of every subsystem share is no subsystem's; it is shown on
# its own.
file(GLOB shared ${PEMAR_SOURCE_DIR}/tests/support/*.cpp
     ${PEMAR_SOURCE_DIR}/tests/support/*.h)
count_lines(shared_lines ${shared})
message("shared test support (tests/support): ${shared_lines} lines")
math(EXPR all_tests "${all_tests} + ${shared_lines}")
report("whole library" ${all_tests} ${all_code} ${library_limit})
if(over)
  message(FATAL_ERROR "tests above their limit (${PEMAR_MAX_TEST_RATIO} of a "
          "subsystem's code, ${PEMAR_MAX_LIBRARY_TEST_RATIO} of the library's) "
          "in: ${over}")
endif()
