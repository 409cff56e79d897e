#include "app/ui/window_registry.h"

#include <QMap>

namespace kestrova::ui {

namespace {
QMap<QString, WindowFactory> &registry()
{
    static QMap<QString, WindowFactory> r;
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
    return it == registry().constEnd() ? nullptr : (*it)(parent);
}

QStringList registeredWindowClasses()
{
    return registry().keys();
}

} // namespace kestrova::ui
