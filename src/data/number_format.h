#pragma once
#include <QString>
#include <optional>

namespace kestrova {

// The general number format used wherever a number becomes text: the shortest form
// with at most 15 significant digits, "0" for zero, a point, no grouping, no trailing
// zeros; scientific ("1.5E-6", "1E+15") below 0.00001 in magnitude or from 16 integer
// digits on.
QString formatGeneral(double value);
std::string formatGeneralUtf8(double value);

// The general format of a sum named what (a column). A sum past the largest number, which
// would print as INF, throws DbError saying which column could not be added up.
QString sumText(double sum, const QString &what);

// Parses a number as the system's cells and fields hold it ("12", "-0.5", "1E+15",
// surrounding spaces allowed). Empty text or anything else gives nullopt.
std::optional<double> parseNumber(const QString &text);
// Like parseNumber, but empty text counts as 0.
std::optional<double> parseNumberOrZero(const QString &text);
// Whether a number written as text keeps its value when shown in the general format,
// i.e. has at most 15 significant digits ("99999999999999999999" has 20 and would come
// back as 1E+20). True for text that is not a number: that is refused elsewhere.
bool fitsGeneralFormat(const QString &text);
inline constexpr int kSignificantDigits = 15;

} // namespace kestrova
