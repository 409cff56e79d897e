#pragma once
// Keyboard and wheel rules shared by the record windows.
#include <QObject>

class QLineEdit;
class QScrollArea;

namespace kestrova::ui {

// Lets through only digits, backspace and Enter (and keys that type nothing, and
// shortcuts such as Ctrl+V).
void acceptDigitsOnly(QLineEdit *edit);
// The same with one decimal point, for bounds such as 12.5.
void acceptDecimal(QLineEdit *edit);

// Wheel over any widget of the area scrolls the area by 25 pixels a step and never
// reaches a picker, so a focused picker keeps its choice.
class WheelScroller : public QObject {
public:
    explicit WheelScroller(QScrollArea *area);
    // Watches w and every child it has now.
    void watch(QWidget *w);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QScrollArea *m_area;
    int m_pendingDelta = 0;
};

inline constexpr int kWheelStep = 25;

} // namespace kestrova::ui
