// kestrova: the desktop program.
#include "records/ui/record_windows.h"
#include "reports/ui/report_windows.h"
#include "data/app_home.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    kestrova::setApplicationDirectory(kestrova::takeHomeOption(args), QCoreApplication::applicationDirPath());
    const QString title = QStringLiteral("Kestrova系统（汇总版）");
    app.setApplicationDisplayName(title);
    kestrova::ui::registerRecordWindows();
    kestrova::ui::registerReportWindows();
    QMainWindow w;
    w.setObjectName(QStringLiteral("TFrmmain"));
    w.setWindowTitle(title);
    w.showMaximized();
    return app.exec();
}
