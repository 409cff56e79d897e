#pragma once
// Small helpers for the record tests: inserting records directly, reading them back,
// and a complete valid set of form texts.
#include "data/database.h"
#include "data/schema.h"
#include "records/record_fields.h"

#include <QMap>
#include <QVariant>

namespace kestrova::test {

// Inserts a record; columns not given are empty text or 0.
inline qint64 insertRecord(Database &db, const QMap<QString, QVariant> &values)
{
    const QStringList cols = recordColumns().mid(1);
    QStringList quoted, marks;
    for (int i = 0; i < cols.size(); ++i) {
        quoted << QLatin1Char('"') + cols[i] + QLatin1Char('"');
        marks << QStringLiteral("?%1").arg(i + 1);
    }
    Statement st = db.prepare(QStringLiteral("INSERT INTO TZ_XIANGMU(") + quoted.join(QLatin1Char(',')) +
                              QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QLatin1Char(')'));
    for (int i = 0; i < cols.size(); ++i) {
        const bool numeric = i >= 16 && i < 16 + kIndicatorCount;
        st.bind(i + 1, values.value(cols[i], numeric ? QVariant(0.0) : QVariant(QString())));
    }
    st.run();
    return db.lastInsertId();
}

inline QString cell(Database &db, qint64 id, const QString &column)
{
    Statement st = db.prepare(QStringLiteral("SELECT * FROM TZ_XIANGMU WHERE ID=?1"));
    st.bind(1, id);
    return st.next() ? st.text(column) : QString();
}

inline int count(Database &db, const QString &table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
}

struct Place {
    QString province, city, county, code;
};

// The first county of the reference data.
inline Place firstPlace(Database &db)
{
    Statement st = db.prepare(QStringLiteral("SELECT 省, 市, 名称, 代码 FROM county ORDER BY rowid LIMIT 1"));
    st.next();
    return {st.text(0), st.text(1), st.text(2), st.text(3)};
}

// A record that passes every check of the save, all indicators empty.
inline RecordFields validFields(const Place &p, const QString &name = QStringLiteral("示范粮库"))
{
    RecordFields f;
    f.text[QStringLiteral("企业名称")] = name;
    f.text[QStringLiteral("企业地址")] = QStringLiteral("人民路1号");
    f.text[QStringLiteral("省")] = p.province;
    f.text[QStringLiteral("地市")] = p.city;
    f.text[QStringLiteral("县")] = p.county;
    f.text[QStringLiteral("邮政编码")] = QStringLiteral("100000");
    f.text[QStringLiteral("联系电话")] = QStringLiteral("010-1234567");
    f.text[QStringLiteral("组织机构代码")] = QStringLiteral("ORG-") + name;
    f.text[QStringLiteral("企业性质")] = QStringLiteral("国有");
    f.text[QStringLiteral("法人代表")] = QStringLiteral("张三");
    f.text[QStringLiteral("隶属关系")] = name;
    f.text[QStringLiteral("央企名称")] = QString();
    f.text[QStringLiteral("新疆兵团")] = QStringLiteral("否");
    f.text[QStringLiteral("经营范围")] = QStringLiteral("储备");
    f.text[QStringLiteral("年度")] = QStringLiteral("2013");
    f.text[QStringLiteral("备注")] = QString();
    f.text[QStringLiteral("单位负责人")] = QStringLiteral("李四");
    f.text[QStringLiteral("填表人")] = QStringLiteral("王五");
    f.filingDate = QDate(2014, 3, 5);
    return f;
}

} // namespace kestrova::test
