#include "data/reference_data.h"

#include "data/branch_companies.h"
#include "data/database.h"
#include "data/indicators.h"
#include "data/schema.h"

extern const unsigned char kProvinceCsv[];
extern const unsigned char kCityCsv[];
extern const unsigned char kCountyCsv[];

namespace kestrova {

namespace {
// The shipped region lists are simple UTF-8 CSV without quoting; a header line first.
void loadCsv(Database &db, const unsigned char *csv, const QString &insertSql, int columns)
{
    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char *>(csv)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    Statement st = db.prepare(insertSql);
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].trimmed().split(QLatin1Char(','));
        if (fields.size() < columns)
            continue;
        st.reset();
        for (int c = 0; c < columns; ++c)
            st.bindText(c + 1, fields[c].trimmed());
        st.run();
    }
}

QString str(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
} // namespace

void fillReferenceData(Database &db, int currentYear)
{
    loadCsv(db, kProvinceCsv, QStringLiteral("INSERT INTO province(代码, 名称) VALUES (?1, ?2)"), 2);
    loadCsv(db, kCityCsv, QStringLiteral("INSERT INTO city(代码, 名称, 省) VALUES (?1, ?2, ?3)"), 3);
    loadCsv(db, kCountyCsv, QStringLiteral("INSERT INTO county(代码, 名称, 省, 市) VALUES (?1, ?2, ?3, ?4)"), 4);

    Statement branch = db.prepare(QStringLiteral("INSERT INTO 分公司(公司, 分公司) VALUES (?1, ?2)"));
    for (const auto &b : kBranchCompanies) {
        branch.reset();
        branch.bindText(1, str(b.company)).bindText(2, str(b.branch)).run();
    }

    Statement year = db.prepare(QStringLiteral("INSERT INTO 年度(年度) VALUES (?1)"));
    for (int y = 2010; y <= currentYear + 1; ++y) {
        year.reset();
        year.bindText(1, QString::number(y)).run();
    }

    const char *levels[] = {"国家级汇总", "省级汇总", "地级汇总", "县级汇总", "中储粮", "中粮", "中纺"};
    Statement level = db.prepare(QStringLiteral("INSERT INTO 汇总级别(汇总级别, 序号) VALUES (?1, ?2)"));
    for (int i = 0; i < 7; ++i) {
        level.reset();
        level.bindText(1, QString::fromUtf8(levels[i])).bindText(2, QString::number(i + 1)).run();
    }

    Statement query = db.prepare(QStringLiteral("INSERT INTO 查询指标(指标, 类型) VALUES (?1, ?2)"));
    for (const auto &c : identityColumns()) {
        query.reset();
        query.bindText(1, c).bindText(2, QStringLiteral("1")).run();
    }
    for (const auto &ind : kIndicators) {
        query.reset();
        query.bindText(1, str(ind.column)).bindText(2, QStringLiteral("0")).run();
    }
}

} // namespace kestrova
