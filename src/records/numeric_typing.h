#pragma once
// Typing a number into a field: a character the number parser stops at inside the
// text is dropped, while an unfinished number ("-", "12.", "1e") is left to grow.
#include <QString>

namespace kestrova {

// Index of the first character that cannot continue a number, or -1 when the whole
// text is a number or the start of one.
qsizetype numericStopIndex(const QString &text);
// The text with every such character removed, one after another.
QString numericTyped(const QString &text);

} // namespace kestrova
