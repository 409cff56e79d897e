#include "reports/summary/summary_tree.h"

#include "data/database.h"

#include <QHash>

namespace kestrova {

namespace {

const QStringList &centralEnterprises()
{
    static const QStringList names{QStringLiteral("中国储备粮管理总公司"), QStringLiteral("中粮集团有限责任公司"),
                                   QStringLiteral("中国中纺集团公司")};
    return names;
}

QStringList names(Database &db, const QString &sql, const QVariantList &params = {})
{
    Statement st = db.prepare(sql);
    for (int i = 0; i < params.size(); ++i)
        st.bind(i + 1, params[i]);
    QStringList out;
    while (st.next())
        out << st.text(QStringLiteral("名称"));
    return out;
}

// Counts by the value of one column, from one grouped pass over the records.
QHash<QString, qint64> countsBy(Database &db, const QString &column, const QString &where, const QVariantList &params)
{
    Statement st = db.prepare(QStringLiteral("select \"%1\", count(*) from TZ_XIANGMU where %2 group by 1").arg(column, where));
    for (int i = 0; i < params.size(); ++i)
        st.bind(i + 1, params[i]);
    QHash<QString, qint64> out;
    while (st.next())
        out.insert(st.text(0), qint64(st.number(1)));
    return out;
}

std::vector<SummaryNode> namedChildren(const SummaryNode &parent, NodeKind kind, const QStringList &childNames,
                                       const QHash<QString, qint64> &counts)
{
    std::vector<SummaryNode> out;
    out.reserve(size_t(childNames.size()));
    for (const QString &n : childNames)
        out.push_back({kind, parent.path + QStringList{n}, counts.value(n)});
    return out;
}

struct GroupKey {
    QString enterprise, corps, province;
    bool operator==(const GroupKey &) const = default;
};
size_t qHash(const GroupKey &k, size_t seed = 0)
{
    return qHashMulti(seed, k.enterprise, k.corps, k.province);
}

QStringList provinces(Database &db)
{
    return names(db, QStringLiteral("select * from province order by rowid"));
}

} // namespace

QString SummaryNode::text() const
{
    return name() + QLatin1Char('(') + QString::number(count) + QLatin1Char(')');
}

bool SummaryNode::growsChildren() const
{
    return kind == NodeKind::Province || kind == NodeKind::City || kind == NodeKind::Enterprise;
}

QString nodeNameFromText(const QString &text)
{
    const qsizetype open = text.indexOf(QLatin1Char('('));
    return open < 0 ? text : text.left(open);
}

SummaryTreeItem openingTree(Database &db)
{
    // One pass over three columns gives every count of levels 0 to 2; each is the sum
    // of the groups that match that node's condition. Counting here rather than with
    // GROUP BY spares the database a sort of every record.
    QHash<GroupKey, qint64> counted;
    {
        Statement st = db.prepare(QStringLiteral("select 央企名称, 新疆兵团, 省 from TZ_XIANGMU"));
        while (st.next())
            ++counted[GroupKey{st.text(0), st.text(1), st.text(2)}];
    }
    qint64 all = 0, local = 0, central = 0, corps = 0;
    QHash<QString, qint64> byProvince, byEnterprise;
    for (auto it = counted.cbegin(); it != counted.cend(); ++it) {
        const GroupKey &g = it.key();
        const qint64 n = it.value();
        all += n;
        if (g.enterprise.isEmpty()) {
            local += n;
            if (g.corps == QStringLiteral("否"))
                byProvince[g.province] += n;
        } else {
            central += n;
            byEnterprise[g.enterprise] += n;
        }
        if (g.corps == QStringLiteral("是"))
            corps += n;
    }

    SummaryTreeItem root{{NodeKind::Country, {}, all}, {}};
    SummaryTreeItem localItem{{NodeKind::Local, {kLocalCategory}, local}, {}};
    for (SummaryNode &n : namedChildren(localItem.node, NodeKind::Province, provinces(db), byProvince))
        localItem.children.push_back({std::move(n), {}});
    localItem.children.push_back({{NodeKind::Corps, {kLocalCategory, kCorps}, corps}, {}});
    SummaryTreeItem centralItem{{NodeKind::Central, {kCentralCategory}, central}, {}};
    for (SummaryNode &n : namedChildren(centralItem.node, NodeKind::Enterprise, centralEnterprises(), byEnterprise))
        centralItem.children.push_back({std::move(n), {}});
    root.children.push_back(std::move(localItem));
    root.children.push_back(std::move(centralItem));
    return root;
}

std::vector<SummaryNode> childNodes(Database &db, const SummaryNode &parent)
{
    const QStringList &p = parent.path;
    switch (parent.kind) {
    case NodeKind::Province: {
        const auto counts = countsBy(db, QStringLiteral("地市"),
                                     QStringLiteral("央企名称=? and 新疆兵团=? and 省=?"),
                                     {QString(), QStringLiteral("否"), p[1]});
        return namedChildren(parent, NodeKind::City,
                             names(db, QStringLiteral("select * from city where 省=? order by rowid"), {p[1]}), counts);
    }
    case NodeKind::City: {
        // Unlike provinces and cities, a county counts corps records too.
        const auto counts = countsBy(db, QStringLiteral("县"), QStringLiteral("央企名称=? and 省=? and 地市=?"),
                                     {QString(), p[1], p[2]});
        return namedChildren(
            parent, NodeKind::County,
            names(db, QStringLiteral("select * from county where (市=?) and (省=?) order by rowid"), {p[2], p[1]}),
            counts);
    }
    case NodeKind::Enterprise: {
        const auto counts = countsBy(db, QStringLiteral("省"), QStringLiteral("央企名称=?"), {p[1]});
        return namedChildren(parent, NodeKind::EnterpriseProvince, provinces(db), counts);
    }
    default:
        return {};
    }
}

std::optional<SummaryNode> findNode(Database &db, const QString &path)
{
    QStringList wanted = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!wanted.isEmpty() && wanted.front() == kCountryNode)
        wanted.removeFirst(); // the root may be named or left out
    const SummaryTreeItem root = openingTree(db);
    if (wanted.isEmpty())
        return root.node;
    std::vector<SummaryNode> level;
    for (const SummaryTreeItem &c : root.children)
        level.push_back(c.node);
    std::optional<SummaryNode> found;
    for (qsizetype depth = 0; depth < wanted.size(); ++depth) {
        found.reset();
        for (const SummaryNode &n : level)
            if (n.name() == wanted[depth]) {
                found = n;
                break;
            }
        if (!found)
            return std::nullopt;
        if (depth + 1 == wanted.size())
            break;
        level.clear();
        if (depth == 0) {
            for (const SummaryTreeItem &c : root.children)
                if (c.node.path == found->path)
                    for (const SummaryTreeItem &cc : c.children)
                        level.push_back(cc.node);
        } else {
            level = childNodes(db, *found);
        }
    }
    return found;
}

} // namespace kestrova
