#include "reports/summary/summary_selection.h"

namespace kestrova {

QString ownershipCaption(Ownership o)
{
    switch (o) {
    case Ownership::State:
        return QStringLiteral("国有");
    case Ownership::NonState:
        return QStringLiteral("非国有");
    case Ownership::All:
        break;
    }
    return QStringLiteral("全部");
}

std::optional<Ownership> ownershipFromCaption(const QString &caption)
{
    for (Ownership o : {Ownership::All, Ownership::State, Ownership::NonState})
        if (ownershipCaption(o) == caption)
            return o;
    return std::nullopt;
}

SummarySelection selectionForPath(const QStringList &names)
{
    SummarySelection s;
    if (names.isEmpty())
        return s;
    const bool central = names[0] == kCentralCategory;
    switch (names.size()) {
    case 1:
        s.category = names[0];
        break;
    case 2:
        if (central) {
            s.category = kCentralCategory;
            s.enterprise = names[1];
        } else {
            s.category = kLocalCategory;
            if (names[1] == kCorps)
                s.corps = kCorps;
            else
                s.province = names[1];
        }
        break;
    case 3:
        if (central) {
            s.category = kCentralCategory;
            s.enterprise = names[1];
            s.province = names[2];
        } else {
            s.category = kLocalCategory;
            s.province = names[1];
            s.city = names[2];
        }
        break;
    default:
        s.category = kLocalCategory;
        s.province = names[1];
        s.city = names[2];
        s.county = names[3];
        break;
    }
    return s;
}

QString summaryUnit(const SummarySelection &s)
{
    const QString joined = s.province + s.city + s.county;
    return joined.isEmpty() ? kNationalUnit : joined;
}

} // namespace kestrova
