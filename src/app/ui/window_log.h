#pragma once
// Which windows the program showed, so a start without a display can be checked from
// outside: QT_LOGGING_RULES="kestrova.windows.info=true" writes a line such as
// `kestrova.windows: shown TFrmusers 登录信息` on stderr for each one. Silent unless enabled.
#include <QLoggingCategory>

class QWidget;

namespace kestrova::ui {

Q_DECLARE_LOGGING_CATEGORY(windowLog)

void logShown(const QWidget *window);

} // namespace kestrova::ui
