#pragma once
// The MD5 and SHA-1 digests the workbook encryption derives its keys from.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestrova::xls {

std::array<uint8_t, 16> md5(std::string_view bytes);
std::array<uint8_t, 20> sha1(std::string_view bytes);

} // namespace kestrova::xls
