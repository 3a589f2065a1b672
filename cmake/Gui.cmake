# The Qt editor: the widgets of every subsystem (the ui/ folders) over the core, and the
# pelmora program.
find_package(Qt6 REQUIRED COMPONENTS Widgets Network Test)

set(gui_sources)
foreach(subsystem sound document edit audio display sampler mp3 app)
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${subsystem}/ui/*.cpp
                                      ${PROJECT_SOURCE_DIR}/${subsystem}/ui/*.h)
    list(APPEND gui_sources ${found})
endforeach()
add_library(pelmora_gui STATIC ${gui_sources})
set_target_properties(pelmora_gui PROPERTIES AUTOMOC ON)
target_include_directories(pelmora_gui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(pelmora_gui PUBLIC pelmora_app Qt6::Widgets Qt6::Network)
pelmora_strict(pelmora_gui)

# The toolbar icons, our own drawings, compiled in under ":/icons". Qt's SVG plugins (Debian's
# libqt6svg6) draw them at run time.
file(GLOB toolbar_icons CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/*.svg)
qt_add_resources(pelmora_gui toolbar_icons
    PREFIX /icons
    BASE ${PROJECT_SOURCE_DIR}/resources/icons
    FILES ${toolbar_icons})

add_executable(pelmora ${PROJECT_SOURCE_DIR}/app/main.cpp)
target_link_libraries(pelmora PRIVATE pelmora_gui)
target_compile_definitions(pelmora PRIVATE PELMORA_VERSION="${PROJECT_VERSION}")
pelmora_strict(pelmora)
add_dependencies(pelmora pelmora-aspi)

# Drawing benchmark of the waveform pane (bench/pane.sh builds and runs it).
add_executable(pelmora-pane-bench EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/PaneBench.cpp)
target_link_libraries(pelmora-pane-bench PRIVATE pelmora_gui)
pelmora_strict(pelmora-pane-bench)

# The application icon in the desktop's sizes, drawn from its SVG at build time.
add_executable(pelmora-render-icon ${PROJECT_SOURCE_DIR}/resources/desktop/RenderIcon.cpp)
target_link_libraries(pelmora-render-icon PRIVATE Qt6::Gui)
pelmora_strict(pelmora-render-icon)
set(PELMORA_ICON_SIZES 16 32 48 64 128 256)
set(icon_files)
foreach(size ${PELMORA_ICON_SIZES})
    set(png ${CMAKE_BINARY_DIR}/icons/${size}/pelmora.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}
        COMMAND pelmora-render-icon ${PROJECT_SOURCE_DIR}/resources/icons/pelmora.svg ${size} ${png}
        DEPENDS pelmora-render-icon ${PROJECT_SOURCE_DIR}/resources/icons/pelmora.svg VERBATIM)
    list(APPEND icon_files ${png})
endforeach()
add_custom_target(pelmora_icons ALL DEPENDS ${icon_files})

# Pictures of the editor's first minutes (bench/screenshots.sh builds and runs it under Xvfb).
add_executable(pelmora-screenshots EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/Screenshots.cpp)
target_link_libraries(pelmora-screenshots PRIVATE pelmora_gui)
pelmora_strict(pelmora-screenshots)
