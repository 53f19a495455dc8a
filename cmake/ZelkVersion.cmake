# SPDX-License-Identifier: GPL-3.0-or-later
# The version, before project(): from the newest tag vMAJOR.MINOR.PATCH that `git describe`
# finds, with the commits since it as the build number; without git or a tag (a source
# archive, a clone without tags) from the file VERSION, with build number 0.
#
# Sets ZELK_VERSION (MAJOR.MINOR.PATCH), ZELK_BUILD_NUMBER and ZELK_VERSION_TEXT, which
# is ZELK_VERSION on a tag and ZELK_VERSION+gitN.gHASH N commits after one.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/../VERSION ZELK_VERSION LIMIT_COUNT 1 REGEX "^[0-9]+\\.[0-9]+\\.[0-9]+$")
if(NOT ZELK_VERSION)
  message(FATAL_ERROR "VERSION holds no MAJOR.MINOR.PATCH line")
endif()
set(ZELK_BUILD_NUMBER 0)
set(ZELK_VERSION_TEXT ${ZELK_VERSION})
set(ZELK_VERSION_SOURCE "the file VERSION")

find_program(ZELK_GIT git)
if(ZELK_GIT AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/../.git)
  execute_process(COMMAND ${ZELK_GIT} describe --tags --long --match "v[0-9]*"
                  WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/..
                  OUTPUT_VARIABLE _describe OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE _rc ERROR_QUIET)
  if(_rc EQUAL 0 AND _describe MATCHES "^v([0-9]+\\.[0-9]+\\.[0-9]+)-([0-9]+)-g([0-9a-f]+)$")
    set(ZELK_VERSION ${CMAKE_MATCH_1})
    set(ZELK_BUILD_NUMBER ${CMAKE_MATCH_2})
    set(ZELK_VERSION_TEXT ${ZELK_VERSION})
    if(NOT ZELK_BUILD_NUMBER EQUAL 0)
      set(ZELK_VERSION_TEXT "${ZELK_VERSION}+git${CMAKE_MATCH_2}.g${CMAKE_MATCH_3}")
    endif()
    set(ZELK_VERSION_SOURCE "git describe (${_describe})")
  endif()
endif()
message(STATUS "zelk ${ZELK_VERSION_TEXT}, build ${ZELK_BUILD_NUMBER}, from ${ZELK_VERSION_SOURCE}")
