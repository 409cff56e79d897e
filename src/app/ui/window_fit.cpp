#include "app/ui/window_fit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace kestrova::ui {

namespace {
// Room left for the title bar and borders the window manager adds.
const QSize kFrameAllowance(16, 48);

QRect freeArea(const QWidget *w)
{
    QScreen *s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QPoint centred(const QRect &area, const QSize &frame)
{
    return {area.x() + std::max(0, (area.width() - frame.width()) / 2),
            area.y() + std::max(0, (area.height() - frame.height()) / 2)};
}

// Puts the window where it should be each time it is shown, and checks again once
// the window manager has framed it.
class Placer : public QObject {
public:
    Placer(QWidget *w, bool fit) : QObject(w), m_window(w), m_fit(fit) { w->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show && !(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
            place(kFrameAllowance);
            QTimer::singleShot(150, this, [this] {
                if (m_window->isVisible() && !(m_window->windowState() & Qt::WindowMaximized))
                    settle();
            });
        }
        return false;
    }

private:
    void place(const QSize &frameExtra)
    {
        const QRect area = freeArea(m_window);
        if (m_fit) {
            const QSize room = area.size() - frameExtra;
            const QSize size = m_window->size().boundedTo(room).expandedTo(m_window->minimumSize());
            if (size != m_window->size())
                m_window->resize(size);
        }
        // A window's position is that of its frame.
        m_window->move(centred(area, m_window->size() + frameExtra));
    }

    void settle()
    {
        const QRect area = freeArea(m_window);
        const QRect frame = m_window->frameGeometry();
        if (area.contains(frame))
            return;
        const QSize extra = frame.size() - m_window->size();
        if (m_fit) {
            const QSize size = m_window->size().boundedTo(area.size() - extra);
            if (size != m_window->size())
                m_window->resize(size);
        }
        m_window->move(centred(area, m_window->size() + extra));
    }

    QWidget *m_window;
    bool m_fit;
};
} // namespace

void fitToScreen(QWidget *window, QSize wanted)
{
    // Maximise only: a minimised modal window would leave the program blocked unseen.
    window->setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    window->resize(wanted);
    new Placer(window, true);
}

void centreOnScreen(QWidget *window)
{
    new Placer(window, false);
}

} // namespace kestrova::ui
