#pragma once
// Report windows by class name ("TFrmb1_1_1" … "TFrmb8_2"). The menu stores the report
// title in the context and asks here for the window class; report libraries register
// their classes at start-up through registerReportWindows() of their own.
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

namespace kestrova::ui {

using WindowFactory = std::function<QDialog *(QWidget *parent)>;

void registerWindowClass(const QString &className, WindowFactory factory);
bool hasWindowClass(const QString &className);
// A new window of the class, or nullptr when the class is not registered. The new
// window becomes the class's window reference, replacing the previous one.
QDialog *createWindow(const QString &className, QWidget *parent);
// The window last created for the class (by createWindow or noteWindow), or nullptr
// when none was made or it has been destroyed since.
QDialog *windowReference(const QString &className);
// Makes a window created some other way the reference of its class.
void noteWindow(const QString &className, QDialog *window);
QStringList registeredWindowClasses();

} // namespace kestrova::ui
