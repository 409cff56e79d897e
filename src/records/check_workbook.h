#pragma once
// The 全部校验 list as a workbook: one row per failing record and rule, the headings of
// the list on top and the summary line under it.
#include "records/record_check.h"

#include <QString>
#include <QStringList>

namespace kestrova {

// The list's column headings, as the window and the TSV of kestrova-cli show them.
const QStringList &checkColumns();
// One failure as the list shows it, a text per column.
QStringList checkRow(const CheckFailure &failure);

// Writes the rows given (the window's sorted and filtered view, or every failure) to
// path, replacing a file there only once the new one is complete. Throws FileError.
void saveCheckWorkbook(const QList<QStringList> &rows, const QString &summary, const QString &path);

} // namespace kestrova
