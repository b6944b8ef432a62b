# SPDX-License-Identifier: GPL-3.0-or-later
# ccache as the compiler launcher when the machine has it. CI builds a fresh clone in
# another folder right after the work it checks: with paths taken relative to the source
# tree and the working directory left out of the key, that clone reuses the objects the
# work built. Turn it off with -DKARDO_CCACHE=OFF.
option(KARDO_CCACHE "Build through ccache when it is installed" ON)
if(KARDO_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  find_program(KARDO_CCACHE_PROGRAM ccache)
  if(KARDO_CCACHE_PROGRAM)
    set(CMAKE_CXX_COMPILER_LAUNCHER
        ${CMAKE_COMMAND} -E env
        CCACHE_BASEDIR=${PROJECT_SOURCE_DIR}
        CCACHE_NOHASHDIR=true
        ${KARDO_CCACHE_PROGRAM})
  endif()
endif()
