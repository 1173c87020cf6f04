# SPDX-License-Identifier: MIT
# The test build: 64-bit, run under Debian's wine64, which (unlike wine32)
# installs without the i386 architecture. Same sources and Windows version
# as the shipped program, but the posix threading model, which GoogleTest
# and std::thread need; it is never shipped.
#   cmake -S . -B build-windows/x86_64 -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QNI_MINGW_TRIPLET x86_64-w64-mingw32)
set(QNI_MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# CTest and gtest_discover_tests run the executables under wine64 through
# this script, in $WINEPREFIX (scripts/wine-prefix.sh makes one; without it
# Wine makes ~/.wine on first use, about 15 s). The script starts Wine's
# services apart from the test, else CTest waits 2.5 s after every test for
# them to let go of its output.
cmake_path(SET CMAKE_CROSSCOMPILING_EMULATOR NORMALIZE ${CMAKE_CURRENT_LIST_DIR}/../../scripts/wine-run.sh)
