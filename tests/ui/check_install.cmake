# Installs the build into a fresh prefix and checks the layout the installed
# program relies on, then validates the installed desktop data as a whole.
#   cmake -DBUILD_DIR=... -DPREFIX=... -DBINDIR=... -DLIBEXECDIR=... -DDATADIR=...
#         -DDESKTOP_ID=... -DTOOLS="qni-cmd;ipconfig" -DAPPSTREAMCLI=... -P check_install.cmake

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${out}")
endif()

set(expected
  ${BINDIR}/quarn-network-information
  ${BINDIR}/Hand.cur
  ${DATADIR}/applications/${DESKTOP_ID}.desktop
  ${DATADIR}/metainfo/${DESKTOP_ID}.metainfo.xml)
foreach(size 32 48 64 128 256)
  list(APPEND expected ${DATADIR}/icons/hicolor/${size}x${size}/apps/${DESKTOP_ID}.png)
endforeach()
foreach(tool ${TOOLS})
  list(APPEND expected ${LIBEXECDIR}/quarn-network-information/${tool})
endforeach()
foreach(f ${expected})
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "appstreamcli validate-tree:\n${out}")
endif()
file(REMOVE_RECURSE ${PREFIX})
