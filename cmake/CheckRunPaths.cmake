# Fails when an ELF binary's run path (RUNPATH or RPATH, read from its
# dynamic section with readelf -d) has an entry that the loader takes
# relative to the current folder: an empty one, or one that begins with
# neither '/' nor $ORIGIN. Such an entry lets a library planted in the folder
# a user works in be loaded into the program.
#
# Run as a script on the files after "--":
#   cmake -P cmake/CheckRunPaths.cmake -- FILE...
# or include() it and call pemar_check_run_paths(FILE...). Empty names are
# skipped. Without readelf it says "run paths not checked" and checks
# nothing.

function(pemar_check_run_paths)
  find_program(PEMAR_READELF NAMES readelf)
  if(NOT PEMAR_READELF)
    message("run paths not checked: readelf not found")
    return()
  endif()
  foreach(file IN LISTS ARGN)
    if(file STREQUAL "")
      continue()
    endif()
    execute_process(COMMAND ${PEMAR_READELF} -d ${file}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "readelf -d ${file} failed: ${err}")
    endif()
    string(REGEX MATCHALL "\\((RUNPATH|RPATH)\\)[^\n]*" lines "${out}")
    set(values)
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[^[]*\\[(.*)\\][ \t]*$" "\\1" value "${line}")
      list(APPEND values "[${value}]")
      string(REPLACE ":" ";" entries "${value}")
      # An empty run path is one empty entry.
      if(value STREQUAL "")
        set(entries ";")
      endif()
      foreach(entry IN LISTS entries)
        if(NOT entry MATCHES "^(/|\\$ORIGIN|\\$\\{ORIGIN\\})")
          message(FATAL_ERROR "${file}: run path [${value}] has the entry "
                  "\"${entry}\", which the loader takes relative to the "
                  "current folder")
        endif()
      endforeach()
    endforeach()
    if(NOT values)
      set(values "none")
    endif()
    message(STATUS "run paths of ${file}: ${values}")
  endforeach()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  set(files)
  set(listed FALSE)
  math(EXPR last "${CMAKE_ARGC} - 1")
  foreach(i RANGE ${last})
    if(listed)
      list(APPEND files "${CMAKE_ARGV${i}}")
    elseif(CMAKE_ARGV${i} STREQUAL "--")
      set(listed TRUE)
    endif()
  endforeach()
  pemar_check_run_paths(${files})
endif()
