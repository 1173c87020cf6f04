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

# qni_add_windows_gtest(<name> SOURCES ... [LIBS ...]): one executable, each
# test a CTest test, run through the emulator (wine64).
function(qni_add_windows_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()
