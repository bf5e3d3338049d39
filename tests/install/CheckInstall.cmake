# Installs the build into a fresh prefix and checks that everything lands where the
# freedesktop specifications and software centres look for it. Expects BUILD_DIR, PREFIX,
# APP_ID and VERSION (the one in project()).
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(desktop "${PREFIX}/share/applications/${APP_ID}.desktop")
set(metainfo "${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml")
foreach(file bin/keyrack share/keyrack/lang.ini share/applications/${APP_ID}.desktop
        share/metainfo/${APP_ID}.metainfo.xml share/icons/hicolor/scalable/apps/keyrack.svg
        share/icons/hicolor/64x64/apps/keyrack.png share/icons/hicolor/128x128/apps/keyrack.png
        share/man/man1/keyrack.1.gz share/doc/keyrack/copyright share/doc/keyrack/changelog.gz)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
execute_process(COMMAND test -x "${PREFIX}/bin/keyrack" RESULT_VARIABLE not_executable)
if(not_executable)
    message(FATAL_ERROR "bin/keyrack is not executable")
endif()

find_program(DESKTOP_VALIDATE desktop-file-validate REQUIRED)
execute_process(COMMAND ${DESKTOP_VALIDATE} "${desktop}" RESULT_VARIABLE invalid
    OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(invalid OR report MATCHES "error")
    message(FATAL_ERROR "desktop-file-validate: ${report}")
endif()
find_program(APPSTREAMCLI appstreamcli REQUIRED)
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net "${metainfo}" RESULT_VARIABLE invalid
    OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(invalid)
    message(FATAL_ERROR "appstreamcli validate: ${report}")
endif()

# A new version needs its release notes in both the metadata and the package's changelog.
file(STRINGS "${metainfo}" releases REGEX "<release ")
list(GET releases 0 newest)
if(NOT newest MATCHES "version=\"${VERSION}\"")
    message(FATAL_ERROR "the metadata's newest release is not ${VERSION}: ${newest}")
endif()
file(READ "${BUILD_DIR}/doc/changelog" changelog LIMIT 100)
if(NOT changelog MATCHES "^keyrack \\(${VERSION}\\)")
    message(FATAL_ERROR "the changelog's newest entry is not ${VERSION}")
endif()

# --version needs no display: it must answer on a machine without one.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                        --unset=QT_QPA_PLATFORM "${PREFIX}/bin/keyrack" --version
    RESULT_VARIABLE failed OUTPUT_VARIABLE version ERROR_VARIABLE version)
if(failed OR NOT version STREQUAL "keyrack ${VERSION}\n")
    message(FATAL_ERROR "keyrack --version: ${failed} ${version}")
endif()

# The menu starts the installed program by its full path, quoted since a prefix may hold spaces.
file(STRINGS "${desktop}" exec REGEX "^Exec=")
if(NOT exec STREQUAL "Exec=\"${PREFIX}/bin/keyrack\"")
    message(FATAL_ERROR "unexpected ${exec}")
endif()
file(STRINGS "${desktop}" icon REGEX "^Icon=")
if(NOT icon STREQUAL "Icon=keyrack")
    message(FATAL_ERROR "unexpected ${icon}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
