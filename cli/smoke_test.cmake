# Runs the tool the way a user would and checks exit codes.
file(REMOVE_RECURSE ${PEMAR_WORK_DIR})
file(MAKE_DIRECTORY ${PEMAR_WORK_DIR})

function(expect_exit code)
  execute_process(COMMAND ${PEMAR_TOOL} ${ARGN}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL code)
    message(FATAL_ERROR "pemar ${ARGN}: exit ${rc}, expected ${code}\n${out}\n${err}")
  endif()
endfunction()

expect_exit(0 --version)
expect_exit(0 --help)
expect_exit(2 no-such-command)
expect_exit(0 demo --dir ${PEMAR_WORK_DIR}/demo)

# dump: a file the demo wrote, a missing file, a damaged file.
expect_exit(0 dump ${PEMAR_WORK_DIR}/demo/plant.bin)
expect_exit(0 dump --json ${PEMAR_WORK_DIR}/demo/plant.bin)
expect_exit(1 dump ${PEMAR_WORK_DIR}/no-such-file.bin)
expect_exit(2 dump)
find_program(HEAD_PROGRAM head)
if(HEAD_PROGRAM)
  execute_process(COMMAND ${HEAD_PROGRAM} -c 60 ${PEMAR_WORK_DIR}/demo/plant.bin
                  OUTPUT_FILE ${PEMAR_WORK_DIR}/truncated.bin)
  expect_exit(1 dump ${PEMAR_WORK_DIR}/truncated.bin)
endif()
