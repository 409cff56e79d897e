#pragma once
// Conversions between the library's UTF-8 and the workbook's 8-bit (Latin-1) or UTF-16LE characters.
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrova::xls {

// Counts the UTF-16 units of valid UTF-8 text and whether every character fits in 8 bits
// (Latin-1, stored "compressed"). Returns false for invalid UTF-8.
bool measureUtf8(std::string_view utf8, size_t &utf16Units, bool &latin1);

// Appends the characters as the workbook stores them: one byte each when latin1 is true,
// else UTF-16LE. The text must have passed measureUtf8.
void appendWorkbookChars(std::string &out, std::string_view utf8, bool latin1);

// Sets `out` to the characters as the workbook stores them, in one pass: one byte each
// when every character fits in 8 bits (then returns true), else UTF-16LE. The text must
// have passed measureUtf8.
bool workbookChars(std::string_view utf8, std::string &out);

// Appends UTF-16 units as UTF-8; unpaired surrogates become U+FFFD.
void appendUtf8FromUtf16(std::string &out, const char16_t *units, size_t count);
// Appends Latin-1 bytes as UTF-8.
void appendUtf8FromLatin1(std::string &out, const uint8_t *bytes, size_t count);

} // namespace kestrova::xls
