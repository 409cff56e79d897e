#pragma once
// What the shell's tests share: a QApplication, a scripted modal runner, menu look-ups.
#include "app/ui/modal.h"
#include "support/gui_app.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include <deque>
#include <functional>

namespace kestrova::test {

inline QApplication &app()
{
    return guiApp();
}

// Answers the modal windows in the order they appear: each step is handed the window,
// shown as exec() would show it, and returns when it has worked it. The runner reports
// the result the window ended with. With no step left a window is rejected.
class ModalScript {
public:
    using Step = std::function<void(QDialog *)>;
    ModalScript()
    {
        ui::setModalRunner([this](QDialog *d) {
            shown << d->objectName();
            d->setResult(QDialog::Rejected);
            d->show();
            if (steps.empty()) {
                d->reject();
            } else {
                Step step = std::move(steps.front());
                steps.pop_front();
                step(d);
            }
            d->hide();
            return d->result();
        });
    }
    ~ModalScript() { ui::setModalRunner({}); }
    std::deque<Step> steps;
    QStringList shown; // objectNames of the windows shown, in order
};

// The action reached by following captions from the menu bar, or nullptr.
inline QAction *menuAction(QMenuBar *bar, const QStringList &path)
{
    QList<QAction *> actions = bar->actions();
    QAction *found = nullptr;
    for (const QString &caption : path) {
        found = nullptr;
        for (QAction *a : actions)
            if (a->text() == caption)
                found = a;
        if (!found)
            return nullptr;
        actions = found->menu() ? found->menu()->actions() : QList<QAction *>{};
    }
    return found;
}

template <typename T>
T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QString::fromLatin1(name));
}

} // namespace kestrova::test
