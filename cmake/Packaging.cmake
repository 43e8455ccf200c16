# SPDX-License-Identifier: GPL-3.0-or-later
# Installing Quorvin like a desktop program, and its Debian package:
# the two programs under bin/, the manual and the samples under
# share/quorvin/, the desktop entry, icon and file types for the desktop's
# menus, and a man page made from the batch tool's own --help.
include(GNUInstallDirs)

install(TARGETS quorvin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program quorvin-cli hands its graph command over to (it looks in
# ../libexec/quorvin/ from its own folder).
if(TARGET quorvin-cli-graph)
  install(TARGETS quorvin-cli-graph RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quorvin)
endif()
if(TARGET quorvin)
  install(TARGETS quorvin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/gui/help/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvin/help
        FILES_MATCHING PATTERN "*.html")
install(FILES ${PROJECT_SOURCE_DIR}/examples/SITE1.LOG ${PROJECT_SOURCE_DIR}/examples/site2.csv
              ${PROJECT_SOURCE_DIR}/examples/site3.csv ${PROJECT_SOURCE_DIR}/examples/SAMPLE.DDR
              ${PROJECT_SOURCE_DIR}/examples/RAMCARD.RCD
        DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvin/examples)
install(FILES ${PROJECT_SOURCE_DIR}/gui/resources/quorvin.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/gui/resources/quorvin.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/gui/resources/quorvin-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quorvin.xml)

# The man page is written from the tool's own help, so it never drifts.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(manpage ${CMAKE_CURRENT_BINARY_DIR}/quorvin-cli.1)
  add_custom_command(
    OUTPUT ${manpage}
    COMMAND ${HELP2MAN} --no-info --section=1
            "--name=convert environmental data logger files to text, workbooks and reports"
            --output=${manpage} $<TARGET_FILE:quorvin-cli>
    DEPENDS quorvin-cli
    COMMENT "Writing the man page of quorvin-cli")
  add_custom_target(manpage ALL DEPENDS ${manpage})
  install(FILES ${manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorvin")
set(CPACK_PACKAGE_CONTACT "Quorvin developers <quorvin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Converts environmental data logger files into text, workbooks, charts and statistics")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The dependencies are the Debian libraries the programs link, as
# dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGE_INSTALL_DIRECTORY quorvin)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
