# Turns a binary resource into a C++ source file defining `const unsigned char <SYMBOL>[]` and
# `const std::size_t <SYMBOL>_size`. Run as: cmake -DINPUT=.. -DOUTPUT=.. -DSYMBOL=.. -P this file.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
set(line "")
foreach(i RANGE 15)
  string(APPEND line "0x[0-9a-f][0-9a-f],")
endforeach()
string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")  # 16 bytes a line
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
  "// Generated from src/res/${name}; do not edit.\n"
  "#include <cstddef>\n\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}_size;\n"
  "alignas(4) const unsigned char ${SYMBOL}[] = {\n${bytes}};\n"
  "const std::size_t ${SYMBOL}_size = ${size};\n")
