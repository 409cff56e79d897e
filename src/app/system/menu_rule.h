#pragma once
// Which menus the main window offers, from the task record alone.
#include <QString>

namespace kestrova {

struct MenuRule {
    bool workMenus = false;        // 数据维护, 统计报表, 数据传输, 系统设置
    bool breakdownReports = false; // the breakdown entries of 统计报表
};

// Without a task record only 任务管理, 帮助 and 退出 remain. A county office sees the
// national summary tables only; the level is compared exactly, so any other text
// (an empty one included) shows every report.
inline MenuRule menuRuleFor(bool hasTask, const QString &level)
{
    if (!hasTask)
        return {};
    return {true, level != QStringLiteral("县级汇总")};
}

} // namespace kestrova
