# Installs the built package into a fresh prefix, checks the run paths of its
# binaries (PEMAR_CHECK_RUN_PATHS), then configures, builds and runs the
# consumer project against it.
file(REMOVE_RECURSE ${PEMAR_WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${PEMAR_BUILD_DIR}
                        --prefix ${PEMAR_WORK_DIR}/prefix
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
# The installed library, tool and Python extension find what they load
# without looking in the current folder.
if(PEMAR_CHECK_RUN_PATHS)
  include(${CMAKE_CURRENT_LIST_DIR}/CheckRunPaths.cmake)
  file(GLOB_RECURSE installed ${PEMAR_WORK_DIR}/prefix/bin/*
       ${PEMAR_WORK_DIR}/prefix/*.so ${PEMAR_WORK_DIR}/prefix/*.so.*)
  pemar_check_run_paths(${installed})
endif()
# A cross build's consumer is built with the same toolchain and run under the
# same emulator. Its toolchain looks for packages inside the target's sysroot
# only, so it is shown the package's folder itself.
set(toolchain)
if(PEMAR_TOOLCHAIN_FILE)
  set(toolchain -DCMAKE_TOOLCHAIN_FILE=${PEMAR_TOOLCHAIN_FILE}
                -Dpemar_DIR=${PEMAR_WORK_DIR}/prefix/lib/cmake/pemar)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${PEMAR_CONSUMER_DIR}
                        -B ${PEMAR_WORK_DIR}/build
                        -DCMAKE_PREFIX_PATH=${PEMAR_WORK_DIR}/prefix
                        ${toolchain}
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "consumer configure failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${PEMAR_WORK_DIR}/build
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "consumer build failed: ${rc}")
endif()
# Windows finds pemar.dll beside the program, as an installer would put it.
file(GLOB dlls ${PEMAR_WORK_DIR}/prefix/bin/*.dll)
if(dlls)
  file(COPY ${dlls} DESTINATION ${PEMAR_WORK_DIR}/build)
endif()
file(GLOB program ${PEMAR_WORK_DIR}/build/consumer
                  ${PEMAR_WORK_DIR}/build/consumer.exe)
execute_process(COMMAND ${PEMAR_EMULATOR} ${program} ${PEMAR_WORK_DIR}/consumer.bin
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "consumer run failed: ${rc}")
endif()
