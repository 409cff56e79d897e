#pragma once
// How cell values become text: numbers in the general format, dates as yyyy-MM-dd
// [H:mm:ss], booleans and error codes as Excel shows them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::xls {

// Built-in format ids that show dates or times, Chinese/Japanese/Korean ones included.
const std::vector<uint16_t> &builtinDateFormats();
// Whether a custom number format shows a date or time: y, m, d, h or s outside quoted
// text, backslash escapes, _x and *x, and [...] sections such as [Red]. Elapsed times
// ([h]:mm, [ss]) are not dates.
bool isDateFormatCode(std::string_view code);

// A date serial as yyyy-MM-dd, or yyyy-MM-dd H:mm:ss when it has a time part; empty for
// serials before the epoch or after 9999-12-31. Serial 60 of the 1900 system is the
// 1900-02-29 that Excel shows.
std::string dateText(double serial, bool date1904);

double decodeRk(uint32_t rk);
const char *errorText(uint8_t code);

} // namespace kestrova::xls

namespace kestrova::xls {
// The RK form of a number when it decodes to exactly the same double.
bool encodeRk(double v, uint32_t &rk);
}
