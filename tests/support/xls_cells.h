#pragma once
// Reads a written workbook back through python3-xlrd, an independent reader: each cell's
// text and whether it is a number cell, merges, and the print titles and print area.
#include "support/child_process.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

#include <gtest/gtest.h>

namespace kestrova::test {

// Rows and columns count from 1, as on the paper form.
struct XlsCells {
    QJsonObject cells;
    QSet<QString> numbers;
    QJsonArray merges;
    QJsonArray printTitles; // blocks as {firstRow, firstCol, lastRow, lastCol}
    QJsonArray printArea;
    bool ok = false;

    static QString key(int row, int col) { return QStringLiteral("%1,%2").arg(row).arg(col); }
    // The text a reader shows; a number in the general format.
    QString at(int row, int col) const { return cells.value(key(row, col)).toString(); }
    bool isNumber(int row, int col) const { return numbers.contains(key(row, col)); }
    // The same for any cell type with row and column members (SheetCell).
    template <typename Cell>
    QString at(const Cell &c) const
    {
        return at(c.row, c.column);
    }
    template <typename Cell>
    bool isNumber(const Cell &c) const
    {
        return isNumber(c.row, c.column);
    }
    // The merged block a cell lies in; empty if none.
    template <typename Cell>
    QJsonArray mergeOf(const Cell &c) const
    {
        for (const auto &m : merges) {
            const QJsonArray a = m.toArray();
            if (c.row >= a[0].toInt() && c.row <= a[2].toInt() && c.column >= a[1].toInt() && c.column <= a[3].toInt())
                return a;
        }
        return {};
    }
};

// Several workbooks in one run of the reader, in the order given.
inline std::vector<XlsCells> readWithXlrd(const QStringList &paths, int sheet = 0)
{
    QProcess p;
    kestrova::test::useUtf8Locale(p);
    p.start(kestrova::test::systemPython(), QStringList{QStringLiteral(KESTROVA_TEST_DATA_DIR "/support/read_xls_cells.py"),
                                QString::number(sheet)} + paths);
    p.waitForFinished(600000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QList<QByteArray> lines = p.readAllStandardOutput().split('\n');
    std::vector<XlsCells> out(size_t(paths.size()));
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QJsonDocument doc = QJsonDocument::fromJson(lines.value(i));
        XlsCells &x = out[size_t(i)];
        x.ok = doc.isObject();
        EXPECT_TRUE(x.ok) << paths[i].toStdString();
        const QJsonObject o = doc.object();
        x.cells = o.value(QStringLiteral("cells")).toObject();
        for (const auto &k : o.value(QStringLiteral("numbers")).toArray())
            x.numbers.insert(k.toString());
        x.merges = o.value(QStringLiteral("merges")).toArray();
        x.printTitles = o.value(QStringLiteral("printTitles")).toArray();
        x.printArea = o.value(QStringLiteral("printArea")).toArray();
    }
    return out;
}

inline XlsCells readWithXlrd(const QString &path, int sheet = 0)
{
    return readWithXlrd(QStringList{path}, sheet).front();
}

} // namespace kestrova::test
