#pragma once
// A database with a handful of records placed to tell the tree's counts and the
// summary's conditions apart.
#include "data/database.h"
#include "support/temp_store.h"

#include <QString>

#include <map>

namespace kestrova::test {

struct Place {
    QString province, city, county;
    QString enterprise;             // 央企名称
    QString corps = QStringLiteral("否");
    QString ownership = QStringLiteral("国有");
};

inline void addRecord(Database &db, const QString &name, const Place &p, const std::map<QString, double> &values)
{
    QString columns = QStringLiteral("企业名称, 省, 地市, 县, 央企名称, 新疆兵团, 企业性质");
    QString marks = QStringLiteral("?, ?, ?, ?, ?, ?, ?");
    QVariantList params{name, p.province, p.city, p.county, p.enterprise, p.corps, p.ownership};
    for (const auto &[column, v] : values) {
        columns += QStringLiteral(", \"%1\"").arg(column);
        marks += QStringLiteral(", ?");
        params << v;
    }
    db.exec(QStringLiteral("insert into TZ_XIANGMU (%1) values (%2)").arg(columns, marks), params);
}

inline const QString kHenan = QStringLiteral("河南省");
inline const QString kZhengzhou = QStringLiteral("郑州市");
inline const QString kJinshui = QStringLiteral("金水区");
inline const QString kZhongyuan = QStringLiteral("中原区");
inline const QString kCofco = QStringLiteral("中粮集团有限责任公司");
inline const QString kSinograin = QStringLiteral("中国储备粮管理总公司");

// Seven records:
//   A 河南 郑州 金水 local 国有      占地面积 10   从业人员 1
//   B 河南 郑州 中原 local 民营      占地面积 20.5
//   C 河南 开封      local 外资      占地面积 30
//   D 河南 郑州 金水 corps 国有      占地面积 400   (a corps record placed in a county)
//   E 新疆 corps 国有                占地面积 5000
//   F 中粮 河南 国有                 占地面积 60000
//   G 中粮 北京 民营                 占地面积 700000
inline void addSampleRecords(Database &db)
{
    const QString area = QStringLiteral("占地面积");
    addRecord(db, "A", {kHenan, kZhengzhou, kJinshui, {}}, {{area, 10}, {QStringLiteral("从业人员"), 1}});
    addRecord(db, "B", {kHenan, kZhengzhou, kZhongyuan, {}, QStringLiteral("否"), QStringLiteral("民营")}, {{area, 20.5}});
    addRecord(db, "C", {kHenan, QStringLiteral("开封市"), {}, {}, QStringLiteral("否"), QStringLiteral("外资")}, {{area, 30}});
    addRecord(db, "D", {kHenan, kZhengzhou, kJinshui, {}, QStringLiteral("是")}, {{area, 400}});
    addRecord(db, "E", {QStringLiteral("新疆维吾尔自治区"), {}, {}, {}, QStringLiteral("是")}, {{area, 5000}});
    addRecord(db, "F", {kHenan, {}, {}, kCofco}, {{area, 60000}});
    addRecord(db, "G", {QStringLiteral("北京市"), {}, {}, kCofco, QStringLiteral("否"), QStringLiteral("民营")}, {{area, 700000}});
}

} // namespace kestrova::test
