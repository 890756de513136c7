# One GoogleTest executable per subsystem, from the <name>_test.cpp files that
# sit beside the code, plus support code under pemar/<subsystem>/testing/.
if(NOT TARGET GTest::gtest)
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# A cross build lists its tests when ctest starts, under the emulator, so that
# building needs no emulator.
if(CMAKE_CROSSCOMPILING)
  set(PEMAR_DISCOVERY_MODE PRE_TEST)
else()
  set(PEMAR_DISCOVERY_MODE POST_BUILD)
endif()

add_library(pemar_test_support STATIC ${PEMAR_TEST_SUPPORT}
            ${CMAKE_CURRENT_SOURCE_DIR}/cmake/empty.cpp)
target_link_libraries(pemar_test_support PUBLIC pemar_internal GTest::gtest)
target_compile_options(pemar_test_support PRIVATE ${PEMAR_WARNINGS})

include(${CMAKE_CURRENT_SOURCE_DIR}/cmake/Layers.cmake)
foreach(subsystem IN LISTS PEMAR_LAYERS)
  file(GLOB tests CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/pemar/${subsystem}/*_test.cpp)
  if(tests)
    add_executable(pemar_${subsystem}_tests ${tests})
    target_link_libraries(pemar_${subsystem}_tests PRIVATE pemar_test_support
                          GTest::gtest_main)
    target_compile_options(pemar_${subsystem}_tests PRIVATE ${PEMAR_WARNINGS})
    target_compile_definitions(pemar_${subsystem}_tests PRIVATE
      PEMAR_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")
    gtest_discover_tests(pemar_${subsystem}_tests
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
      DISCOVERY_TIMEOUT 60
      DISCOVERY_MODE ${PEMAR_DISCOVERY_MODE})
  endif()
endforeach()

# The tests of pictures and report pages read them back with an XML parser
# when the build has one; the library itself never needs it. Without it (the
# Windows cross build) those tests are skipped, saying so.
find_package(pugixml QUIET)
foreach(target pemar_diag_tests pemar_casereport_tests)
  if(NOT TARGET ${target})
    continue()
  endif()
  if(pugixml_FOUND)
    target_link_libraries(${target} PRIVATE pugixml::pugixml)
    target_compile_definitions(${target} PRIVATE PEMAR_HAVE_PUGIXML=1)
  else()
    target_compile_definitions(${target} PRIVATE PEMAR_HAVE_PUGIXML=0)
  endif()
endforeach()

# Shared libraries that the configuration tests load.
include(${CMAKE_CURRENT_SOURCE_DIR}/cmake/ConfigTestLibraries.cmake)

# An empty library beside the framework tests (libplant.so, plant.dll), of
# which they plant copies where no library may be loaded from.
if(TARGET pemar_framework_tests)
  add_library(pemar_test_plant MODULE ${CMAKE_CURRENT_SOURCE_DIR}/cmake/empty.cpp)
  if(CMAKE_RUNTIME_OUTPUT_DIRECTORY)
    set(pemar_plant_dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  else()
    set(pemar_plant_dir ${CMAKE_BINARY_DIR})
  endif()
  set_target_properties(pemar_test_plant PROPERTIES OUTPUT_NAME plant
    LIBRARY_OUTPUT_DIRECTORY ${pemar_plant_dir})
  if(WIN32)
    set_target_properties(pemar_test_plant PROPERTIES PREFIX "")
  endif()
  add_dependencies(pemar_framework_tests pemar_test_plant)
endif()

if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CMAKE_CROSSCOMPILING)
  set(pemar_check_run_paths ON)
else()
  set(pemar_check_run_paths OFF)
endif()

# An outside project installs nothing of ours by hand: this test installs the
# package into a temporary prefix and builds a small consumer against it.
if(NOT PEMAR_SANITIZE)
  add_test(NAME install_and_consume
    COMMAND ${CMAKE_COMMAND}
      -DPEMAR_BUILD_DIR=${CMAKE_BINARY_DIR}
      -DPEMAR_CONSUMER_DIR=${CMAKE_CURRENT_SOURCE_DIR}/tests/consumer
      -DPEMAR_WORK_DIR=${CMAKE_BINARY_DIR}/install-test
      -DPEMAR_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
      -DPEMAR_EMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}
      -DPEMAR_CHECK_RUN_PATHS=${pemar_check_run_paths}
      -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/InstallAndConsume.cmake)
  set_tests_properties(install_and_consume PROPERTIES LABELS install TIMEOUT 600)
endif()

add_test(NAME subsystem_layers
  COMMAND ${CMAKE_COMMAND} -DPEMAR_SOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/CheckLayers.cmake)

# No run path of the library, the tool or the Python extension lets the
# loader look in the current folder, in the build tree (here) or installed
# (install_and_consume). The ELF binaries of this machine only.
if(pemar_check_run_paths)
  add_test(NAME run_paths_in_build_tree
    COMMAND ${CMAKE_COMMAND} -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/CheckRunPaths.cmake
      -- $<TARGET_FILE:pemar>
      $<$<TARGET_EXISTS:pemar_cli>:$<TARGET_FILE:pemar_cli>>
      $<$<TARGET_EXISTS:pemar_python>:$<TARGET_FILE:pemar_python>>)
  set_tests_properties(run_paths_in_build_tree PROPERTIES
    SKIP_REGULAR_EXPRESSION "run paths not checked")
endif()

add_test(NAME test_ratio
  COMMAND ${CMAKE_COMMAND} -DPEMAR_SOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/TestRatio.cmake)

# Every message key the library sends or looks up has an English text.
add_test(NAME message_keys_have_texts
  COMMAND ${CMAKE_COMMAND} -DPEMAR_SOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/CheckMessageTexts.cmake)

add_test(NAME umbrella_header_complete
  COMMAND ${CMAKE_COMMAND} -DPEMAR_SOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/CheckUmbrella.cmake)
