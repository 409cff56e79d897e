#include "xls/general_number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kestrova::xls {

namespace {

// The significant digits of a scientific text "-d.ddde±x" without trailing zeros, and its
// exponent.
void splitScientific(const char *begin, const char *end, std::string &digits, int &exp)
{
    const char *e = std::find(begin, end, 'e');
    for (const char *p = begin; p < e; ++p)
        if (*p >= '0' && *p <= '9')
            digits += *p;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::from_chars(e + 1 + (e[1] == '+'), end, exp);
}

} // namespace

std::string formatGeneral(double value, int minExponentDigits)
{
    if (std::isnan(value))
        return "NaN"; // never "0": a reader of the text must not take it for a number
    if (value == 0.0)
        return "0"; // also -0
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    char buf[64];
    // Whole numbers below 10^15 are their integer digits: most cells, so done directly.
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return std::string(buf, std::to_chars(buf, buf + sizeof buf, static_cast<long long>(value)).ptr);

    // 15 significant digits without trailing zeros. When the shortest digits that read
    // back as a normal double are no more than 15, they are exactly those (the value lies
    // within half a unit of its last place from them, less than half a step of 15 digits);
    // otherwise printf rounds to 15.
    const bool negative = value < 0;
    std::string digits;
    int exp = 0;
    if (std::isnormal(value)) {
        const auto shortest = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
        splitScientific(buf, shortest.ptr, digits, exp);
    }
    if (digits.empty() || digits.size() > 15) {
        digits.clear();
        const int n = std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
        splitScientific(buf, buf + n, digits, exp);
    }
    // Scientific below 0.00001 (as rounded) and from 16 integer digits on.
    std::string out = negative ? "-" : "";
    if (exp < -5 || exp >= 15) {
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
