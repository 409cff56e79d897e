#include "records/ui/input_guards.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace kestrova::ui {

namespace {
bool typesSomething(const QKeyEvent *e)
{
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString t = e->text();
    return !t.isEmpty() && t.at(0).isPrint();
}

class KeyFilter : public QObject {
public:
    KeyFilter(QObject *parent, bool digits) : QObject(parent), m_digits(digits) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        if (!typesSomething(k))
            return false;
        if (m_digits) {
            const QChar c = k->text().at(0);
            return !(c >= QLatin1Char('0') && c <= QLatin1Char('9'));
        }
        return true;
    }

private:
    bool m_digits;
};
} // namespace

void acceptDigitsOnly(QLineEdit *edit)
{
    edit->installEventFilter(new KeyFilter(edit, true));
}

void refuseTyping(QComboBox *picker)
{
    picker->installEventFilter(new KeyFilter(picker, false));
    if (picker->lineEdit())
        picker->lineEdit()->installEventFilter(new KeyFilter(picker->lineEdit(), false));
}

WheelScroller::WheelScroller(QScrollArea *area) : QObject(area), m_area(area) {}

void WheelScroller::watch(QWidget *w)
{
    w->installEventFilter(this);
    for (QWidget *child : w->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool WheelScroller::eventFilter(QObject *, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    const auto *wheel = static_cast<QWheelEvent *>(event);
    m_pendingDelta += wheel->angleDelta().y();
    const int steps = m_pendingDelta / 120;
    m_pendingDelta -= steps * 120;
    QScrollBar *bar = m_area->verticalScrollBar();
    bar->setValue(bar->value() - steps * kWheelStep);
    return true;
}

} // namespace kestrova::ui
