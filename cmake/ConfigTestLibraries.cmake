# Feature libraries for the configuration tests: small shared libraries under
# the names the program configuration loads ("VELTRA.DLL" is libveltra.so
# here and veltra.dll on Windows), built beside pemar_config_tests, where the
# loader looks first. Their "SetupDLL" registers a creator and a manager
# builder with the test program, which exports its symbols for them.
if(NOT TARGET pemar_config_tests)
  return()
endif()

set_target_properties(pemar_config_tests PROPERTIES ENABLE_EXPORTS ON)
if(CMAKE_RUNTIME_OUTPUT_DIRECTORY)
  set(pemar_feature_dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
else()
  set(pemar_feature_dir ${CMAKE_BINARY_DIR})
endif()

foreach(feature IN ITEMS VELTRA:9001 KORBIN:9002)
  string(REPLACE ":" ";" parts ${feature})
  list(GET parts 0 name)
  list(GET parts 1 type)
  string(TOLOWER ${name} file_name)
  set(target pemar_test_feature_${file_name})
  add_library(${target} MODULE
              ${CMAKE_CURRENT_SOURCE_DIR}/pemar/config/testing/plugins/FeatureLibrary.cpp)
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE
    PEMAR_LIBRARY_NAME="${name}" PEMAR_LIBRARY_TYPE=${type})
  target_compile_options(${target} PRIVATE ${PEMAR_WARNINGS})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${file_name}
    LIBRARY_OUTPUT_DIRECTORY ${pemar_feature_dir}
    CXX_VISIBILITY_PRESET hidden)
  if(WIN32)
    # veltra.dll, importing the host's functions from the test program.
    set_target_properties(${target} PROPERTIES PREFIX "")
    target_link_libraries(${target} PRIVATE pemar_config_tests)
  else()
    # The host's functions are found in the test program when it loads the
    # library, so the program can depend on it and build it.
    add_dependencies(pemar_config_tests ${target})
  endif()
endforeach()
