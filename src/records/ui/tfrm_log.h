#pragma once
// The window "修改日志": the changes logged for one enterprise record, newest first.
#include <QDialog>

class QLabel;
class QTableWidget;

namespace kestrova::ui {

class TFrmLog : public QDialog {
    Q_OBJECT
public:
    // The log of the enterprise of that name and organisation code.
    TFrmLog(const QString &name, const QString &orgCode, QWidget *parent = nullptr);

    QTableWidget *grid() const { return m_grid; }

private:
    QLabel *m_heading = nullptr;
    QTableWidget *m_grid = nullptr;
};

} // namespace kestrova::ui
