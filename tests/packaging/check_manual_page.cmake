# SPDX-License-Identifier: MIT
# The manual page renders without warnings, carries the project's version and
# names exactly the long options that the program's --help lists.
#   cmake -DMAN=... -DPAGE=... -DVERSION=... (-DPROGRAM=... | -DHELP_FILE=...) -P check_manual_page.cmake
# HELP_FILE stands in for the program's output, to check this script itself.

execute_process(COMMAND ${MAN} --warnings -l ${PAGE}
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE warnings)
if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "man --warnings -l ${PAGE} (status ${rc}):\n${warnings}")
endif()

file(READ ${PAGE} page)
string(REGEX MATCH "\n\\.TH [^\n]*" title "${page}")
if(NOT title MATCHES " \"quarn-network-information ${VERSION}\" ")
  message(FATAL_ERROR "the page's title line does not name version ${VERSION}:${title}")
endif()

if(HELP_FILE)
  file(READ ${HELP_FILE} help)
else()
  execute_process(COMMAND ${PROGRAM} --help TIMEOUT 20
                  RESULT_VARIABLE rc OUTPUT_VARIABLE help ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --help (status ${rc}):\n${err}")
  endif()
endif()

# Every long option the page mentions anywhere: roff writes a hyphen as \-.
string(REPLACE "\\-" "-" page "${page}")
string(REGEX MATCHALL "--[a-z][a-z0-9-]*" in_page "${page}")
# The options --help lists: its lines that start with an option.
set(in_help)
string(REPLACE "\n" ";" help_lines "${help}")
foreach(line IN LISTS help_lines)
  if(line MATCHES "^ +(-[^ ,-], )?(--[a-z][a-z0-9-]*)")
    list(APPEND in_help ${CMAKE_MATCH_2})
  endif()
endforeach()
foreach(list in_page in_help)
  list(REMOVE_DUPLICATES ${list})
  list(SORT ${list})
endforeach()
if(NOT in_help)
  message(FATAL_ERROR "--help lists no long options:\n${help}")
endif()

set(undocumented ${in_help})
list(REMOVE_ITEM undocumented ${in_page})
set(unknown ${in_page})
list(REMOVE_ITEM unknown ${in_help})
if(undocumented OR unknown)
  message(FATAL_ERROR "manual page and --help disagree\n"
                      "  listed by --help, not in the page: ${undocumented}\n"
                      "  in the page, not listed by --help: ${unknown}")
endif()
