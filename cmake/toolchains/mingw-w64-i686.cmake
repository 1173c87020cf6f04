# SPDX-License-Identifier: MIT
# The shipped program: 32-bit, loads on Windows XP SP3 and every later
# Windows.
#   cmake -S . -B build-windows/i686 -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR x86)
set(QNI_MINGW_TRIPLET i686-w64-mingw32)
# The posix model links winpthreads, which imports GetTickCount64 (Vista on)
# even into a program that starts no thread; XP's loader then refuses it.
set(QNI_MINGW_THREADS win32)
# XP's loader refuses an image whose subsystem version is above its own 5.01.
# binutils 2.40 writes 4.0, which XP accepts; pinning 5.01 keeps a later
# linker's default from raising it.
set(QNI_MINGW_LINKER_FLAGS "-Wl,--major-subsystem-version,5,--minor-subsystem-version,1,--major-os-version,5,--minor-os-version,1")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# GoogleTest needs std::thread, which the win32 model lacks; the tests are
# the x86-64 toolchain's.
set(QNI_BUILD_TESTS OFF CACHE BOOL "Build the tests")
