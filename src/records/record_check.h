#pragma once
// 全部校验: the plausibility rules of the entry form run over every stored record at
// once, so an office finds the records an import brought in or an earlier version let
// through. The check only reads; 校验状态 stays as the records hold it.
#include "records/record_validation.h"

#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace kestrova {

class Database;

// One rule one record fails.
struct CheckFailure {
    qint64 id = 0;
    QString name;      // 企业名称
    QString region;    // 省 + 地市 + 县
    RuleFailure failure; // rule 0: a stored indicator that is not a number
    QString values;    // "空地面积=12；占地面积=10", the values the rule compared
};

struct CheckResult {
    int records = 0;          // records looked at
    int failingRecords = 0;   // records failing at least one rule
    std::vector<CheckFailure> failures; // by record (ID order), then in rule order
    std::map<int, int> recordsPerRule;  // rule -> records failing it
};

// Every rule every record fails. A record's first failure is the one the entry form
// would refuse its save with. Throws DbError when the records cannot be read.
CheckResult checkAllRecords(Database &db);

// "规则2：3 个记录" … for every rule that some record fails, in rule order.
QStringList ruleCountLines(const CheckResult &result);
// "规则2" for rules 1 … 25, "非数字" for a field that does not hold a number.
QString ruleLabel(int rule);
// The one-line summary: how many records were checked and failed, and the counts.
QString checkSummary(const CheckResult &result);

} // namespace kestrova
