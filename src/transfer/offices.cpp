#include "transfer/offices.h"

#include "data/database.h"
#include "data/task_record.h"

#include <array>

namespace kestrova::transfer {

namespace {
const QString kCorps = QStringLiteral("新疆兵团");
constexpr std::string_view kYes = "是";

// The central enterprises in the order the annual summary lists them, with the level
// name their own office works at.
struct CentralEnterprise {
    const char *level;
    const char *name;
};
constexpr std::array<CentralEnterprise, 3> kCentral{{
    {"中储粮", "中国储备粮管理总公司"},
    {"中粮", "中粮集团有限责任公司"},
    {"中纺", "中国中纺集团公司"},
}};

std::string utf8(const QString &s)
{
    return s.toStdString();
}
} // namespace

OfficeMap::OfficeMap(Database &db, const std::optional<TaskRecord> &task)
{
    {
        Statement st = db.prepare(QStringLiteral("SELECT 代码, 名称 FROM province ORDER BY rowid"));
        while (st.next())
            m_places.insert(st.text(0).left(2), st.text(1).trimmed());
    }
    {
        Statement st = db.prepare(QStringLiteral("SELECT 代码, 名称, 省 FROM city ORDER BY rowid"));
        while (st.next())
            m_places.insert(st.text(0).left(4), st.text(2).trimmed() + st.text(1).trimmed());
    }
    {
        Statement st = db.prepare(QStringLiteral("SELECT 代码, 名称, 省, 市 FROM county ORDER BY rowid"));
        while (st.next())
            m_places.insert(st.text(0), st.text(2).trimmed() + st.text(3).trimmed() + st.text(1).trimmed());
    }
    m_areaName = QStringLiteral("全国");
    if (!task)
        return;

    const QString &level = task->level;
    const auto addOffice = [this](const QString &key, const QString &name) {
        m_byKey.emplace(utf8(key), int(m_offices.size()));
        m_offices << Office{key, name};
    };
    // sql lists code and name of the places, within prefix when it takes one.
    const auto addRegions = [&](const QString &sql, const QString &prefix, int length) {
        Statement st = db.prepare(sql);
        if (!prefix.isNull())
            st.bindText(1, prefix);
        while (st.next()) {
            const QString key = st.text(0).left(length);
            if (!m_byKey.contains(utf8(key)))
                addOffice(key, st.text(1).trimmed());
        }
    };
    const QString provinces = QStringLiteral("SELECT 代码, 名称 FROM province ORDER BY rowid");
    if (level == QStringLiteral("国家级汇总")) {
        m_below = Below::Provinces;
        m_prefix = 2;
        addRegions(provinces, QString(), 2);
        addOffice(kCorps, kCorps);
        for (const auto &c : kCentral)
            addOffice(QString::fromUtf8(c.name), QString::fromUtf8(c.name));
    } else if (level == QStringLiteral("省级汇总")) {
        m_below = Below::Cities;
        m_prefix = 4;
        m_area = utf8(db.scalar(QStringLiteral("SELECT 代码 FROM province WHERE 名称=?1 ORDER BY rowid LIMIT 1"),
                                {task->province})
                          .left(2));
        m_areaName = task->province;
        addRegions(QStringLiteral("SELECT 代码, 名称 FROM city WHERE substr(代码,1,2)=?1 ORDER BY rowid"),
                   QString::fromStdString(m_area), 4);
    } else if (level == QStringLiteral("地级汇总")) {
        m_below = Below::Counties;
        m_prefix = 6;
        m_area = utf8(db.scalar(QStringLiteral("SELECT 代码 FROM city WHERE 名称=?1 AND 省=?2 ORDER BY rowid LIMIT 1"),
                                {task->city, task->province})
                          .left(4));
        m_areaName = task->province + task->city;
        addRegions(QStringLiteral("SELECT 代码, 名称 FROM county WHERE substr(代码,1,4)=?1 ORDER BY rowid"),
                   QString::fromStdString(m_area), 6);
    } else if (level == QStringLiteral("县级汇总")) {
        m_area = utf8(db.scalar(
            QStringLiteral("SELECT 代码 FROM county WHERE 省=?1 AND 市=?2 AND 名称=?3 ORDER BY rowid LIMIT 1"),
            {task->province, task->city, task->county}));
        m_areaName = task->province + task->city + task->county;
    } else {
        for (const auto &c : kCentral) {
            if (level != QString::fromUtf8(c.level))
                continue;
            m_below = Below::CentralProvinces;
            m_prefix = 2;
            m_central = c.name;
            m_areaName = QString::fromUtf8(c.name);
            addRegions(provinces, QString(), 2);
        }
    }
    // A place that is not in the reference tables encloses nothing: an empty area
    // would mean everywhere.
    if (m_area.empty() && (m_below == Below::Cities || m_below == Below::Counties || level == QStringLiteral("县级汇总")))
        m_area.assign(1, '?'); // not = "?": GCC 12 at -O3 warns falsely (-Wrestrict) on that
}

int OfficeMap::byKey(std::string_view key) const
{
    const auto it = m_byKey.find(std::string(key));
    return it == m_byKey.end() ? -1 : it->second;
}

int OfficeMap::officeOf(const RecordOrigin &r) const
{
    switch (m_below) {
    case Below::None: return -1;
    case Below::Provinces:
        if (!r.central.empty())
            return byKey(r.central);
        if (r.corps == kYes)
            return byKey(utf8(kCorps));
        break;
    case Below::CentralProvinces:
        if (r.central != m_central)
            return -1;
        break;
    case Below::Cities:
    case Below::Counties: break;
    }
    if (r.code.size() < size_t(m_prefix))
        return -1;
    return byKey(r.code.substr(0, size_t(m_prefix)));
}

int OfficeMap::officeOfKey(const QString &key) const
{
    const int own = byKey(utf8(key));
    if (own >= 0 || m_prefix == 0 || key.size() <= m_prefix)
        return own;
    for (const QChar c : key)
        if (!c.isDigit())
            return -1;
    return byKey(utf8(key.left(m_prefix)));
}

bool OfficeMap::withinArea(const RecordOrigin &r) const
{
    if (!m_central.empty())
        return r.central == m_central;
    return m_area.empty() || r.code.starts_with(m_area);
}

QString OfficeMap::placeName(const QString &code) const
{
    for (const int length : {6, 4, 2}) {
        if (code.size() < length)
            continue;
        const auto it = m_places.constFind(code.left(length));
        if (it != m_places.cend())
            return *it;
    }
    return QString();
}

} // namespace kestrova::transfer
