#pragma once
// Tlogin: asks for the password of the single account before the program may be used.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace kestrova::ui {

class LoginWindow : public QDialog {
    Q_OBJECT
public:
    explicit LoginWindow(QWidget *parent = nullptr);
    // Whether closing now ends the program: true until a password was accepted.
    bool quitsOnClose() const { return m_quitOnClose; }

private:
    void BitBtn1Click();
    void done(int result) override;

    QLineEdit *m_userName;
    QLineEdit *m_password;
    bool m_quitOnClose = true;
};

} // namespace kestrova::ui
