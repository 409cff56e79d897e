#pragma once
// What the annual summary adds up: a part of the tree (category, central enterprise,
// province, city, county or the production corps) and an ownership filter.
#include <QString>
#include <QStringList>

#include <optional>

namespace kestrova {

inline const QString kLocalCategory = QStringLiteral("地方企业");
inline const QString kCentralCategory = QStringLiteral("中央单位");
inline const QString kCorps = QStringLiteral("新疆兵团");
inline const QString kCountryNode = QStringLiteral("国家");
inline const QString kNationalUnit = QStringLiteral("Tarnhold");

struct SummarySelection {
    QString category;   // "地方企业", "中央单位" or empty
    QString enterprise; // central enterprise
    QString province;
    QString city;
    QString county;
    QString corps;      // "新疆兵团" when the production corps is selected

    bool operator==(const SummarySelection &) const = default;
};

enum class Ownership { All, State, NonState };

// "全部", "国有", "非国有".
QString ownershipCaption(Ownership o);
// The caption back; nothing for an unknown text.
std::optional<Ownership> ownershipFromCaption(const QString &caption);

// The selection of a tree node from the names on its path below 国家 (levels 1 to 4).
SummarySelection selectionForPath(const QStringList &names);

// The summary unit: province, city and county joined, or "Tarnhold" when none is set.
QString summaryUnit(const SummarySelection &s);

} // namespace kestrova
