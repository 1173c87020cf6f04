# SPDX-License-Identifier: MIT
# GoogleTest for the Windows test build, compiled from Debian's sources with
# the cross compiler (a Linux libgtest cannot be linked into a Windows
# executable).
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
# Its optimised, debuggable build took half a minute of CI on two cores; its
# own speed and symbols serve no one here.
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -O0 -g0)
endforeach()

include(GoogleTest)
# Tests are listed when CTest starts, under Wine, so building needs no Wine.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
