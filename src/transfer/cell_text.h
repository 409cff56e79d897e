#pragma once
// The conversions between stored values and workbook texts that run once per cell, so
// for 65,535 records some six million times. Each gives exactly what the general
// helpers (formatGeneral, displayDateTime, parseNumber, parseStoredDateTime) give, and
// takes a short path for the forms that make up nearly every cell.
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace kestrova::transfer {

// formatGeneral(v).
QString numberText(double v);
// The same, appended to out in UTF-8.
void appendNumberText(std::string &out, double v);
// displayDateTime(stored).
QString dateText(const QString &stored);
// parseNumber(text).
std::optional<double> cellNumber(const QString &text);
// The same for UTF-8 text, as the workbook reader gives it.
std::optional<double> cellNumber(std::string_view utf8);
// Whether v reads back as itself from the text the workbooks carry it as (numberText):
// finite, and with no more than the 15 significant digits the general format keeps.
bool carriesThrough(double v);
// Whether text.trimmed() is empty, for UTF-8 text.
bool isBlankCell(std::string_view utf8);
// The stored form of a date cell: yyyy-MM-dd for a date alone, yyyy-MM-dd HH:mm:ss when
// the text has a time; nothing when the text is not a date.
std::optional<QString> storedDateOf(const QString &text);

} // namespace kestrova::transfer
