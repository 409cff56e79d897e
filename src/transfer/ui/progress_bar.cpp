#include "transfer/ui/progress_bar.h"

#include <QProgressBar>

namespace kestrova::ui {

BarProgress::BarProgress(QProgressBar *bar) : m_bar(bar)
{
    if (!m_bar)
        return;
    m_bar->setValue(0);
    m_bar->show();
    m_bar->repaint();
}

BarProgress::~BarProgress()
{
    if (m_bar)
        m_bar->hide();
}

void BarProgress::setMaximum(int maximum)
{
    m_max = maximum;
    m_shownPercent = -1;
    if (m_bar)
        m_bar->setMaximum(maximum);
}

void BarProgress::setValue(int value)
{
    if (!m_bar)
        return;
    // Setting and repainting the bar for each of tens of thousands of rows would cost
    // more than the work; it changes when the percentage does.
    const int percent = m_max > 0 ? int(qint64(value) * 100 / m_max) : 100;
    if (percent != m_shownPercent) {
        m_shownPercent = percent;
        m_bar->setValue(value);
        m_bar->repaint();
    }
}

} // namespace kestrova::ui
