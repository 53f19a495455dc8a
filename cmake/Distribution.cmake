# SPDX-License-Identifier: GPL-3.0-or-later
# What a distribution installs beside the program: the man page, the AppStream metainfo,
# the copyright and the changelog; and the Debian package that `make package` builds
# with CPack.

# Where the project lives; the metainfo's home page and screenshot addresses begin
# with it.
set(ZELK_URL "https://zelk.invalid" CACHE STRING "The project's public address")
set(ZELK_APPSTREAM_ID "invalid.zelk.Zelk" CACHE STRING
    "The AppStream component id: the reversed domain of ZELK_URL and the program")

# --- The release list of the metainfo, from NEWS ------------------------------------------
file(STRINGS ${CMAKE_SOURCE_DIR}/NEWS _news REGEX "^[0-9]+\\.[0-9]+\\.[0-9]+ \\([0-9]+-[0-9]+-[0-9]+\\)$")
set(ZELK_METAINFO_RELEASES "")
set(ZELK_NEWS_VERSIONS "")
foreach(_line ${_news})
  string(REGEX MATCH "^([0-9.]+) \\(([0-9-]+)\\)$" _ "${_line}")
  string(APPEND ZELK_METAINFO_RELEASES
         "    <release version=\"${CMAKE_MATCH_1}\" date=\"${CMAKE_MATCH_2}\"/>\n")
  list(APPEND ZELK_NEWS_VERSIONS ${CMAKE_MATCH_1})
  if(NOT ZELK_NEWS_DATE)
    set(ZELK_NEWS_DATE ${CMAKE_MATCH_2})
  endif()
endforeach()
if(NOT ZELK_VERSION IN_LIST ZELK_NEWS_VERSIONS)
  message(WARNING "NEWS has no entry for the version ${ZELK_VERSION}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/NEWS)
set(ZELK_METAINFO ${CMAKE_BINARY_DIR}/${ZELK_APPSTREAM_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/data/zelk.metainfo.xml.in ${ZELK_METAINFO} @ONLY)
install(FILES ${ZELK_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# --- Compressed as Debian wants them: the man page and the changelog ----------------------
find_program(ZELK_GZIP gzip REQUIRED)
set(ZELK_MAN_GZ ${CMAKE_BINARY_DIR}/zelk.1.gz)
set(ZELK_NEWS_GZ ${CMAKE_BINARY_DIR}/NEWS.gz)
set(ZELK_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/changelog.gz)
# The package is native: its changelog is in Debian's format, one entry for this version
# pointing at NEWS, dated as the newest release in NEWS.
execute_process(COMMAND date -R -u -d "${ZELK_NEWS_DATE}" OUTPUT_VARIABLE _date
                OUTPUT_STRIP_TRAILING_WHITESPACE)
file(WRITE ${CMAKE_BINARY_DIR}/changelog
  "zelk (${ZELK_VERSION_TEXT}) unstable; urgency=medium\n\n"
  "  * Version ${ZELK_VERSION_TEXT}: see /usr/share/doc/zelk/NEWS.gz for the changes\n"
  "    of each release.\n\n"
  " -- the zelk authors <zelk@zelk.invalid>  ${_date}\n")
add_custom_command(OUTPUT ${ZELK_MAN_GZ}
  COMMAND ${ZELK_GZIP} -9nc ${CMAKE_SOURCE_DIR}/data/zelk.1 > ${ZELK_MAN_GZ}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/zelk.1 VERBATIM)
add_custom_command(OUTPUT ${ZELK_NEWS_GZ}
  COMMAND ${ZELK_GZIP} -9nc ${CMAKE_SOURCE_DIR}/NEWS > ${ZELK_NEWS_GZ}
  DEPENDS ${CMAKE_SOURCE_DIR}/NEWS VERBATIM)
add_custom_command(OUTPUT ${ZELK_CHANGELOG_GZ}
  COMMAND ${ZELK_GZIP} -9nc ${CMAKE_BINARY_DIR}/changelog > ${ZELK_CHANGELOG_GZ}
  DEPENDS ${CMAKE_BINARY_DIR}/changelog VERBATIM)
add_custom_target(zelk_docs ALL DEPENDS ${ZELK_MAN_GZ} ${ZELK_NEWS_GZ} ${ZELK_CHANGELOG_GZ})
install(FILES ${ZELK_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/data/copyright ${ZELK_NEWS_GZ} ${ZELK_CHANGELOG_GZ}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# --- The Debian package ---------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelk)
set(CPACK_PACKAGE_VENDOR "the zelk authors")
set(CPACK_PACKAGE_CONTACT "the zelk authors <zelk@zelk.invalid>")
set(CPACK_PACKAGE_VERSION ${ZELK_VERSION_TEXT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "designs and prints blank Japanese manuscript paper")
set(CPACK_PACKAGE_DESCRIPTION
    "Zelk designs and prints blank Japanese manuscript paper (genko yoshi):\n\
a grid of square cells with a narrow strip beside each, for vertical or\n\
horizontal writing, with margins, a fold band with fish-tail marks and\n\
captions, line shapes, a frame, page-number lines and texts outside the\n\
frame. Designs are saved as .zelk files. Its subcommands draw the sheet\n\
as PDF, SVG or PNG without a display.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZELK_URL})
# The libraries the binary links, as dpkg-shlibdeps finds them; a Japanese font to draw
# with; cups-pdf for a PDF queue, CUPS's own way to print into a file.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "printer-driver-cups-pdf, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups")
# The debug symbols in a package of their own, zelk-dbgsym (a .ddeb), as Debian splits
# them: CPack strips the binary (so the build leaves that to it, ZELK_SPLIT_DEBUG=OFF).
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
