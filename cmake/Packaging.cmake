# The installed documentation (manual pages, copyright, changelog) and the
# Debian package: after a build, `cpack -G DEB` in the build folder writes
# midizembrik-setup_<version>_<arch>.deb there.  Included at the end of the
# top-level CMakeLists.txt, after every program target exists.
include(GNUInstallDirs)

find_program(ZEMBRIK_GZIP gzip REQUIRED)
set(ZEMBRIK_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/midizembrik-setup)
set(ZEMBRIK_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package)

# Installs a gzip copy of source in destination, compressed the Debian way:
# at the highest level and without the name and time stamp in the header,
# so the same source always gives the same bytes.
function(zembrik_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  set(copy ${ZEMBRIK_PACKAGE_FILES}/gz/${name})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${ZEMBRIK_GZIP} -9nf ${copy}
    DEPENDS ${source} VERBATIM)
  string(MAKE_C_IDENTIFIER ${name} id)
  add_custom_target(gzip_${id} ALL DEPENDS ${copy}.gz)
  install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()

set(ZEMBRIK_MAN1_DIR ${CMAKE_INSTALL_MANDIR}/man1)
zembrik_install_gzipped(${PROJECT_SOURCE_DIR}/resources/midizembrik-setup.1 ${ZEMBRIK_MAN1_DIR})

# The command-line tool's manual page (cli/ installs the tool itself).
if(TARGET midizembrik-cli)
  zembrik_install_gzipped(${PROJECT_SOURCE_DIR}/resources/midizembrik-cli.1 ${ZEMBRIK_MAN1_DIR})
endif()

install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright DESTINATION ${ZEMBRIK_DOC_DIR})
# A package whose version has no Debian revision is a native one; its
# changelog is changelog.gz (changelog.Debian.gz is for the others).
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in ${ZEMBRIK_PACKAGE_FILES}/changelog @ONLY)
zembrik_install_gzipped(${ZEMBRIK_PACKAGE_FILES}/changelog ${ZEMBRIK_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME midizembrik-setup)
set(CPACK_PACKAGE_VENDOR "MIDI Zembrik")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "MIDI Zembrik <packages@midizembrik.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration program for the MIDI Zembrik drum adapter")
set(CPACK_PACKAGE_DESCRIPTION
    "The MIDI Zembrik is a small USB box between an electronic drum kit and a
game console. It turns the kit's MIDI notes into presses of the pads,
cymbals and kick pedal of a game drum controller for Rock Band and Guitar
Hero.

This program finds the box, shows its model, firmware, game mode and
console, and edits the box's two note maps: it stores them on the box and
in map files and reads them back. A udev rule gives the user logged in at
the seat access to the box without root rights.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.midizembrik.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The rule's uaccess tag is turned into an access list by udev.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS udev)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/resources/debian/postinst
    ${PROJECT_SOURCE_DIR}/resources/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
