#pragma once
// The main window's progress bar as the transfers' Progress: shown at 0 while a
// transfer works, hidden when it ends however it ends.
#include "transfer/progress.h"

class QProgressBar;

namespace kestrova::ui {

class BarProgress : public transfer::Progress {
public:
    explicit BarProgress(QProgressBar *bar); // bar may be null
    ~BarProgress() override;                 // hides the bar
    BarProgress(const BarProgress &) = delete;
    BarProgress &operator=(const BarProgress &) = delete;

    void setMaximum(int maximum) override;
    void setValue(int value) override;

private:
    QProgressBar *m_bar;
    int m_max = 100;
    int m_shownPercent = -1;
};

} // namespace kestrova::ui
