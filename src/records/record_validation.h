#pragma once
// The plausibility rules a record must pass to be saved as validated (校验状态 "1").
#include "records/record_fields.h"

#include <QList>

#include <optional>

namespace kestrova {

#include <vector>

struct RuleFailure {
    int rule = 0;     // 1..25; 0 when a field does not hold a number
    QString message;  // shown to the user
    QString focus;    // object name of the field to correct
    QList<int> fields; // the indicators the rule compares (none for the postcode)
};

// The indicator values by field number: [k] is field k, [0] unused.
using IndicatorValues = std::array<double, kIndicatorCount + 1>;

// The first rule that fails, or nothing when the record passes every rule. Empty
// indicator texts count as 0. Pure: reads only its arguments.
std::optional<RuleFailure> validateRecord(const QString &postcode, const IndicatorTexts &fields);

// Rules 1 … 25 over numbers already read, in the order the entry form tests them:
// every rule that fails, or only the first one when firstOnly is set.
std::vector<RuleFailure> failedRules(const QString &postcode, const IndicatorValues &values, bool firstOnly = false);

inline constexpr int kRuleCount = 25;
// The message of rule n (1 … 25).
QString ruleMessage(int n);

// The message for an indicator field whose text is not a number.
QString notANumberMessage(int k, const QString &text);
// The message for one whose number has more significant digits than can be kept.
QString tooManyDigitsMessage(int k, const QString &text);

} // namespace kestrova
