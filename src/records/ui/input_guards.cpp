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

enum class Accept { Nothing, Digits, Decimal };

class KeyFilter : public QObject {
public:
    KeyFilter(QObject *parent, Accept accept) : QObject(parent), m_accept(accept) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *k = static_cast<QKeyEvent *>(event);
        if (!typesSomething(k))
            return false;
        const QChar c = k->text().at(0);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            return m_accept == Accept::Nothing;
        if (c == QLatin1Char('.') && m_accept == Accept::Decimal) {
            // One decimal point, outside any selection about to be replaced.
            const auto *edit = qobject_cast<QLineEdit *>(watched);
            return !edit || edit->text().remove(edit->selectedText()).contains(QLatin1Char('.'));
        }
        return true;
    }

private:
    Accept m_accept;
};
} // namespace

void acceptDigitsOnly(QLineEdit *edit)
{
    edit->installEventFilter(new KeyFilter(edit, Accept::Digits));
}

void acceptDecimal(QLineEdit *edit)
{
    edit->installEventFilter(new KeyFilter(edit, Accept::Decimal));
}

WheelScroller::WheelScroller(QScrollArea *area) : QObject(area), m_area(area) {}

void WheelScroller::watch(QWidget *w)
{
    w->installEventFilter(this);
    for (QWidget *child : w->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool WheelScroller::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    // An open list is a window of its own: the wheel scrolls the list, not the form.
    auto *w = qobject_cast<QWidget *>(watched);
    if (w && w->window() != m_area->window())
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
