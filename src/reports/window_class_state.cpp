#include "reports/window_class_state.h"

#include <QHash>

namespace kestrova::reports {

namespace {
QHash<QString, WindowClassState> &states()
{
    static QHash<QString, WindowClassState> s;
    return s;
}
} // namespace

WindowClassState &windowClassState(const QString &className)
{
    return states()[className];
}

void resetWindowClassStates()
{
    states().clear();
}

} // namespace kestrova::reports
