#include "app/ui/window_log.h"

#include <QWidget>

namespace kestrova::ui {

Q_LOGGING_CATEGORY(windowLog, "kestrova.windows", QtWarningMsg)

void logShown(const QWidget *window)
{
    qCInfo(windowLog).noquote() << "shown" << window->objectName() << window->windowTitle();
}

} // namespace kestrova::ui
