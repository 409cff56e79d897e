#include "data/demo_records.h"

#include "data/branch_companies.h"
#include "data/database.h"
#include "data/datetime_text.h"
#include "data/indicators.h"
#include "data/schema.h"

#include <QDateTime>

#include <array>
#include <random>
#include <vector>

namespace kestrova {

namespace {
struct County {
    QString code, name, province, city;
};

std::vector<County> loadCounties(Database &db)
{
    std::vector<County> out;
    Statement st = db.prepare(QStringLiteral("SELECT 代码, 名称, 省, 市 FROM county ORDER BY rowid"));
    while (st.next())
        out.push_back({st.text(0), st.text(1), st.text(2), st.text(3)});
    return out;
}

class Dice {
public:
    explicit Dice(std::uint64_t seed) : m_gen(seed) {}
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_gen); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <typename T> const T &pick(const std::vector<T> &v) { return v[size_t(between(0, int(v.size()) - 1))]; }

private:
    std::mt19937_64 m_gen;
};

// Fills the 72 indicator values so that every ordering, pair and tank rule holds.
std::array<double, kIndicatorCount + 1> indicatorValues(Dice &d)
{
    std::array<double, kIndicatorCount + 1> v{};
    v[1] = d.between(20, 800);
    v[2] = d.between(0, int(v[1]));
    v[3] = d.between(1, 6);
    v[4] = d.between(10, 400);
    v[5] = d.between(0, int(v[4]) / 2);
    v[6] = d.between(0, int(v[4]) / 4);
    v[7] = d.between(0, 5000);
    v[8] = d.between(0, int(v[7]));
    v[9] = d.chance(40) ? d.between(200, 5000) : 0;
    v[10] = v[9] > 0 ? d.between(0, int(v[9])) : 0;
    v[11] = d.chance(20) ? d.between(1, 6) : 0;
    v[12] = v[11] > 0 ? d.between(500, 50000) : 0;
    for (int k = 14; k <= 16; ++k)
        v[size_t(k)] = d.chance(60) ? d.between(0, 500) : 0;
    v[13] = v[14] + v[15] + v[16];
    for (int k = 18; k <= 20; ++k)
        v[size_t(k)] = d.chance(60) ? d.between(0, 500) : 0;
    v[17] = v[18] + v[19] + v[20];
    v[21] = d.chance(30) ? d.between(0, 300) : 0;
    v[22] = d.chance(30) ? d.between(0, 300) : 0;
    // Storage capacity spread across the report bands (below 25000 up to beyond 100000).
    const int band = d.between(0, 4);
    const int target = std::array<int, 5>{8000, 30000, 70000, 150000, 25000}[size_t(band)];
    v[26] = d.between(0, target / 2);
    v[27] = d.chance(30) ? d.between(0, target / 4) : 0;
    v[28] = d.chance(20) ? d.between(0, target / 4) : 0;
    v[29] = d.chance(10) ? d.between(0, target / 8) : 0;
    v[30] = d.chance(5) ? d.between(0, target / 8) : 0;
    v[31] = d.chance(30) ? d.between(0, target / 4) : 0;
    if (band == 4) { // exactly on a band boundary now and then
        v[26] = 25000;
        v[27] = v[28] = v[29] = v[30] = v[31] = 0;
    }
    v[23] = v[26] + v[27] + v[28] + v[29] + v[30] + v[31];
    v[24] = d.between(0, int(v[23]));
    v[25] = d.between(0, int(v[23]) / 10);
    v[32] = d.chance(30) ? d.between(0, 20000) : 0;
    v[33] = d.chance(30) ? d.between(0, 20000) : 0;
    v[34] = d.chance(20) ? d.between(0, 10000) : 0;
    v[35] = d.chance(40) ? d.between(100, 60000) : 0;
    v[36] = d.between(0, int(v[35]));
    v[37] = d.between(0, 80000);
    // Tanks: capacity inside n × the class's per-tank bounds.
    const std::array<std::pair<int, int>, 4> tankBounds{{{1, 1000}, {1000, 5000}, {5000, 10000}, {10000, 30000}}};
    for (int c = 0; c < 4; ++c) {
        const int n = d.chance(15) ? d.between(1, 8) : 0;
        v[size_t(38 + c)] = n;
        v[size_t(42 + c)] = n == 0 ? 0 : d.between(n * tankBounds[size_t(c)].first, n * tankBounds[size_t(c)].second);
    }
    for (int base : {46, 50}) { // open-air bins and stacks
        const int n = d.chance(25) ? d.between(1, 40) : 0;
        v[size_t(base)] = n;
        v[size_t(base + 1)] = n == 0 ? 0 : d.between(0, n);
        v[size_t(base + 2)] = n == 0 ? 0 : d.between(100, 20000);
        v[size_t(base + 3)] = n == 0 ? 0 : d.between(0, int(v[size_t(base + 2)]));
    }
    v[54] = d.chance(20) ? d.between(0, 10000) : 0;
    v[55] = d.chance(30) ? d.between(1, 5) : 0;
    v[56] = v[55] > 0 ? d.between(10, 500) : 0;
    v[57] = v[55] > 0 ? d.between(0, 50000) : 0;
    for (int k = 58; k <= 60; ++k)
        v[size_t(k)] = d.between(0, int(v[23]));
    for (int k = 61; k <= 70; ++k)
        v[size_t(k)] = d.chance(50) ? d.between(0, 30) : 0;
    v[71] = d.between(0, 300000);
    v[72] = d.between(0, int(v[71]));
    return v;
}
} // namespace

void addDemoRecords(Database &db, int n, std::uint64_t seed)
{
    const std::vector<County> counties = loadCounties(db);
    if (counties.empty())
        throw DbError(QStringLiteral("county 表为空，无法生成示例数据"));
    std::vector<County> corps;
    for (const auto &c : counties)
        if (c.code.startsWith(QStringLiteral("65")))
            corps.push_back(c);

    Dice d(seed);
    const QStringList cols = recordColumns().mid(1);
    QStringList marks;
    for (int i = 1; i <= cols.size(); ++i)
        marks << QStringLiteral("?%1").arg(i);
    QStringList quoted;
    for (const auto &c : cols)
        quoted << QLatin1Char('"') + c + QLatin1Char('"');
    Transaction tx(db);
    Statement ins = db.prepare(QStringLiteral("INSERT INTO TZ_XIANGMU(") + quoted.join(QLatin1Char(',')) +
                               QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QStringLiteral(")"));
    const std::vector<QString> ownership{QStringLiteral("国有"), QStringLiteral("外资"), QStringLiteral("民营")};
    const std::vector<QString> business{QStringLiteral("储备"), QStringLiteral("加工"), QStringLiteral("物流")};
    const std::vector<QString> suffix{QStringLiteral("粮食储备库"), QStringLiteral("粮油购销公司"),
                                      QStringLiteral("国家粮食储备库"), QStringLiteral("粮油加工厂"),
                                      QStringLiteral("粮食物流中心")};
    const QDateTime base(QDate(2014, 3, 1), QTime(8, 0, 0));
    const qint64 first = db.scalar(QStringLiteral("SELECT count(*) FROM TZ_XIANGMU")).toLongLong();

    for (int i = 0; i < n; ++i) {
        const bool isCorps = !corps.empty() && d.chance(3);
        const County &place = isCorps ? d.pick(corps) : d.pick(counties);
        const qint64 serial = first + i + 1;
        const QString name = place.city.left(6) + place.name + d.pick(suffix) + QString::number(serial);
        QString company, affiliation = name;
        if (!isCorps && d.chance(12)) {
            const auto &b = kBranchCompanies[size_t(d.between(0, int(kBranchCompanies.size()) - 1))];
            company = QString::fromUtf8(b.company.data(), qsizetype(b.company.size()));
            affiliation = QString::fromUtf8(b.branch.data(), qsizetype(b.branch.size()));
        }
        const QString postcode = QStringLiteral("%1").arg(d.between(100000, 869999));
        QVariantList values{name,
                            place.name + QStringLiteral("人民路%1号").arg(d.between(1, 999)),
                            place.code,
                            place.province,
                            place.city,
                            place.name,
                            postcode,
                            QStringLiteral("0%1-%2").arg(d.between(10, 999)).arg(d.between(2000000, 8999999)),
                            QStringLiteral("%1-%2").arg(d.between(10000000, 99999999)).arg(serial),
                            d.pick(ownership),
                            QStringLiteral("法人%1").arg(serial),
                            affiliation,
                            company,
                            isCorps ? QStringLiteral("是") : QStringLiteral("否"),
                            d.pick(business),
                            QStringLiteral("2013")};
        const auto ind = indicatorValues(d);
        for (int k = 1; k <= kIndicatorCount; ++k)
            values << ind[size_t(k)];
        const QDateTime saved = base.addSecs(qint64(d.between(0, 3600 * 24 * 200)));
        values << QString() << QStringLiteral("负责人%1").arg(serial) << QStringLiteral("填表人%1").arg(serial)
               << storedDate(saved.date()) << storedDateTime(saved) << QStringLiteral("1");
        ins.reset();
        for (int c = 0; c < values.size(); ++c)
            ins.bind(c + 1, values[c]);
        ins.run();
    }
    tx.commit();
}

} // namespace kestrova
