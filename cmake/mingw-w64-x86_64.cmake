# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix).
# The posix thread model is the one whose libstdc++ has std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KARDO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KARDO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KARDO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KARDO_MINGW_PREFIX}-windres)

# Libraries and headers come from the mingw-w64 tree only, never from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/${KARDO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe that runs where it is copied: the C++ runtime and the thread library linked in,
# not DLLs that a Windows machine does not have.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
