#include "app/login_window.h"

#include "app/system/account.h"
#include "app/ui/prompter.h"
#include "app/ui/window_fit.h"
#include "data/store.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrova::ui {

LoginWindow::LoginWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Tlogin"));
    setWindowTitle(QStringLiteral("系统登录"));
    setStyleSheet(QStringLiteral(
        "#Tlogin { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eaf2f8, stop:1 #c9dcea); }"
        "#Label3 { color: #2a5d84; font-size: 15pt; font-weight: bold; }"));

    auto *heading = new QLabel(QStringLiteral("Kestrova系统（汇总版）"), this);
    heading->setObjectName(QStringLiteral("Label3"));
    heading->setAlignment(Qt::AlignCenter);

    auto *nameLabel = new QLabel(QStringLiteral("用户名"), this);
    nameLabel->setObjectName(QStringLiteral("Label1"));
    m_userName = new QLineEdit(this);
    m_userName->setObjectName(QStringLiteral("Edit1"));
    m_userName->setEnabled(false);

    auto *passwordLabel = new QLabel(QStringLiteral("密      码"), this);
    passwordLabel->setObjectName(QStringLiteral("Label2"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Edit2"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setFocus();

    auto *login = new QPushButton(QStringLiteral("登录"), this);
    login->setObjectName(QStringLiteral("BitBtn1"));
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    // Enter anywhere in the window presses 登录, the default button.
    login->setDefault(true);
    quit->setAutoDefault(false);

    auto *grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_userName, 0, 1);
    grid->addWidget(passwordLabel, 1, 0);
    grid->addWidget(m_password, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(login);
    buttons->addWidget(quit);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 24, 36, 24);
    layout->setSpacing(16);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(login, &QPushButton::clicked, this, &LoginWindow::BitBtn1Click);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    try {
        auto db = openStore(StoreOpen::MustExist);
        m_userName->setText(accountUserName(*db));
    } catch (const DbError &e) {
        prompter().error(this, e.message());
    }
    centreOnScreen(this);
}

void LoginWindow::BitBtn1Click()
{
    if (m_password->text().isEmpty()) {
        prompter().message(this, QStringLiteral("操作提示"), QStringLiteral("请输入密码！"), Icon::Warning);
        m_password->setFocus();
        return;
    }
    bool accepted = false;
    try {
        auto db = openStore(StoreOpen::MustExist);
        accepted = checkLogin(*db, m_userName->text(), m_password->text());
    } catch (const DbError &e) {
        prompter().error(this, e.message());
        return;
    }
    if (!accepted) {
        prompter().message(this, QStringLiteral("密码错误"), QStringLiteral("密码错误！"), Icon::Warning);
        // Ready for the password to be typed again over the wrong one.
        m_password->setFocus();
        m_password->selectAll();
        return;
    }
    m_quitOnClose = false;
    accept();
}

void LoginWindow::done(int result)
{
    // However the window closes, only an accepted password lets the program go on.
    QDialog::done(m_quitOnClose ? QDialog::Rejected : result);
}

} // namespace kestrova::ui
