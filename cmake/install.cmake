# cmake --install build --prefix <dir> gives:
#   <dir>/lib/veltrase/            the program folder: the executable with its engine plugin and pages
#   <dir>/bin/veltrase             a link to the executable, for the PATH
#   <dir>/share/applications/      the desktop entry
#   <dir>/share/icons/hicolor/     the globe icon in the theme's sizes
#   <dir>/share/man/man1/          the manual page
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
