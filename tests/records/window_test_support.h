#pragma once
// Common ground of the window tests: a fresh store, a scripted prompter, and a modal
// runner that records the windows opened instead of blocking in them.
#include "app/ui/modal.h"
#include "record_test_support.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>

#include <gtest/gtest.h>

namespace kestrova::test {

class WindowTest : public ::testing::Test {
protected:
    TempStore store;
    Database &db = *store.db;
    ScriptedPrompter prompter;
    QList<QPointer<QDialog>> opened;
    std::function<void(QDialog *)> onOpen;

    WindowTest()
    {
        ui::setModalRunner([this](QDialog *d) {
            opened << d;
            if (onOpen)
                onOpen(d);
            return int(QDialog::Rejected);
        });
    }
    ~WindowTest() override { ui::setModalRunner({}); }

    QStringList openedClasses() const
    {
        QStringList out;
        for (const auto &d : opened)
            out << (d ? d->objectName() : QStringLiteral("(gone)"));
        return out;
    }

    template <typename T> static T *child(QWidget *w, const char *name)
    {
        T *c = w->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
};

// Types text into a widget key by key, as the keyboard would.
inline void typeInto(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        const int key = c.toUpper().unicode();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}


} // namespace kestrova::test
