# Libraries the layer draws with: FreeType for glyphs, fontconfig to resolve face names,
# libpng for snapshots.
find_package(PkgConfig REQUIRED)
pkg_check_modules(WINAPI_DEPS REQUIRED IMPORTED_TARGET freetype2 fontconfig libpng)
target_link_libraries(winapi PRIVATE PkgConfig::WINAPI_DEPS)
# The desktop screen shows the framebuffer in an SDL2 window. GLOBAL: the front end's tests
# feed it SDL events.
pkg_check_modules(WINAPI_SDL REQUIRED IMPORTED_TARGET GLOBAL sdl2)
target_link_libraries(winapi PRIVATE PkgConfig::WINAPI_SDL)
