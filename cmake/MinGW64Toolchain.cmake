# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler
# (g++-mingw-w64-x86-64-posix: the posix threads model, which std::thread and
# std::mutex need). Programs built with it run under Wine through
# cmake/wine-run.sh, so ctest and test discovery work on the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PEMAR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PEMAR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PEMAR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PEMAR_MINGW_TRIPLET}-windres)

# Look for libraries and headers in the MinGW sysroot only, never among the
# build machine's own; programs (the build tools) come from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${PEMAR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime, libgcc and winpthread are linked in, so pemar.dll and the
# programs need no MinGW DLLs beside them, only Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
