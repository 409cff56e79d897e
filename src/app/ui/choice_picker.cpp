#include "app/ui/choice_picker.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>

namespace kestrova::ui {

namespace {
// Keys that would pick an item by its first letters are dropped; arrows, Enter,
// Escape and Tab work as usual.
class NoTyping : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        return !k->text().isEmpty() && k->text().at(0).isPrint();
    }
};

class FocusedWheel : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (w->hasFocus())
            return false;
        event->ignore();
        return true;
    }
};

} // namespace

void keepListColours(QComboBox *picker)
{
    QAbstractItemView *view = picker->view();
    QPalette p = view->palette();
    const QPalette app = QApplication::palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Text, QPalette::Window, QPalette::WindowText,
                                     QPalette::Highlight, QPalette::HighlightedText, QPalette::Button})
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            p.setColor(group, role, app.color(group, role));
    view->setPalette(p);
}
QComboBox *choicePicker(QWidget *parent, const QString &objectName, const QString &accessibleName,
                        const QStringList &items, int width)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(objectName);
    // A picker showing a choice is read out by that choice; the caption stays in its
    // description.
    c->setAccessibleName(accessibleName);
    c->setAccessibleDescription(accessibleName);
    c->setEditable(false);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumWidth(width);
    // The list drops below the picker and scrolls, rather than covering it and the
    // screen from top to bottom as this style would draw a long list.
    c->setStyleSheet(kListBelowPicker);
    c->setMaxVisibleItems(16);
    c->addItems(items);
    c->setCurrentIndex(-1);
    c->installEventFilter(new NoTyping(c));
    keepListColours(c);
    return c;
}

void showChoice(QComboBox *picker, const QString &text)
{
    if (text.isEmpty()) {
        picker->setCurrentIndex(-1);
        return;
    }
    int i = picker->findText(text, Qt::MatchExactly);
    if (i < 0) {
        picker->addItem(text);
        i = picker->count() - 1;
    }
    picker->setCurrentIndex(i);
}

void replaceChoices(QComboBox *picker, const QStringList &items)
{
    const QString text = picker->currentText();
    {
        const QSignalBlocker quiet(picker);
        picker->clear();
        picker->addItems(items);
        picker->setCurrentIndex(-1);
    }
    const int i = text.isEmpty() ? -1 : picker->findText(text, Qt::MatchExactly);
    if (i >= 0) {
        const QSignalBlocker quiet(picker);
        picker->setCurrentIndex(i);
    } else if (!text.isEmpty()) {
        const QSignalBlocker quiet(picker);
        showChoice(picker, text);
    }
}

void wheelOnlyWhenFocused(QComboBox *picker)
{
    picker->setFocusPolicy(Qt::StrongFocus);
    picker->installEventFilter(new FocusedWheel(picker));
}

} // namespace kestrova::ui
