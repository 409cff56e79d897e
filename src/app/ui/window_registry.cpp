#include "app/ui/window_registry.h"

#include <QDialog>
#include <QMap>
#include <QPointer>

namespace kestrova::ui {

namespace {
QMap<QString, WindowFactory> &registry()
{
    static QMap<QString, WindowFactory> r;
    return r;
}

QMap<QString, QPointer<QDialog>> &references()
{
    static QMap<QString, QPointer<QDialog>> r;
    return r;
}
} // namespace

void registerWindowClass(const QString &className, WindowFactory factory)
{
    registry().insert(className, std::move(factory));
}

bool hasWindowClass(const QString &className)
{
    return registry().contains(className);
}

QDialog *createWindow(const QString &className, QWidget *parent)
{
    const auto it = registry().constFind(className);
    if (it == registry().constEnd())
        return nullptr;
    QDialog *window = (*it)(parent);
    noteWindow(className, window);
    return window;
}

QDialog *windowReference(const QString &className)
{
    return references().value(className).data();
}

void noteWindow(const QString &className, QDialog *window)
{
    if (window)
        references().insert(className, window);
}

QStringList registeredWindowClasses()
{
    return registry().keys();
}

} // namespace kestrova::ui
