# Run by ctest: installs the build into PREFIX and checks the installed tree.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
set(expected
    bin/corvelin-cli
    share/applications/${APP_ID}.desktop
    share/metainfo/${APP_ID}.metainfo.xml
    share/icons/hicolor/scalable/apps/${APP_ID}.svg
    share/icons/hicolor/48x48/apps/${APP_ID}.png
    share/icons/hicolor/256x256/apps/${APP_ID}.png
    share/corvelin/Corvelin.html
    share/corvelin/Corvelin.en.html
    share/doc/Corvelin/manual/Corvelin.html
    share/man/man1/corvelin-cli.1
    share/man/ja/man1/corvelin-cli.1)
if(DESKTOP)
  list(APPEND expected bin/corvelin share/corvelin/corvelin_en.qm)
endif()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(READ ${PREFIX}/share/applications/${APP_ID}.desktop entry)
if(NOT entry MATCHES "\nExec=corvelin %U\n" OR NOT entry MATCHES "\nIcon=${APP_ID}\n")
  message(FATAL_ERROR "the desktop entry does not start the installed program with its icon")
endif()
file(REMOVE_RECURSE ${PREFIX})
