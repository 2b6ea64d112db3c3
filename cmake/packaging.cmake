# Installation into the desktop (binary, launcher entry, icon, AppStream metadata) and the Debian
# package built from it by CPack: `cmake --build build --target package`.
include(GNUInstallDirs)

install(TARGETS tcpad RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES app/share/tcpad.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES app/share/tcpad.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES app/share/io.github.tcpad.tcpad.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tcpad)
set(CPACK_PACKAGE_VENDOR "The tcpad developers")
set(CPACK_PACKAGE_CONTACT "The tcpad developers <tcpad@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "floating calculator for video timecode")
set(CPACK_PACKAGE_DESCRIPTION
    "A small calculator for video timecode that floats above the other windows: adds and\n"
    "subtracts timecodes and frame counts at 16 to 120 fps, with drop-frame counting.")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The shared-library dependencies come from the binary itself; the platform plugin is loaded at
# run time, so no library scan can find it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)
