# What `cmake --install` puts where on a Debian system, and the validators of
# the desktop entry and the AppStream metainfo, run as tests.
include(GNUInstallDirs)

set(CORVELIN_APP_ID jp.tessoly.Corvelin)

install(TARGETS corvelin-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(CORVELIN_BUILD_DESKTOP)
  install(TARGETS corvelin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CORVELIN_QM} DESTINATION ${CMAKE_INSTALL_DATADIR}/corvelin)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/data/${CORVELIN_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${CORVELIN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${CORVELIN_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/data/icons/${CORVELIN_APP_ID}-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${CORVELIN_APP_ID}.png)
endforeach()

# The manual is the help file: the desktop program's help command opens
# Corvelin.html beside the program or in ../share/corvelin/. The build folder
# gets a copy beside the program too.
set(CORVELIN_MANUAL ${PROJECT_SOURCE_DIR}/docs/manual/Corvelin.html
                    ${PROJECT_SOURCE_DIR}/docs/manual/Corvelin.en.html)
install(FILES ${CORVELIN_MANUAL} DESTINATION ${CMAKE_INSTALL_DATADIR}/corvelin)
install(FILES ${CORVELIN_MANUAL} DESTINATION ${CMAKE_INSTALL_DOCDIR}/manual)
foreach(page IN LISTS CORVELIN_MANUAL)
  get_filename_component(name ${page} NAME)
  configure_file(${page} ${CMAKE_BINARY_DIR}/${name} COPYONLY)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/docs/corvelin-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/docs/corvelin-cli.ja.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/ja/man1
        RENAME corvelin-cli.1)

if(CORVELIN_BUILD_TESTS)
  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(APPSTREAMCLI appstreamcli)
  if(DESKTOP_FILE_VALIDATE)
    add_test(NAME Install.DesktopEntryValidates
             COMMAND ${DESKTOP_FILE_VALIDATE} ${PROJECT_SOURCE_DIR}/data/${CORVELIN_APP_ID}.desktop)
  endif()
  if(APPSTREAMCLI)
    add_test(NAME Install.MetainfoValidates
             COMMAND ${APPSTREAMCLI} validate --no-net --explain
                     ${PROJECT_SOURCE_DIR}/data/${CORVELIN_APP_ID}.metainfo.xml)
  endif()
  # Installs into a scratch folder and checks that every file is where a
  # Debian desktop looks for it.
  add_test(NAME Install.PutsEveryFileInPlace
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
                   -DPREFIX=${CMAKE_BINARY_DIR}/install-check -DAPP_ID=${CORVELIN_APP_ID}
                   -DDESKTOP=${CORVELIN_BUILD_DESKTOP}
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckInstall.cmake)
endif()
