// kestrova: the desktop program.
#include "app/main_window.h"
#include "data/app_home.h"
#include "records/ui/record_windows.h"
#include "reports/summary/ui/summary_windows.h"
#include "reports/ui/report_windows.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    kestrova::setApplicationDirectory(kestrova::takeHomeOption(args), QCoreApplication::applicationDirPath());
    const QString title = QStringLiteral("Kestrova系统（汇总版）");
    app.setApplicationDisplayName(title);
    app.setApplicationName(title);
    kestrova::ui::registerRecordWindows();
    kestrova::ui::registerReportWindows();
    kestrova::ui::registerSummaryWindows();

    kestrova::ui::MainWindow w;
    if (!w.startUp())
        return 0;
    w.showMaximized();
    return app.exec();
}
