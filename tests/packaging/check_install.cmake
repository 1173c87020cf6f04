# SPDX-License-Identifier: MIT
# Installs the build into a fresh prefix and checks the layout the installed
# program relies on, then validates the installed desktop data as a whole.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DBINDIR=... -DLIBEXECDIR=... -DDATADIR=...
#         -DMANDIR=... -DDOCDIR=... -DDESKTOP_ID=... -DTOOLS="qni-cmd;tools/ipconfig"
#         -DAPPSTREAMCLI=... -P check_install.cmake

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

set(program_dir ${LIBEXECDIR}/quarn-network-information)
set(expected
  ${program_dir}/quarn-network-information
  ${program_dir}/Hand.cur
  ${MANDIR}/man1/quarn-network-information.1.gz
  ${DOCDIR}/copyright
  ${DOCDIR}/changelog.gz
  ${DATADIR}/applications/${DESKTOP_ID}.desktop
  ${DATADIR}/metainfo/${DESKTOP_ID}.metainfo.xml)
foreach(size 32 48 64 128 256)
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${DESKTOP_ID}.png)
endforeach()
foreach(tool ${TOOLS})
  list(APPEND expected ${program_dir}/${tool})
endforeach()
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f} OR IS_SYMLINK ${PREFIX}/${f})
    message(FATAL_ERROR "not installed as a file: ${f}")
  endif()
endforeach()

# The interpreter puts tools/ first on a shell's PATH: only the bundled tools
# may be there.
file(GLOB in_tools RELATIVE ${PREFIX}/${program_dir} ${PREFIX}/${program_dir}/tools/*)
set(tools_expected ${TOOLS})
list(FILTER tools_expected INCLUDE REGEX "^tools/")
if(NOT in_tools STREQUAL tools_expected)
  message(FATAL_ERROR "${program_dir}/tools should hold only ${tools_expected}; it holds: ${in_tools}")
endif()

# bin holds only a relative link to the program, so the program's real
# folder, where it finds Hand.cur and its interpreter, is the libexec one.
file(GLOB in_bin RELATIVE ${PREFIX}/${BINDIR} ${PREFIX}/${BINDIR}/*)
set(link ${PREFIX}/${BINDIR}/quarn-network-information)
if(NOT in_bin STREQUAL "quarn-network-information" OR NOT IS_SYMLINK ${link})
  message(FATAL_ERROR "${BINDIR} should hold only a link to the program; it holds: ${in_bin}")
endif()
file(READ_SYMLINK ${link} target)
file(REAL_PATH ${link} resolved)
file(REAL_PATH ${PREFIX}/${program_dir}/quarn-network-information program)
if(IS_ABSOLUTE "${target}" OR NOT resolved STREQUAL program)
  message(FATAL_ERROR "${link} -> ${target}: not a relative link to ${program}")
endif()

execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate-tree:\n${out}")
endif()
file(REMOVE_RECURSE ${PREFIX})
