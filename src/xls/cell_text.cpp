#include "xls/cell_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace kestrova::xls {

const std::vector<uint16_t> &builtinDateFormats()
{
    // 46 is [h]:mm:ss, an elapsed time.
    static const std::vector<uint16_t> ids = {14, 15, 16, 17, 18, 19, 20, 21, 22, 27, 28, 29, 30, 31, 32, 33, 34,
                                              35, 36, 45, 47, 50, 51, 52, 53, 54, 55, 56, 57, 58};
    return ids;
}

bool isDateFormatCode(std::string_view code)
{
    bool dateToken = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        switch (c) {
        case '"': {
            const size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
            break;
        }
        case '\\':
        case '_':
        case '*':
            ++i; // the next character is shown literally
            break;
        case '[': {
            const size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos)
                return false;
            // [h], [mm], [ss] are elapsed times: hours past 24 are no date ("36:00:00" for 1.5),
            // so the cell reads as its number. [Red], [$-804] and the like show nothing.
            const std::string_view inner = code.substr(i + 1, close - i - 1);
            if (!inner.empty() && inner.find_first_not_of("hHmMsS") == std::string_view::npos)
                return false;
            i = close;
            break;
        }
        case 'y': case 'Y': case 'm': case 'M': case 'd': case 'D':
        case 'h': case 'H': case 's': case 'S':
            dateToken = true;
            break;
        default:
            break;
        }
    }
    return dateToken;
}

namespace {

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
long daysFromCivil(long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + long(doe) - 719468;
}

void civilFromDays(long z, long &y, unsigned &m, unsigned &d)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = long(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

} // namespace

std::string dateText(double serial, bool date1904)
{
    if (!(serial >= 0) || serial >= 2958466)
        return {};
    double whole = std::floor(serial);
    long seconds = std::lround((serial - whole) * 86400.0);
    if (seconds >= 86400) {
        whole += 1;
        seconds = 0;
    }
    const long day = long(whole);
    long y;
    unsigned m, d;
    if (date1904) {
        civilFromDays(daysFromCivil(1904, 1, 1) + day, y, m, d);
    } else if (day == 60) {
        y = 1900, m = 2, d = 29; // the day that never was, kept as Excel shows it
    } else if (day < 60) {
        civilFromDays(daysFromCivil(1899, 12, 31) + day, y, m, d);
    } else {
        civilFromDays(daysFromCivil(1899, 12, 30) + day, y, m, d);
    }
    if (y > 9999)
        return {};
    char buf[96];
    const int year = int(y), hour = int(seconds / 3600), minute = int(seconds / 60 % 60), second = int(seconds % 60);
    if (seconds == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", year, m, d);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %d:%02d:%02d", year, m, d, hour, minute, second);
    return buf;
}

double decodeRk(uint32_t rk)
{
    double v;
    if (rk & 2) {
        v = double(int32_t(rk) >> 2);
    } else {
        const uint64_t bits = uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100 : v;
}

const char *errorText(uint8_t code)
{
    switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return "#N/A";
    }
}

} // namespace kestrova::xls

namespace kestrova::xls {

bool encodeRk(double v, uint32_t &rk)
{
    auto same = [v](uint32_t candidate) {
        const double d = decodeRk(candidate);
        return std::memcmp(&d, &v, sizeof d) == 0;
    };
    if (v >= -536870912.0 && v <= 536870911.0 && v == std::floor(v)) {
        rk = (uint32_t(int32_t(v)) << 2) | 2;
        if (same(rk))
            return true;
    }
    const double h = v * 100;
    if (h >= -536870912.0 && h <= 536870911.0 && h == std::floor(h)) {
        rk = (uint32_t(int32_t(h)) << 2) | 3;
        if (same(rk))
            return true;
    }
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    rk = uint32_t(bits >> 32) & ~3u;
    if (same(rk))
        return true;
    return false;
}

} // namespace kestrova::xls
