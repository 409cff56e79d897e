#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kestrova::xls {

// The general number format used wherever a number becomes text: the shortest form with
// at most 15 significant digits, "0" for zero, a point, no grouping, no trailing zeros;
// scientific ("1.5E-6", "1E+15") below 0.00001 in magnitude or from 16 integer digits on,
// the exponent with at least minExponentDigits digits ("1.5E-06" with 2, as Excel shows it);
// "INF", "-INF" and "NaN" for what is not a finite number, which no parser reads back.
std::string formatGeneral(double value, int minExponentDigits = 1);

// The number whose general-format text is exactly `text` ("12.5", "-3", "1E+15"), so a
// cell holding it shows the same text; nothing for other texts ("007", "1.50", " 2",
// "1e5", codes, dates), which keep their form only as text.
std::optional<double> generalNumberValue(std::string_view text);

} // namespace kestrova::xls
