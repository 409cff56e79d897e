#pragma once
// Reads a written workbook back through python3-xlrd, an independent reader.
#include "records/printed/printed_cell_map.h"
#include "support/child_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFile>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

namespace kestrova::test {

struct XlsCells {
    QJsonObject cells;
    QJsonArray merges;
    bool ok = false;

    QString at(SheetCell c) const { return at(c.row, c.column); }
    QString at(int row, int col) const
    {
        return cells.value(QStringLiteral("%1,%2").arg(row).arg(col)).toString();
    }
    // The merged block a cell lies in, as {firstRow, firstCol, lastRow, lastCol}; empty if none.
    QJsonArray mergeOf(SheetCell c) const
    {
        for (const auto &m : merges) {
            const QJsonArray a = m.toArray();
            if (c.row >= a[0].toInt() && c.row <= a[2].toInt() && c.column >= a[1].toInt() && c.column <= a[3].toInt())
                return a;
        }
        return {};
    }
};

inline XlsCells readWithXlrd(const QString &path)
{
    QProcess p;
    useUtf8Locale(p);
    p.start(systemPython(), {QStringLiteral(KESTROVA_TEST_DATA_DIR "/printed/read_xls_cells.py"), path});
    p.waitForFinished(60000);
    XlsCells out;
    const QJsonDocument doc = QJsonDocument::fromJson(p.readAllStandardOutput());
    out.ok = p.exitCode() == 0 && doc.isObject();
    EXPECT_TRUE(out.ok) << p.readAllStandardError().toStdString();
    out.cells = doc.object().value(QStringLiteral("cells")).toObject();
    out.merges = doc.object().value(QStringLiteral("merges")).toArray();
    return out;
}

} // namespace kestrova::test
