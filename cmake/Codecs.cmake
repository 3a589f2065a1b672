# LAME and mpg123, for the MP3 codec. Some LAME packages ship no pkg-config file: then the
# header and library are looked up directly.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
pkg_check_modules(LAME QUIET IMPORTED_TARGET lame)
if(LAME_FOUND)
    set(pelmora_lame_target PkgConfig::LAME)
else()
    find_path(LAME_INCLUDE_DIR lame/lame.h REQUIRED)
    find_library(LAME_LIBRARY mp3lame REQUIRED)
    add_library(pelmora_lame INTERFACE IMPORTED)
    set_target_properties(pelmora_lame PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${LAME_INCLUDE_DIR}"
        INTERFACE_LINK_LIBRARIES "${LAME_LIBRARY}")
    set(pelmora_lame_target pelmora_lame)
endif()
