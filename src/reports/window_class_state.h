#pragma once
// What a report window class remembers from one opening to the next: the variant
// filter chosen by the last known title, and the highlighted row.
#include "reports/report_definition.h"

namespace kestrova::reports {

struct WindowClassState {
    Variant variant = Variant::ByRegion; // ByRegion: no filter
    int highlightedRow = 0;
};

// The state of one window class, kept for the life of the process.
WindowClassState &windowClassState(const QString &className);
// Forgets every class's state (a fresh process, for tests).
void resetWindowClassStates();

} // namespace kestrova::reports
