# Installs the build into a fresh prefix and checks that everything lands where the
# freedesktop specifications look for it. Expects BUILD_DIR and PREFIX.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "cmake --install failed")
endif()

set(desktop "${PREFIX}/share/applications/keyrack.desktop")
foreach(file bin/keyrack share/keyrack/lang.ini share/applications/keyrack.desktop
        share/icons/hicolor/scalable/apps/keyrack.svg share/icons/hicolor/48x48/apps/keyrack.png)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()
execute_process(COMMAND test -x "${PREFIX}/bin/keyrack" RESULT_VARIABLE not_executable)
if(not_executable)
    message(FATAL_ERROR "bin/keyrack is not executable")
endif()

find_program(VALIDATE desktop-file-validate REQUIRED)
execute_process(COMMAND ${VALIDATE} "${desktop}" RESULT_VARIABLE invalid
    OUTPUT_VARIABLE report ERROR_VARIABLE report)
if(invalid OR report MATCHES "error")
    message(FATAL_ERROR "desktop-file-validate: ${report}")
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
