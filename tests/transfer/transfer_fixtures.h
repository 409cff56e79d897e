#pragma once
// Shared by the transfer tests: database snapshots, small record sets and workbooks
// written cell by cell.
#include "data/database.h"
#include "data/demo_records.h"
#include "data/schema.h"
#include "xls/reader.h"
#include "xls/writer.h"

#include <QDir>
#include <QStringList>

#include <string>
#include <vector>

namespace kestrova::test {

// Every record, every column as text, in ID order; without the ID when ids is false, so
// records of two databases can be compared.
inline QList<QStringList> recordRows(Database &db, bool ids = true)
{
    QList<QStringList> out;
    Statement st = db.prepare(QStringLiteral("SELECT * FROM TZ_XIANGMU ORDER BY ID"));
    while (st.next()) {
        QStringList row;
        for (int i = ids ? 0 : 1; i < st.columnCount(); ++i)
            row << (st.isNull(i) ? QStringLiteral("<null>") : st.text(i));
        out << row;
    }
    return out;
}

inline QStringList namesOf(Database &db)
{
    QStringList out;
    Statement st = db.prepare(QStringLiteral("SELECT 企业名称 FROM TZ_XIANGMU ORDER BY ID"));
    while (st.next())
        out << st.text(0);
    return out;
}

// Inserts one record with the given name and a few values; returns its ID.
inline qint64 addRecord(Database &db, const QString &name, double area = 10, const QString &checked = "1")
{
    db.exec(QStringLiteral("INSERT INTO TZ_XIANGMU(企业名称, 占地面积, 填报日期, 修改时间, 校验状态) "
                           "VALUES(?1, ?2, '2014-03-05', '2014-03-05 09:05:07', ?3)"),
            {name, area, checked});
    return db.lastInsertId();
}

inline void addLogRow(Database &db, const QString &name, const QString &item)
{
    db.exec(QStringLiteral("INSERT INTO 修改日志 VALUES('12345678-9', ?1, '河南省', '郑州市', '中原区', '410102', ?2, "
                           "'1', '2', '2014-03-05 9:05:07', '')"),
            {name, item});
}

using Rows = std::vector<std::vector<std::string>>;

// The record sheet's header as our export writes it.
inline std::vector<std::string> uploadHeader()
{
    std::vector<std::string> h;
    for (const auto &c : recordColumns().mid(1))
        h.push_back(c.toStdString());
    return h;
}

// A workbook with the given sheets of text cells.
inline void writeWorkbook(const std::string &path, const std::vector<std::pair<std::string, Rows>> &sheets)
{
    xls::Workbook wb;
    for (const auto &[name, rows] : sheets) {
        auto &sheet = wb.addSheet(name);
        for (size_t r = 0; r < rows.size(); ++r)
            for (size_t c = 0; c < rows[r].size(); ++c)
                if (!rows[r][c].empty())
                    sheet.setText(int(r), int(c), rows[r][c]);
    }
    wb.save(path);
}

// An upload workbook: the record sheet "数据信息" with our header over the given rows.
inline void writeUploadWorkbook(const QString &path, const Rows &data)
{
    Rows rows{uploadHeader()};
    rows.insert(rows.end(), data.begin(), data.end());
    writeWorkbook(path.toStdString(), {{"数据信息", rows}});
}

// A data row of the upload layout with a name and an area (column 17, 占地面积).
inline std::vector<std::string> uploadRow(const std::string &name, const std::string &area = "12")
{
    std::vector<std::string> row(94);
    row[0] = name;
    row[16] = area;
    row[91] = "2014-03-05";
    row[92] = "2014-03-05 9:05:07";
    row[93] = "1";
    return row;
}

// A row that passes every check of the import preview for an office above its county:
// a place (sheet column C), a postcode, 新疆兵团 "否", validated.
inline std::vector<std::string> placedRow(const std::string &name, const std::string &code = "410102")
{
    auto row = uploadRow(name, "12");
    row[2] = code;
    row[6] = "450000";
    row[13] = "否";
    return row;
}

// An upload template in the application directory, found there before the shipped one:
// the record sheet first, the log sheet second, and a cell of its own that must survive.
inline QString installTemplate(const QString &home)
{
    QDir(home).mkpath(QStringLiteral("templet"));
    const QString path = QDir(home).filePath(QStringLiteral("templet/out.xls"));
    xls::Workbook wb;
    auto &records = wb.addSheet("数据信息");
    records.setColumnWidth(0, 30);
    wb.addSheet("修改日志");
    wb.addSheet("说明").setText(0, 0, "本工作簿由系统生成");
    wb.save(path.toStdString());
    return path;
}

} // namespace kestrova::test
