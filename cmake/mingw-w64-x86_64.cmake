# SPDX-License-Identifier: MIT
# Cross-builds Windows x86-64 programs with Debian's mingw-w64 (g++-mingw-w64-x86-64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VIPMERGE_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model gives the full standard library (std::thread, std::mutex).
set(CMAKE_C_COMPILER ${VIPMERGE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VIPMERGE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VIPMERGE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VIPMERGE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime linked in, so that the programs run without any extra DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest runs the test programs through Wine when it is installed (make test-windows uses
# scripts/test-windows instead, with a Wine prefix of its own).
find_program(VIPMERGE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VIPMERGE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VIPMERGE_WINE})
endif()
