#pragma once
// The 72 numeric indicators of an enterprise record, in indicator order. Everything
// that lists indicators (schema, entry form, annual summary, printed return, upload
// workbook, help) derives from this one catalogue.
#include <array>
#include <string_view>

namespace kestrova {

struct Indicator {
    int k;                   // 1..72: field number on the form, alias a<k> in sums
    std::string_view column; // column name in TZ_XIANGMU (position k + 17)
    std::string_view group;  // labels above the caption, outermost first, joined by '/'
    std::string_view caption;
    std::string_view unit;
    std::string_view hint;   // shown beside the field on the form, mostly empty
};

inline constexpr int kIndicatorCount = 72;
extern const std::array<Indicator, kIndicatorCount> kIndicators;

// The form's three blocks: 1-22, 23-54, 55-72.
std::string_view indicatorBlock(int k);
// Indicators whose value the form computes as a sum of others (13, 17, 23).
bool isComputedTotal(int k);
// The indicators a computed total sums, e.g. 13 -> {14, 15, 16}; empty for others.
std::array<int, 6> totalParts(int k, int &count);

const Indicator &indicator(int k); // 1-based
int indicatorByColumn(std::string_view column); // k, or 0 when not an indicator

} // namespace kestrova
