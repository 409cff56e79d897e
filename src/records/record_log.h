#pragma once
// Reading back the modification log of one enterprise: every change the entry form
// logged for it, newest first.
#include <QString>

#include <vector>

namespace kestrova {

class Database;

struct LogEntry {
    QString column;   // 修改项目
    QString oldValue; // 原值
    QString newValue; // 新值
    QString time;     // 修改时间, as logged
};

// The rows of 修改日志 logged under the enterprise's name, or under its organisation
// code when it has one (so a renamed enterprise keeps its history), newest first. The
// log's times are text without leading zeros ("2014-03-05 9:05:07"), so they are read
// as times, not compared as text; rows logged in the same second keep their order of
// writing, last first. Throws DbError.
std::vector<LogEntry> recordLog(Database &db, const QString &name, const QString &orgCode);

} // namespace kestrova
