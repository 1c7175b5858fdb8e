# A normal Unix install: the program directory (the executable with the
# engine module and the skin beside it, where the program looks for them)
# under lib/nimbrel, a launcher on the PATH, a desktop entry, icons, AppStream
# metainfo, a manual page and the licence; and a Debian package of the same.
include(GNUInstallDirs)

set(NIMBREL_INSTALL_PROGRAM_DIR lib/nimbrel CACHE STRING "Program directory, relative to the prefix")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS nimbrel RUNTIME DESTINATION ${NIMBREL_INSTALL_PROGRAM_DIR})
install(TARGETS nimbrelengine_module nimbrelsound_module nimbrelnetwork_module LIBRARY DESTINATION ${NIMBREL_INSTALL_PROGRAM_DIR})
# The skin. The user's own files that a run from the build tree may have left
# there stay behind, and so do the binaries installed above.
install(DIRECTORY ${NIMBREL_PROGRAM_DIR}/ DESTINATION ${NIMBREL_INSTALL_PROGRAM_DIR}
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  FILES_MATCHING PATTERN "*.BMP" PATTERN "*.WAV")

# The launcher finds the program directory relative to itself, so the whole
# install can move to another prefix.
file(RELATIVE_PATH NIMBREL_PROGRAM_FROM_BIN
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${NIMBREL_INSTALL_PROGRAM_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/nimbrel.sh.in ${CMAKE_BINARY_DIR}/packaging/nimbrel @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/nimbrel DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES ${CMAKE_CURRENT_LIST_DIR}/nimbrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/nimbrel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${NIMBREL_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual page and changelog compressed, as Debian ships them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(NIMBREL_MAN_PAGE ${CMAKE_BINARY_DIR}/packaging/nimbrel.1.gz)
set(NIMBREL_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${NIMBREL_MAN_PAGE}
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_CURRENT_LIST_DIR}/nimbrel.1 > ${NIMBREL_MAN_PAGE}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/nimbrel.1)
add_custom_command(OUTPUT ${NIMBREL_CHANGELOG}
  COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_CURRENT_LIST_DIR}/changelog > ${NIMBREL_CHANGELOG}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog)
add_custom_target(nimbrel_docs ALL DEPENDS ${NIMBREL_MAN_PAGE} ${NIMBREL_CHANGELOG})
install(FILES ${NIMBREL_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${NIMBREL_CHANGELOG} ${CMAKE_CURRENT_LIST_DIR}/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nimbrel)

# cpack -G DEB (from the build directory): a package for Debian 12 and later.
set(CPACK_PACKAGE_NAME nimbrel)
set(CPACK_PACKAGE_VENDOR "The Nimbrel developers")
set(CPACK_PACKAGE_CONTACT "Nimbrel developers <nimbrel@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small skinnable web browser with tool windows")
set(CPACK_PACKAGE_DESCRIPTION "Nimbrel is a small desktop web browser on Qt WebEngine with a skin of
its own, sound effects, and a dozen little tool windows around it:
favourite places, a notepad, a links panel, an HTML editor with a preview
browser, a page-source viewer, a browser status window, an idle animation
and a drive explorer.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries alone do not tell: the lettering and the window-system
# plugin Qt loads at run time. (The engine's helper process and the sound back
# end come with the packages of the libraries the program links.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ocr-a, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
