// kestrova: the desktop program.
#include "app/main_window.h"
#include "app/ui/translations.h"
#include "app/ui/window_log.h"
#include "data/app_home.h"
#include "records/ui/record_windows.h"
#include "reports/summary/ui/summary_windows.h"
#include "reports/ui/report_windows.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString home = kestrova::takeHomeOption(args);
    kestrova::setApplicationDirectory(home, QCoreApplication::applicationDirPath());
    // The user's data folder is made on the first start; a --home folder must exist already.
    // Should making it fail, start-up reports the missing folder.
    if (home.isEmpty())
        kestrova::makeApplicationDirectory();
    // Only the name: a display name would be appended to every window's caption, cutting
    // message-box captions short.
    app.setApplicationName(QStringLiteral("Kestrova系统（汇总版）"));
    // Lets the desktop match the windows with the installed menu entry and its icon.
    app.setDesktopFileName(QStringLiteral("org.kestrova.Kestrova"));
    kestrova::ui::installChineseTranslations(app);
    kestrova::ui::registerRecordWindows();
    kestrova::ui::registerReportWindows();
    kestrova::ui::registerSummaryWindows();

    kestrova::ui::MainWindow w;
    if (!w.startUp())
        return 0;
    w.showMaximized();
    kestrova::ui::logShown(&w);
    return app.exec();
}
