#include "xls/general_number.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kestrova::xls {

std::string formatGeneral(double value, int minExponentDigits)
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
        const std::string digitsOfExp = std::to_string(std::abs(exp));
        out.append(size_t(std::max(0, minExponentDigits - int(digitsOfExp.size()))), '0');
        out += digitsOfExp;
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

} // namespace kestrova::xls
