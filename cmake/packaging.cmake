# SPDX-FileCopyrightText: 2026 The tcpad developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installation into the desktop (binary, launcher entry, icon, AppStream metadata, manual page) and
# the Debian package built from it by CPack: `cmake --build build --target package`.
include(GNUInstallDirs)

set(TCPAD_MAINTAINER "The tcpad developers <developers@tcpad.invalid>"
    CACHE STRING "Maintainer field of the Debian package")
# tcpad has no homepage yet; AppStream 1.0 asks for one, and its checks allow exactly its absence
# while this is empty.
set(TCPAD_HOMEPAGE "" CACHE STRING "Homepage in the AppStream metadata and the Debian package")
set(TCPAD_HOMEPAGE_ELEMENT "")
if(TCPAD_HOMEPAGE)
    set(TCPAD_HOMEPAGE_ELEMENT "\n  <url type=\"homepage\">${TCPAD_HOMEPAGE}</url>")
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TCPAD_HOMEPAGE}")
endif()

# The Debian changelog is the one record of releases: its newest entry must be this version, and
# its date becomes the release date in the AppStream metadata.
set(share ${PROJECT_SOURCE_DIR}/app/share)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${share}/changelog)
file(STRINGS ${share}/changelog changelogVersion LIMIT_COUNT 1 REGEX "^tcpad \\(")
string(REGEX REPLACE "^tcpad \\(([^)]*)\\).*" "\\1" changelogVersion "${changelogVersion}")
if(NOT changelogVersion STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "app/share/changelog's newest entry is version '${changelogVersion}', "
                        "the project is ${PROJECT_VERSION}: add an entry for this version")
endif()
file(STRINGS ${share}/changelog releaseLine LIMIT_COUNT 1 REGEX "^ -- ")
string(REGEX MATCH ", ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) " releaseLine "${releaseLine}")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
if(month LESS 0)
    message(FATAL_ERROR "app/share/changelog's newest entry has no dated trailer line")
endif()
math(EXPR month "${month} + 1")
set(TCPAD_RELEASE_DATE ${CMAKE_MATCH_3})
foreach(field ${month} ${CMAKE_MATCH_1})
    string(LENGTH ${field} digits)
    if(digits EQUAL 1)
        set(field 0${field})
    endif()
    string(APPEND TCPAD_RELEASE_DATE -${field})
endforeach()
configure_file(${share}/io.github.tcpad.tcpad.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/app/share/io.github.tcpad.tcpad.metainfo.xml @ONLY)

# Debian wants the changelog and manual pages compressed, without a time stamp so that the
# package builds the same every time.
set(compressed)
foreach(file changelog tcpad.1)
    set(output ${PROJECT_BINARY_DIR}/app/share/${file}.gz)
    add_custom_command(OUTPUT ${output}
                       COMMAND ${CMAKE_COMMAND} -E copy ${share}/${file} ${PROJECT_BINARY_DIR}/app/share/${file}
                       COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/app/share/${file}
                       DEPENDS ${share}/${file} VERBATIM)
    list(APPEND compressed ${output})
endforeach()
add_custom_target(tcpad_compressed_docs ALL DEPENDS ${compressed})
# Whatever builds the binary leaves a tree that installs.
add_dependencies(tcpad tcpad_compressed_docs)

install(TARGETS tcpad RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${share}/tcpad.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${share}/tcpad.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_BINARY_DIR}/app/share/io.github.tcpad.tcpad.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_BINARY_DIR}/app/share/tcpad.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${share}/copyright ${PROJECT_BINARY_DIR}/app/share/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tcpad)
set(CPACK_PACKAGE_VENDOR "The tcpad developers")
set(CPACK_PACKAGE_CONTACT "${TCPAD_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "floating calculator for video timecode")
# One string: CPack joins list items with ';', which would land in the description.
set(CPACK_PACKAGE_DESCRIPTION
    "A small calculator for video timecode that floats above the other windows.\n\
It adds and subtracts timecodes and frame counts at 16 to 120 frames per\n\
second, with drop-frame counting, nine memory registers kept between runs and\n\
exchange of the display with the clipboard.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The shared-library dependencies come from the binary itself; the platform plugin is loaded at
# run time, so no library scan can find it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The Wayland platform, for when XWayland refuses tcpad.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
