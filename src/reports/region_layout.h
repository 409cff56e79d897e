#pragma once
// The region rows of a breakdown table at the national level: three zones, each a
// subtotal row followed by its provinces; the production corps closes the third zone.
#include <QString>

#include <array>

namespace kestrova::reports {

struct RegionRow {
    const char *label;  // exact, with its leading and inner blanks
    const char *code;   // two-digit province prefix; "" for a zone row or the corps row
    bool zone = false;
};

inline constexpr int kRegionRowCount = 35;
inline constexpr int kCorpsRowOffset = 34;
inline constexpr std::array<int, 3> kZoneOffsets{0, 14, 22};
inline constexpr std::array<int, 3> kZoneEnds{13, 21, 34}; // last member row of each zone

extern const std::array<RegionRow, kRegionRowCount> kRegionRows;

// Offset of the province row for a two-digit code, or -1 when it is not one of the 31.
int regionRowOfCode(const QString &code);

} // namespace kestrova::reports
