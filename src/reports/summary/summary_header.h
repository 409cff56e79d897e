#pragma once
// The header values the annual summary starts with.
#include <QDate>
#include <QString>

namespace kestrova {

class Database;

// f2 of the first userinfo row; empty without one.
QString tabulatingUnit(Database &db);
// 2014年3月5日: year, month and day without leading zeros.
QString tabulationDate(const QDate &d);
// 年份 of the task record; empty without one.
QString summaryYear(Database &db);

} // namespace kestrova
