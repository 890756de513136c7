# Run paths of the binaries that load the shared library pemar (the tool,
# the Python extension), relative to their own folder ($ORIGIN).
#
# By default CMake links a binary in the build tree with the absolute folders
# of its libraries and pads that run path with empty entries, to be rewritten
# in place when the binary is installed; the loader reads an empty entry as
# the current folder. These binaries are linked once instead, with one
# $ORIGIN entry for where they are installed and one for where they are
# built, and are installed as built.
#
#   pemar_origin_run_path(<target> <build folder> <install folder>)
#
# <build folder> is where the target's file is built, <install folder> where
# it is installed, relative to the prefix. On platforms whose binaries have
# no run path (Windows) or another kind of it (macOS) CMake's default stays.
function(pemar_origin_run_path target build_dir install_dir)
  if(WIN32 OR APPLE)
    return()
  endif()
  if(CMAKE_LIBRARY_OUTPUT_DIRECTORY)
    set(library_dir ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
  else()
    set(library_dir ${pemar_BINARY_DIR})
  endif()
  file(RELATIVE_PATH installed /prefix/${install_dir}
       /prefix/${CMAKE_INSTALL_LIBDIR})
  file(RELATIVE_PATH built ${build_dir} ${library_dir})
  set(paths)
  foreach(relative IN ITEMS "${installed}" "${built}")
    string(REGEX REPLACE "/+$" "" relative "${relative}")
    if(relative STREQUAL "")
      list(APPEND paths "$ORIGIN")
    else()
      list(APPEND paths "$ORIGIN/${relative}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES paths)
  set_target_properties(${target} PROPERTIES
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "${paths}")
endfunction()
