#pragma once
// Plain tables saved as a workbook: the preview's and the submissions list's 保存.
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova::transfer {

struct SheetTable {
    QString name;                // 1 to 31 characters
    QList<QStringList> rows;     // headings first
    QList<int> numericColumns;   // written as numbers where the text is one
};

// One sheet per table, headings in bold; a table longer than a sheet holds goes on in
// sheets named after it with "（2）" and so on. Throws FileError (data/file_error.h),
// and refuses the database as the target.
void writeTableWorkbook(const QString &path, const QList<SheetTable> &tables);

} // namespace kestrova::transfer
