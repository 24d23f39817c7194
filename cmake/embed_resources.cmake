# Turns the resource script into C++ that registers each resource with the layer when the
# module is loaded. Understood lines: NAME TYPE "file", with TYPE RCDATA or a numeric type.
file(STRINGS ${RC} lines)
get_filename_component(rc_dir ${RC} DIRECTORY)
set(arrays "")
set(calls "")
set(n 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^([A-Za-z0-9_]+)[ \t]+([A-Za-z0-9_]+)[ \t]+\"([^\"]+)\"")
    set(name ${CMAKE_MATCH_1})
    set(type ${CMAKE_MATCH_2})
    file(READ ${rc_dir}/${CMAKE_MATCH_3} hex HEX)
    string(LENGTH "${hex}" hexlen)
    if(hexlen EQUAL 0)
      set(bytes "0")
    else()
      string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
    endif()
    if(type STREQUAL "RCDATA")
      set(type_expr "RT_RCDATA")
    elseif(type STREQUAL "DIALOG")
      set(type_expr "RT_DIALOG")
    elseif(type STREQUAL "BITMAP")
      set(type_expr "RT_BITMAP")
    else()
      set(type_expr "MAKEINTRESOURCEW(${type})")
    endif()
    math(EXPR size "${hexlen} / 2")
    string(APPEND arrays "alignas(4) static const unsigned char res_${n}[] = {${bytes}};\n")
    string(APPEND calls "    wl_resource_register(module, ${type_expr}, u\"${name}\", res_${n}, ${size});\n")
    math(EXPR n "${n} + 1")
  endif()
endforeach()
file(WRITE ${OUT}.tmp "// Generated from ${RC}; do not edit.
#include <windows.h>
#include <winlayer.h>

${arrays}
static int module_anchor;

__attribute__((constructor)) static void register_module_resources() {
    HMODULE module = wl_module_register(u\"${MODULE_NAME}\", &module_anchor);
${calls}}

__attribute__((destructor)) static void unregister_module_resources() {
    wl_module_unregister(u\"${MODULE_NAME}\");
}
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
