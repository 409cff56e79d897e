// kestrova: the desktop program.
#include "app/main_window.h"
#include "app/ui/translations.h"
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
    // Only the name: a display name would be appended to every window's caption, cutting
    // message-box captions short.
    app.setApplicationName(QStringLiteral("Kestrova系统（汇总版）"));
    kestrova::ui::installChineseTranslations(app);
    kestrova::ui::registerRecordWindows();
    kestrova::ui::registerReportWindows();
    kestrova::ui::registerSummaryWindows();

    kestrova::ui::MainWindow w;
    if (!w.startUp())
        return 0;
    w.showMaximized();
    return app.exec();
}
