# Files cross platforms: a case with projects and notes, a utility set and an
# enciphered file written by one platform's pemar tool are read by the other's,
# in both directions, and must give the same `case info --json`,
# `utilities --json` and deciphered bytes.
#
# PEMAR_HOST_TOOL is the build machine's tool; PEMAR_TARGET_TOOL the cross-built
# one, run through PEMAR_EMULATOR. Text output is compared with Unix line ends.
# Without PEMAR_HOST_TOOL the test says why and ctest shows it as skipped.
if(NOT PEMAR_HOST_TOOL OR NOT EXISTS "${PEMAR_HOST_TOOL}")
  message("skipped: PEMAR_HOST_TOOL does not name the build machine's pemar "
          "tool (scripts/test sets it to the dev build's)")
  return()
endif()

file(REMOVE_RECURSE ${PEMAR_WORK_DIR})
set(host ${PEMAR_HOST_TOOL})
set(target ${PEMAR_EMULATOR} ${PEMAR_TARGET_TOOL})

# Runs the tool in the list named `tool` with the arguments after `out`; the
# standard output goes to `out`, and any exit status but 0 fails the test.
function(run tool out)
  execute_process(COMMAND ${${tool}} ${ARGN} RESULT_VARIABLE rc
                  OUTPUT_VARIABLE text ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${tool} pemar ${ARGN}: exit ${rc}\n${text}\n${err}")
  endif()
  string(REPLACE "\r\n" "\n" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(expect_same what writer_text reader_text)
  if(NOT writer_text STREQUAL reader_text)
    message(FATAL_ERROR "${what} differs\n--- writer:\n${writer_text}\n"
                        "--- reader:\n${reader_text}")
  endif()
endfunction()

foreach(direction IN ITEMS "host;target" "target;host")
  list(GET direction 0 writer)
  list(GET direction 1 reader)
  set(dir ${PEMAR_WORK_DIR}/${writer}-to-${reader})
  file(MAKE_DIRECTORY ${dir})
  set(case ${dir}/plant.kcs)

  # The writer makes a case with two projects and their notes, saved three
  # times so that it has a backup too, a user utility set, and an enciphered
  # copy of the case file (binary bytes of every kind, CR and LF included).
  run(${writer} ignored case new ${case})
  run(${writer} ignored case project add ${case} "Crude unit"
      --engineer "A. Engineer" --comments "Preheat train, revamp 2026")
  run(${writer} ignored case note add ${case} "Crude unit" --title Reboiler
      --text "LP steam, 3.5 bar" --author "B. Author")
  run(${writer} ignored case project add ${case} "Vacuum unit")
  run(${writer} ignored case note add ${case} "Vacuum unit" --title Ejector
      --text "MP steam")
  run(${writer} ignored utilities --save ${dir}/set.hud)
  run(${writer} ignored encrypt ${case} ${dir}/plant.enc)

  # Both read what the writer wrote, and agree.
  foreach(file IN ITEMS ${dir}/plant.bk0 ${case})
    run(${writer} mine case info ${file} --json)
    run(${reader} theirs case info ${file} --json)
    expect_same("case info --json of ${file}" "${mine}" "${theirs}")
  endforeach()
  if(NOT mine MATCHES "Reboiler" OR NOT mine MATCHES "Ejector")
    message(FATAL_ERROR "the case lost its notes:\n${mine}")
  endif()
  run(${writer} mine utilities --open ${dir}/set.hud --json)
  run(${reader} theirs utilities --open ${dir}/set.hud --json)
  expect_same("utilities --json of set.hud" "${mine}" "${theirs}")

  run(${reader} ignored decrypt ${dir}/plant.enc ${dir}/plant.dec)
  file(SHA256 ${case} plain)
  file(SHA256 ${dir}/plant.dec and_back)
  expect_same("the deciphered case file" "${plain}" "${and_back}")
  # Both encipher alike.
  run(${reader} ignored encrypt ${case} ${dir}/plant-reader.enc)
  file(SHA256 ${dir}/plant.enc by_writer)
  file(SHA256 ${dir}/plant-reader.enc by_reader)
  expect_same("the enciphered case file" "${by_writer}" "${by_reader}")

  # The reader saves into the writer's case, and the writer reads it again.
  run(${reader} ignored case note add ${case} "Vacuum unit" --title Condenser
      --text "Cooling water")
  run(${writer} mine case info ${case} --json)
  run(${reader} theirs case info ${case} --json)
  expect_same("case info --json after the reader's save" "${mine}" "${theirs}")
  if(NOT mine MATCHES "Condenser")
    message(FATAL_ERROR "the reader's note is missing:\n${mine}")
  endif()
endforeach()
