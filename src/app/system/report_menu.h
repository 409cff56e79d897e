#pragma once
// The report entries of the 统计报表 menu as plain data: where each entry sits, its
// caption, the report title it hands over and the window class that shows it.
// The desktop menu, the report windows and kestrova-cli all read this one table.
#include <QString>
#include <QStringList>

#include <vector>

namespace kestrova {

struct ReportMenuEntry {
    QString group;     // "第二部分 仓容罐容"
    QString subGroup;  // "表2-1 总仓容汇总表"; empty when the entry sits directly in the group
    QString caption;   // menu caption, kept exactly (double spaces, trailing spaces)
    QString title;     // report title stored in the context before the window is made
    QString className; // "TFrmb2_1_2"
    int position = 0;  // position inside its group or sub-group, from 0
    // Breakdown tables (every entry after the first of its list) are hidden for county offices.
    bool isBreakdown() const { return position > 0; }
};

// All 94 report entries in menu order.
const std::vector<ReportMenuEntry> &reportMenuEntries();
// The groups of 统计报表 in order, and the sub-groups of one group (empty for 第五部分 on).
QStringList reportMenuGroups();
QStringList reportMenuSubGroups(const QString &group);
// The entry with this report title, or nullptr.
const ReportMenuEntry *reportEntryByTitle(const QString &title);

// The report titles of the entries the menu offers an office of this level, in menu
// order: every one, or the national summary tables alone for a county office.
QStringList offeredReportTitles(const QString &level);

// The closing entry of 统计报表, which is not a report hand-over.
inline const QString kGatherListCaption = QStringLiteral("统计年报汇总表");

} // namespace kestrova
