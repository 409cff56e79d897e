#include "xls/general_number.h"

#include <cmath>
#include <cstdio>
#include <charconv>
#include <cstdlib>

namespace kestrova::xls {

std::string formatGeneral(double value)
{
    if (value == 0.0 || std::isnan(value))
        return "0"; // also -0
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";

    // 15 significant digits, then drop trailing zeros of the mantissa.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    std::string s(buf);
    const auto ePos = s.find('e');
    std::string mant = s.substr(0, ePos);
    const int exp = std::atoi(s.c_str() + ePos + 1);
    const bool negative = mant[0] == '-';
    if (negative)
        mant.erase(0, 1);
    std::string digits;
    for (char c : mant)
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    const double rounded = std::fabs(std::strtod((std::string(mant) + "e" + std::to_string(exp)).c_str(), nullptr));
    std::string out = negative ? "-" : "";
    if (rounded < 0.00001 || exp >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'E';
        out += exp < 0 ? '-' : '+';
        out += std::to_string(std::abs(exp));
        return out;
    }
    if (exp < 0) {
        out += "0.";
        out += std::string(size_t(-exp - 1), '0');
        out += digits;
    } else {
        const size_t intDigits = size_t(exp) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out += std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits);
            out += '.';
            out += digits.substr(intDigits);
        }
    }
    return out;
}

std::optional<double> generalNumberValue(std::string_view text)
{
    // The general format writes only digits, one point, a leading minus and "E+"/"E-":
    // anything else (blanks, "e", "inf", hex) is not one of its texts.
    if (text.empty() || text.size() > 32 || text.find_first_not_of("0123456789.-E+") != std::string_view::npos)
        return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v) || formatGeneral(v) != text)
        return std::nullopt;
    return v;
}

} // namespace kestrova::xls
