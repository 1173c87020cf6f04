# SPDX-License-Identifier: MIT
# Part of `cmake --install`: makes QNI_LINK_DIR/<name> a relative symbolic
# link to QNI_LINK_TARGET, both taken under the install prefix, so the
# installed tree can be moved or staged as a whole.

cmake_path(ABSOLUTE_PATH QNI_LINK_DIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE OUTPUT_VARIABLE dir)
cmake_path(ABSOLUTE_PATH QNI_LINK_TARGET BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}" NORMALIZE OUTPUT_VARIABLE target)
cmake_path(GET target FILENAME name)
file(RELATIVE_PATH relative "${dir}" "${target}")
set(link "$ENV{DESTDIR}${dir}/${name}")
message(STATUS "Installing: ${link} -> ${relative}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${dir}")
file(CREATE_LINK "${relative}" "${link}" SYMBOLIC)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")
