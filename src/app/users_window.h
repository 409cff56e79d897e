#pragma once
// TFrmusers: creates the first account at start-up, or changes the account later.
#include <QDialog>

class QLineEdit;

namespace kestrova::ui {

class UsersWindow : public QDialog {
    Q_OBJECT
public:
    enum class Mode { FirstAccount, Maintenance };
    explicit UsersWindow(Mode mode, QWidget *parent = nullptr);
    Mode mode() const { return m_mode; }

private:
    void BitBtn1Click();
    void done(int result) override;

    Mode m_mode;
    QLineEdit *m_userName;
    QLineEdit *m_password;
    QLineEdit *m_confirmation;
};

} // namespace kestrova::ui
