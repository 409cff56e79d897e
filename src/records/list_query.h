#pragma once
// The enterprise list: its rows, its search filters and its two deletions.
#include "records/sql_condition.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kestrova {

class Database;

struct ListRow {
    qint64 id = 0;
    QString ownership; // 企业性质
    QString province;  // 省
    QString business;  // 经营范围
    QString name;      // 企业名称
    bool validated = false; // 校验状态 "1"
};

struct ListFilter {
    QString province;    // ComboBox1
    QString ownership;   // ComboBox2
    QString business;    // ComboBox3
    QString name;        // Edit1
    QString capacityFrom; // Edit2, untrimmed
    QString capacityTo;   // Edit3, untrimmed
    QString affiliation; // Edit4
};

struct ListCondition {
    SqlCondition condition;
    QString error; // a bound that is not a number, or a range from more to less; empty when good
};

// The search condition, filters in the list's order; text filters match parts of values.
ListCondition listCondition(const ListFilter &filter);

// Every record meeting the condition, newest 修改时间 first.
std::vector<ListRow> listRows(Database &db, const SqlCondition &condition = {});
// The provinces the records name, for the province filter, in the order of
// "group by 省".
QStringList recordProvinces(Database &db);
// The same, from rows already read without a condition (saves a second pass).
QStringList provincesOf(const std::vector<ListRow> &rows);
// Deletes every record of that name; returns how many went.
int deleteRecordsNamed(Database &db, const QString &name);
// Deletes the records without a name (empty or null).
int deleteNamelessRecords(Database &db);

} // namespace kestrova
