#include "reports/ui/report_windows.h"

namespace kestrova::ui {
void registerReportWindows()
{
}
} // namespace kestrova::ui
