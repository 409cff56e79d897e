#include "reports/ui/report_windows.h"

#include "app/ui/window_registry.h"
#include "reports/report_catalogue.h"
#include "reports/ui/all_reports_command.h"
#include "reports/ui/report_window.h"

namespace kestrova::ui {
void registerReportWindows()
{
    for (const auto &def : reports::reportCatalogue()) {
        const reports::ReportDefinition *d = &def;
        registerWindowClass(def.className, [d](QWidget *parent) { return new ReportWindow(*d, parent); });
    }
    // 全部报表 is a command with dialogs of its own, not a window that stays.
    registerWindowClass(QString::fromLatin1(kAllReportsClass), [](QWidget *parent) -> QDialog * {
        allReportsCommand(parent);
        return nullptr;
    });
}
} // namespace kestrova::ui
