# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedText.cmake
# Writes a C++ source that defines `extern const char SYMBOL[]` holding the file's bytes.
file(READ ${INPUT} content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\nextern const unsigned char ${SYMBOL}[];\nconst unsigned char ${SYMBOL}[] = {${bytes} 0x00};\n")
