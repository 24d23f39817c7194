# Turns the resource script into C++ that registers each resource with the layer when the
# module is loaded, and calls the module's DllMain (if it has one) as Windows would: process
# attach after loading, process detach before unloading.
#
# Understood lines, and nothing else (anything else fails the build):
#   // comment                         blank lines
#   #include <header>                  (for a real resource compiler; the style names below are
#                                       known here)
#   NAME TYPE "file"                   TYPE RCDATA, DIALOG, BITMAP or a number
#   NAME DIALOG x, y, cx, cy           an empty dialog template: exactly a STYLE line, BEGIN and
#   STYLE name | name | number ...     END follow; it becomes a DLGTEMPLATE with no controls,
#   BEGIN                              menu, class, title or font
#   END
file(STRINGS ${RC} lines)
get_filename_component(rc_dir ${RC} DIRECTORY)

set(STYLE_WS_POPUP 0x80000000)
set(STYLE_WS_VISIBLE 0x10000000)

function(fail message)
  message(FATAL_ERROR "${RC}: ${message}")
endfunction()

# Appends `count` little-endian bytes of `value` to the list text in `out`.
function(append_le out value count)
  set(bytes "${${out}}")
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last})
    math(EXPR b "(${value} >> (8 * ${i})) & 0xFF" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND bytes "${b},")
  endforeach()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

# The value of a STYLE expression: names and numbers joined by "|".
function(style_value out expression)
  string(REPLACE "|" ";" parts "${expression}")
  set(value 0)
  foreach(part IN LISTS parts)
    string(STRIP "${part}" part)
    if(part MATCHES "^(0[xX][0-9A-Fa-f]+|[0-9]+)$")
      set(v ${part})
    elseif(DEFINED STYLE_${part})
      set(v ${STYLE_${part}})
    else()
      fail("unknown style \"${part}\"")
    endif()
    math(EXPR value "${value} | ${v}")
  endforeach()
  set(${out} ${value} PARENT_SCOPE)
endfunction()

set(arrays "")
set(calls "")
set(n 0)

# Emits one resource: `bytes` is a list text of C byte values.
macro(add_resource name type_expr bytes size)
  string(APPEND arrays "alignas(4) static const unsigned char res_${n}[] = {${bytes}};\n")
  string(APPEND calls
         "    wl_resource_register(module, ${type_expr}, u\"${name}\", res_${n}, ${size});\n")
  math(EXPR n "${n} + 1")
endmacro()

macro(add_file_resource name type path)
  file(READ ${rc_dir}/${path} hex HEX)
  string(LENGTH "${hex}" hexlen)
  if(hexlen EQUAL 0)
    set(bytes "0")
  else()
    string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
  endif()
  if(${type} STREQUAL "RCDATA")
    set(type_expr "RT_RCDATA")
  elseif(${type} STREQUAL "DIALOG")
    set(type_expr "RT_DIALOG")
  elseif(${type} STREQUAL "BITMAP")
    set(type_expr "RT_BITMAP")
  elseif(${type} MATCHES "^[0-9]+$")
    set(type_expr "MAKEINTRESOURCEW(${type})")
  else()
    fail("unknown resource type ${type}")
  endif()
  math(EXPR size "${hexlen} / 2")
  add_resource(${name} ${type_expr} "${bytes}" ${size})
endmacro()

# DLGTEMPLATE: style, extended style, 0 controls, x, y, cx, cy, then no menu, the dialog class
# and an empty title (one zero word each).
macro(add_dialog_resource name style x y cx cy)
  set(bytes "")
  append_le(bytes ${style} 4)
  append_le(bytes 0 4)
  append_le(bytes 0 2)
  foreach(v ${x} ${y} ${cx} ${cy})
    if(v LESS -32768 OR v GREATER 32767)
      fail("dialog ${name}: coordinate ${v} does not fit 16 bits")
    endif()
    append_le(bytes ${v} 2)
  endforeach()
  append_le(bytes 0 6)
  add_resource(${name} RT_DIALOG "${bytes}" 24)
endmacro()

set(state top)
set(line_number 0)
foreach(line IN LISTS lines)
  math(EXPR line_number "${line_number} + 1")
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^//")
    continue()
  endif()
  if(state STREQUAL "top")
    if(line MATCHES "^#include[ \t]+<[A-Za-z0-9_./]+>$")
      continue()
    elseif(line MATCHES "^([A-Za-z0-9_]+)[ \t]+([A-Za-z0-9_]+)[ \t]+\"([^\"]+)\"$")
      add_file_resource(${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3})
    elseif(line MATCHES "^([A-Za-z0-9_]+)[ \t]+DIALOG[ \t]+(-?[0-9]+)[ \t]*,[ \t]*(-?[0-9]+)[ \t]*,[ \t]*(-?[0-9]+)[ \t]*,[ \t]*(-?[0-9]+)$")
      set(dialog_name ${CMAKE_MATCH_1})
      set(dialog_box ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} ${CMAKE_MATCH_5})
      set(state style)
    else()
      fail("line ${line_number} is not understood: ${line}")
    endif()
  elseif(state STREQUAL "style")
    if(NOT line MATCHES "^STYLE[ \t]+(.+)$")
      fail("line ${line_number}: dialog ${dialog_name} needs exactly a STYLE line here")
    endif()
    style_value(dialog_style "${CMAKE_MATCH_1}")
    set(state begin)
  elseif(state STREQUAL "begin")
    if(NOT line STREQUAL "BEGIN")
      fail("line ${line_number}: dialog ${dialog_name} expects BEGIN")
    endif()
    set(state end)
  else()
    if(NOT line STREQUAL "END")
      fail("line ${line_number}: dialog ${dialog_name} must be empty (END expected)")
    endif()
    add_dialog_resource(${dialog_name} ${dialog_style} ${dialog_box})
    set(state top)
  endif()
endforeach()
if(NOT state STREQUAL "top")
  fail("the dialog ${dialog_name} is not finished")
endif()

file(WRITE ${OUT}.tmp "// Generated from ${RC}; do not edit.
#include <windows.h>
#include <winlayer.h>

${arrays}
static int module_anchor;
static HMODULE registered_module;

// The module's entry point, if it has one.
extern \"C\" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) __attribute__((weak));

__attribute__((constructor)) static void register_module_resources() {
    HMODULE module = wl_module_register(u\"${MODULE_NAME}\", &module_anchor);
    registered_module = module;
${calls}    if (DllMain) DllMain(module, DLL_PROCESS_ATTACH, NULL);
}

__attribute__((destructor)) static void unregister_module_resources() {
    if (DllMain) DllMain(registered_module, DLL_PROCESS_DETACH, NULL);
    wl_module_unregister(u\"${MODULE_NAME}\");
}
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
