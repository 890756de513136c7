# Installs the built package into a fresh prefix, then configures, builds and
# runs the consumer project against it.
file(REMOVE_RECURSE ${PEMAR_WORK_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${PEMAR_BUILD_DIR}
                        --prefix ${PEMAR_WORK_DIR}/prefix
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "install failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${PEMAR_CONSUMER_DIR}
                        -B ${PEMAR_WORK_DIR}/build
                        -DCMAKE_PREFIX_PATH=${PEMAR_WORK_DIR}/prefix
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "consumer configure failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${PEMAR_WORK_DIR}/build
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "consumer build failed: ${rc}")
endif()
execute_process(COMMAND ${PEMAR_WORK_DIR}/build/consumer ${PEMAR_WORK_DIR}/consumer.bin
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "consumer run failed: ${rc}")
endif()
