# The program looks for its help and licence pages beside its executable, so the
# build tree is laid out like an installed program folder. configure_file copies a
# page again whenever it changes.
set(VELTRASE_PAGES help.html license-pro.html)
foreach(page IN LISTS VELTRASE_PAGES)
    configure_file(${PROJECT_SOURCE_DIR}/resources/${page} ${PROJECT_BINARY_DIR}/${page} COPYONLY)
endforeach()
