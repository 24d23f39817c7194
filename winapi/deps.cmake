# Libraries the layer draws with: FreeType for glyphs, fontconfig to resolve face names,
# libpng for snapshots.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WINAPI_DEPS REQUIRED IMPORTED_TARGET freetype2 fontconfig libpng)
target_link_libraries(winapi PRIVATE PkgConfig::WINAPI_DEPS)
