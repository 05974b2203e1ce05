# cmake --install build --prefix <dir> gives:
#   <dir>/lib/veltrase/            the program folder: the executable with its engine plugin and pages
#   <dir>/bin/veltrase             a link to the executable, for the PATH
#   <dir>/share/applications/      the desktop entry
#   <dir>/share/icons/hicolor/     the globe icon in the theme's sizes
#   <dir>/share/man/man1/          the manual page
#   <dir>/share/systemd/user/      the user service and its example settings
#                                  (lib/systemd/user under /usr and /usr/local)
include(GNUInstallDirs)

set(VELTRASE_INSTALL_PROGRAM_DIR "lib/veltrase" CACHE STRING
    "Program folder below the prefix: the executable and the pages it shows")

install(TARGETS veltrase RUNTIME DESTINATION ${VELTRASE_INSTALL_PROGRAM_DIR})
# The browser engine's plugin, which the program loads from its own folder.
install(TARGETS veltrase_webengine LIBRARY DESTINATION ${VELTRASE_INSTALL_PROGRAM_DIR})
list(TRANSFORM VELTRASE_PAGES PREPEND ${PROJECT_SOURCE_DIR}/resources/ OUTPUT_VARIABLE veltrase_page_files)
install(FILES ${veltrase_page_files} DESTINATION ${VELTRASE_INSTALL_PROGRAM_DIR})

# The launcher is a relative symbolic link, so the whole prefix can move. The program
# still finds its pages: it takes its folder from the executable the link points to.
file(RELATIVE_PATH veltrase_launcher_target
    /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VELTRASE_INSTALL_PROGRAM_DIR}/veltrase)
install(CODE "
    set(launcher \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/veltrase\")
    message(STATUS \"Installing: \${launcher}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${launcher}\")
    file(CREATE_LINK \"${veltrase_launcher_target}\" \"\${launcher}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${launcher}\")
")

install(FILES ${PROJECT_SOURCE_DIR}/resources/veltrase.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${PROJECT_SOURCE_DIR}/resources/veltrase.1.in ${PROJECT_BINARY_DIR}/veltrase.1 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/veltrase.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The icons are drawn from the same picture as the window icon, at build time.
add_subdirectory(${PROJECT_SOURCE_DIR}/tools ${PROJECT_BINARY_DIR}/tools)
install(DIRECTORY ${VELTRASE_ICON_THEME_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The user's service (veltrase.service) with its example settings, where the user's
# service manager looks for this prefix: the system's unit folder under /usr and
# /usr/local, the data folder elsewhere (~/.local/share/systemd/user for ~/.local).
# Decided at install time, since --prefix may differ from the configured prefix.
install(CODE "
    set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
    if(prefix STREQUAL \"/usr\" OR prefix STREQUAL \"/usr/local\")
        set(unit_dir \"\${prefix}/lib/systemd/user\")
    else()
        set(unit_dir \"\${prefix}/${CMAKE_INSTALL_DATADIR}/systemd/user\")
    endif()
    set(VELTRASE_LAUNCHER \"\${prefix}/${CMAKE_INSTALL_BINDIR}/veltrase\")
    foreach(file veltrase.service service.env.example)
        message(STATUS \"Installing: \$ENV{DESTDIR}\${unit_dir}/\${file}\")
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\$ENV{DESTDIR}\${unit_dir}/\${file}\")
    endforeach()
    configure_file(\"${PROJECT_SOURCE_DIR}/resources/veltrase.service.in\" \"\$ENV{DESTDIR}\${unit_dir}/veltrase.service\" @ONLY)
    file(COPY_FILE \"${PROJECT_SOURCE_DIR}/resources/service.env.example\" \"\$ENV{DESTDIR}\${unit_dir}/service.env.example\")
")
