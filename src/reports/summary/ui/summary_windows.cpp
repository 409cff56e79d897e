#include "reports/summary/ui/summary_windows.h"

#include "app/ui/window_registry.h"
#include "reports/summary/ui/tfrm_gather_list.h"

namespace kestrova::ui {

void registerSummaryWindows()
{
    registerWindowClass(QStringLiteral("TFrmGatherList"), [](QWidget *parent) { return new TFrmGatherList(parent); });
}

} // namespace kestrova::ui
