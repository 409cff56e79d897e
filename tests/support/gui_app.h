#pragma once
// The one QApplication of a GUI test binary, on the offscreen platform.
#include <QApplication>

namespace kestrova::test {

// Made on first use and deliberately never destroyed: tearing it down at exit, after
// windows were shown, runs into Qt's own already-destroyed globals.
inline QApplication &guiApp()
{
    static int argc = 1;
    static char name[] = "kestrova_tests";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

} // namespace kestrova::test
