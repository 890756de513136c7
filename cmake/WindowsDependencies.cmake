# Outside dependencies of the Windows cross build. GoogleTest is built for the
# target from its sources (Debian's googletest package); CLI11 and
# nlohmann-json are header-only and serve as they are. Their headers are
# copied into the build tree because the build machine's include folder as a
# whole must not reach the cross compiler: its C library headers would shadow
# the target's.
set(PEMAR_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources, built for the target")
set(PEMAR_HOST_INCLUDE_DIR /usr/include CACHE PATH
    "The folder that holds CLI/ and nlohmann/ (header-only libraries)")

if(PEMAR_BUILD_TESTS AND NOT TARGET GTest::gtest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${PEMAR_GOOGLETEST_SOURCE_DIR}
                   ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Newer GoogleTest sources name these themselves.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()

set(header_copy ${CMAKE_BINARY_DIR}/header-only)
foreach(dep IN ITEMS "CLI11::CLI11|CLI" "nlohmann_json::nlohmann_json|nlohmann")
  string(REPLACE "|" ";" dep "${dep}")
  list(GET dep 0 target)
  list(GET dep 1 folder)
  if(NOT TARGET ${target})
    if(NOT IS_DIRECTORY ${PEMAR_HOST_INCLUDE_DIR}/${folder})
      message(FATAL_ERROR "${PEMAR_HOST_INCLUDE_DIR}/${folder} is missing "
              "(install libcli11-dev and nlohmann-json3-dev)")
    endif()
    file(COPY ${PEMAR_HOST_INCLUDE_DIR}/${folder} DESTINATION ${header_copy})
    add_library(${target} INTERFACE IMPORTED)
    set_target_properties(${target} PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES ${header_copy}
      INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${header_copy})
  endif()
endforeach()

# Boost's headers (Beast and Asio for `pemar serve`) are many; a folder that
# links to them alone reaches the cross compiler instead of a copy.
if(NOT TARGET Boost::headers)
  if(NOT IS_DIRECTORY ${PEMAR_HOST_INCLUDE_DIR}/boost/beast)
    message(FATAL_ERROR "${PEMAR_HOST_INCLUDE_DIR}/boost/beast is missing "
            "(install libboost1.81-dev)")
  endif()
  set(boost_link ${CMAKE_BINARY_DIR}/boost-headers)
  file(MAKE_DIRECTORY ${boost_link})
  if(NOT EXISTS ${boost_link}/boost)
    file(CREATE_LINK ${PEMAR_HOST_INCLUDE_DIR}/boost ${boost_link}/boost
         SYMBOLIC)
  endif()
  add_library(Boost::headers INTERFACE IMPORTED)
  set_target_properties(Boost::headers PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${boost_link}
    INTERFACE_SYSTEM_INCLUDE_DIRECTORIES ${boost_link})
endif()
