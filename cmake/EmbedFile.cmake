# Writes the bytes of INPUT as a C++ array named NAME into OUTPUT, with NAME_SIZE beside it, so that a
# file (a font, the player's page) is part of the program that uses it. Run with cmake -P by
# flickmere_embed_file in the build.
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${bytes}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.new" "// Made by the build from ${NAME_OF_INPUT}; do not edit.\n#include <cstddef>\n\n"
     "extern const unsigned char ${NAME}[] = {\n${bytes}};\nextern const std::size_t ${NAME}Size = ${size};\n")
file(RENAME "${OUTPUT}.new" "${OUTPUT}")
