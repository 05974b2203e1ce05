# The parsing and arithmetic that need no window: the playlist format and its
# encodings, the command-line grammars, the interval rules, an entry's own settings
# and hours, the no-cache stamp and the layout arithmetic. Qt Core only, so the
# program, the tests and the fuzz targets (built with sanitizers in a build of their
# own) all compile the same list.
set(VELTRASE_LOGIC_DIR ${CMAKE_CURRENT_LIST_DIR})
add_library(veltrase_logic STATIC
    ${VELTRASE_LOGIC_DIR}/app/command_line.h ${VELTRASE_LOGIC_DIR}/app/command_line.cpp
    ${VELTRASE_LOGIC_DIR}/app/long_options.h ${VELTRASE_LOGIC_DIR}/app/long_options.cpp
    ${VELTRASE_LOGIC_DIR}/app/state_texts.h
    ${VELTRASE_LOGIC_DIR}/browse/dwell_interval.h ${VELTRASE_LOGIC_DIR}/browse/dwell_interval.cpp
    ${VELTRASE_LOGIC_DIR}/browse/entry_settings.h ${VELTRASE_LOGIC_DIR}/browse/entry_settings.cpp
    ${VELTRASE_LOGIC_DIR}/browse/no_cache_stamp.h ${VELTRASE_LOGIC_DIR}/browse/no_cache_stamp.cpp
    ${VELTRASE_LOGIC_DIR}/browse/showing_hours.h ${VELTRASE_LOGIC_DIR}/browse/showing_hours.cpp
    ${VELTRASE_LOGIC_DIR}/layout/layout_controls.h
    ${VELTRASE_LOGIC_DIR}/layout/layout_arithmetic.h ${VELTRASE_LOGIC_DIR}/layout/layout_arithmetic.cpp
    ${VELTRASE_LOGIC_DIR}/playlist/dropped_entries.h ${VELTRASE_LOGIC_DIR}/playlist/dropped_entries.cpp
    ${VELTRASE_LOGIC_DIR}/playlist/line_ends.h
    ${VELTRASE_LOGIC_DIR}/playlist/listed_pages.h ${VELTRASE_LOGIC_DIR}/playlist/listed_pages.cpp
    ${VELTRASE_LOGIC_DIR}/playlist/playlist_capacity.h
    ${VELTRASE_LOGIC_DIR}/playlist/playlist_encoding.h
    ${VELTRASE_LOGIC_DIR}/playlist/playlist_format.h ${VELTRASE_LOGIC_DIR}/playlist/playlist_format.cpp
    ${VELTRASE_LOGIC_DIR}/playlist/right_trim.h ${VELTRASE_LOGIC_DIR}/playlist/right_trim.cpp
    ${VELTRASE_LOGIC_DIR}/playlist/text_entries.h ${VELTRASE_LOGIC_DIR}/playlist/text_entries.cpp
    ${VELTRASE_LOGIC_DIR}/playlist/windows1252.h ${VELTRASE_LOGIC_DIR}/playlist/windows1252.cpp
    ${VELTRASE_LOGIC_DIR}/platform/application_title.h
    ${VELTRASE_LOGIC_DIR}/platform/command_line_text.h
)
target_include_directories(veltrase_logic PUBLIC ${VELTRASE_LOGIC_DIR})
target_link_libraries(veltrase_logic PUBLIC Qt6::Core)
target_compile_definitions(veltrase_logic PUBLIC VELTRASE_VERSION="${PROJECT_VERSION}")
