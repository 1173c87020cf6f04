# SPDX-License-Identifier: MIT
# Shared by the mingw-w64 toolchain files, which set QNI_MINGW_TRIPLET and
# QNI_MINGW_THREADS before including this one.
set(CMAKE_SYSTEM_NAME Windows)

# Installing Debian's -win32 compilers switches the unsuffixed names over to
# them, so the threading model is only certain when it is named.
set(CMAKE_C_COMPILER ${QNI_MINGW_TRIPLET}-gcc-${QNI_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${QNI_MINGW_TRIPLET}-g++-${QNI_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${QNI_MINGW_TRIPLET}-windres)

# Libraries and packages only from the cross sysroot: a Linux Qt or X11
# found by mistake would link nothing but fail late.
set(CMAKE_FIND_ROOT_PATH /usr/${QNI_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# mingw defaults to Windows 10's declarations; with XP SP3's, a call that XP
# lacks fails to compile instead of failing to load there.
# CMake reads a toolchain file more than once, so these are set, not appended.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -DNTDDI_VERSION=0x05010300")
set(CMAKE_CXX_FLAGS_INIT "${CMAKE_C_FLAGS_INIT}")

# No runtime DLLs to ship beside the executable; msvcrt.dll comes with Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ ${QNI_MINGW_LINKER_FLAGS}")
