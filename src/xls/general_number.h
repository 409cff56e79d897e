#pragma once
#include <string>

namespace kestrova::xls {

// The general number format used wherever a number becomes text: the shortest form with
// at most 15 significant digits, "0" for zero, a point, no grouping, no trailing zeros;
// scientific ("1.5E-6", "1E+15") below 0.00001 in magnitude or from 16 integer digits on,
// the exponent with at least minExponentDigits digits ("1.5E-06" with 2, as Excel shows it).
std::string formatGeneral(double value, int minExponentDigits = 1);

} // namespace kestrova::xls
