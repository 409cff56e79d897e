#pragma once
// The annual summary's tree of regions and categories with the number of records
// under each node. The window grows the lower levels as nodes are first clicked.
#include "reports/summary/summary_selection.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kestrova {

class Database;

enum class NodeKind {
    Country,            // 国家
    Local,              // 地方企业
    Central,            // 中央单位
    Province,           // a province under 地方企业
    Corps,              // 新疆兵团
    City,
    County,
    Enterprise,         // a central enterprise
    EnterpriseProvince, // a province under a central enterprise
};

struct SummaryNode {
    NodeKind kind = NodeKind::Country;
    QStringList path; // names below 国家, this node's last
    qint64 count = 0;

    QString name() const { return path.isEmpty() ? kCountryNode : path.last(); }
    // The name immediately followed by "(" + count + ")".
    QString text() const;
    // Provinces under 地方企业, cities and central enterprises get children on demand.
    bool growsChildren() const;
    SummarySelection selection() const { return selectionForPath(path); }
};

struct SummaryTreeItem {
    SummaryNode node;
    std::vector<SummaryTreeItem> children;
};

// 国家, its two categories and their children (levels 0 to 2), each with its count.
SummaryTreeItem openingTree(Database &db);
// The children a node gets on its first click, with their counts; empty for the others.
std::vector<SummaryNode> childNodes(Database &db, const SummaryNode &parent);

// The node of a path of names joined by "/" ("" or "国家" for the root, which may also
// lead the path), or nothing when no node of the tree has that path.
std::optional<SummaryNode> findNode(Database &db, const QString &path);

// The name of a node from its text: the text before the first "(".
QString nodeNameFromText(const QString &text);

} // namespace kestrova
