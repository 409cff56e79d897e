#pragma once
// The plausibility rules a record must pass to be saved as validated (校验状态 "1").
#include "records/record_fields.h"

#include <optional>

namespace kestrova {

struct RuleFailure {
    int rule = 0;     // 1..25; 0 when a field does not hold a number
    QString message;  // shown to the user
    QString focus;    // object name of the field to correct
};

// The first rule that fails, or nothing when the record passes every rule. Empty
// indicator texts count as 0. Pure: reads only its arguments.
std::optional<RuleFailure> validateRecord(const QString &postcode, const IndicatorTexts &fields);

// The message for an indicator field whose text is not a number.
QString notANumberMessage(int k, const QString &text);
// The message for one whose number has more significant digits than can be kept.
QString tooManyDigitsMessage(int k, const QString &text);

} // namespace kestrova
