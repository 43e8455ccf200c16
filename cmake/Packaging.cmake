# SPDX-License-Identifier: GPL-3.0-or-later
# Installing Quorvin like a desktop program (the Debian package of debian/
# installs exactly this): the programs under bin/, their man pages and the
# batch tool's shell completion, the desktop entry, icon, file types and
# software-centre metadata, and under share/doc/quorvin/ the user manual and
# the samples.
include(GNUInstallDirs)

# Every program of the product folders is installed, whatever the folders
# define: an executable named quorvin* outside the tests, benchmarks, fuzz
# targets and sample generators, and not a developer tool (sources under a
# tools/ folder, such as the screenshot driver). The programs quorvin-cli
# hands commands over to (quorvin-cli-*, such as quorvin-cli-graph) are not
# for users: they go where it looks for them, ../libexec/quorvin/ from its
# own folder.
function(quorvin_collect_programs dir out)
  set(found)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(NOT type STREQUAL "EXECUTABLE" OR NOT target MATCHES "^quorvin")
      continue()
    endif()
    get_target_property(sources ${target} SOURCES)
    if(NOT sources MATCHES "(^|;|/)tools/")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${sub})
    if(NOT folder MATCHES "^(tests|bench|fuzz|examples)(/|$)")
      quorvin_collect_programs(${sub} more)
      list(APPEND found ${more})
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()
quorvin_collect_programs(${PROJECT_SOURCE_DIR} QUORVIN_PROGRAMS)
foreach(program IN LISTS QUORVIN_PROGRAMS)
  if(program MATCHES "^quorvin-cli-")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/quorvin)
  else()
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# The module quorvin-cli opens the time-zone database through.
if(TARGET quorvin-zone)
  install(TARGETS quorvin-zone LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/quorvin)
endif()

# The man pages are written as scdoc sources in man/ (NAME.SECTION.scd).
find_program(QUORVIN_SCDOC scdoc)
file(GLOB man_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.scd)
if(QUORVIN_SCDOC)
  set(man_pages)
  foreach(source IN LISTS man_sources)
    get_filename_component(page ${source} NAME_WLE)
    string(REGEX REPLACE "^.*\\.([0-9])$" "\\1" section ${page})
    set(output ${CMAKE_CURRENT_BINARY_DIR}/man/${page})
    add_custom_command(
      OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
      COMMAND ${QUORVIN_SCDOC} < ${source} > ${output}
      DEPENDS ${source}
      COMMENT "Writing the man page ${page}"
      VERBATIM)
    list(APPEND man_pages ${output})
    # The Python module's page goes where the module goes.
    if(page MATCHES "^quorvin-python" AND NOT QUORVIN_BUILD_PYTHON)
      continue()
    endif()
    install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
  endforeach()
  add_custom_target(manpages ALL DEPENDS ${man_pages})
else()
  message(STATUS "scdoc not found: the man pages are not built (scripts/setup.sh installs it)")
endif()

install(FILES ${PROJECT_SOURCE_DIR}/cli/quorvin-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME quorvin-cli)

if(TARGET quorvin)
  install(FILES ${PROJECT_SOURCE_DIR}/gui/resources/quorvin.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/gui/resources/quorvin.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${PROJECT_SOURCE_DIR}/gui/resources/org.example.quorvin.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/gui/resources/quorvin-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME quorvin.xml)

# Documentation in the distribution's place for it. The window has the
# manual built in; this copy is for reading in a browser.
set(QUORVIN_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quorvin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/gui/help/ DESTINATION ${QUORVIN_DOCDIR}/html
        FILES_MATCHING PATTERN "*.html")
install(FILES ${PROJECT_SOURCE_DIR}/examples/SITE1.LOG ${PROJECT_SOURCE_DIR}/examples/site2.csv
              ${PROJECT_SOURCE_DIR}/examples/site3.csv ${PROJECT_SOURCE_DIR}/examples/SAMPLE.DDR
              ${PROJECT_SOURCE_DIR}/examples/RAMCARD.RCD
        DESTINATION ${QUORVIN_DOCDIR}/examples)
