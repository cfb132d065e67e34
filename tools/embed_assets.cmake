# Turns the About box's pictures in assets/ into a C++ source of byte arrays (cmake -P script).
#   cmake -DASSET_DIR=<assets folder> -DOUT=<generated .cpp> -P embed_assets.cmake
# Each entry: function name, file, and whether the bytes are stored as a form "Data" value
# (a 32-bit little-endian length, then the file).
set(entries
  "TovrenLogoData|tovren_logo.gif|framed"
  "TovrenBannerGif|tovren_banner.gif|plain"
  "TovrenBadgeGif|tovren_badge.gif|plain"
  "DonateButtonGif|donate_button.gif|plain"
  "OkGlyphGif|ok_glyph.gif|plain")

set(body "")
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 name)
  list(GET parts 1 file)
  list(GET parts 2 kind)
  file(READ "${ASSET_DIR}/${file}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  # Line breaks every 24 bytes keep the generated file readable.
  string(REPEAT "[0-9a-f]" 48 row)
  string(REGEX REPLACE "(${row})" "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  if(kind STREQUAL "framed")
    set(length "")
    foreach(shift 0 8 16 24)
      math(EXPR b "(${size} >> ${shift}) & 255" OUTPUT_FORMAT HEXADECIMAL)
      string(APPEND length "${b},")
    endforeach()
    set(bytes "${length}\n${bytes}")
  endif()
  string(APPEND body "namespace {\nconst std::uint8_t k${name}[] = {\n${bytes}\n};\n}\n")
  string(APPEND body "std::span<const std::uint8_t> ${name}() { return k${name}; }\n\n")
endforeach()

set(content "// Generated from assets/ by tools/embed_assets.cmake; do not edit.\n#include \"desktop/about_assets.h\"\n\nnamespace qvx::assets {\n\n${body}} // namespace qvx::assets\n")
# Rewrite only on change, so an unchanged picture set does not rebuild the library.
if(EXISTS "${OUT}")
  file(READ "${OUT}" old)
  if(old STREQUAL content)
    return()
  endif()
endif()
file(WRITE "${OUT}" "${content}")
