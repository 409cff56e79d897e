#include "app/users_window.h"

#include "app/system/account.h"
#include "app/ui/prompter.h"
#include "app/ui/window_fit.h"
#include "data/store.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace kestrova::ui {

UsersWindow::UsersWindow(Mode mode, QWidget *parent) : QDialog(parent), m_mode(mode)
{
    setObjectName(QStringLiteral("TFrmusers"));
    setWindowTitle(QStringLiteral("登录信息"));

    auto makeEdit = [this](const char *name, bool secret) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMinimumWidth(200);
        if (secret)
            e->setEchoMode(QLineEdit::Password);
        return e;
    };
    m_userName = makeEdit("Edit1", false);
    m_password = makeEdit("Edit2", true);
    m_confirmation = makeEdit("Edit3", true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("用 户 名"), m_userName);
    form->addRow(QStringLiteral("密    码"), m_password);
    form->addRow(QStringLiteral("密码确认"), m_confirmation);

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    // Enter in any box presses 确定.
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 24, 30, 20);
    layout->setSpacing(16);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &UsersWindow::BitBtn1Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The password boxes open empty: what is stored is a hash, not something to show.
    try {
        auto db = openStore(StoreOpen::MustExist);
        m_userName->setText(accountUserName(*db));
    } catch (const DbError &e) {
        prompter().error(this, e.message());
    }
    m_userName->setFocus();
    centreOnScreen(this);
}

void UsersWindow::BitBtn1Click()
{
    const bool maintenance = m_mode == Mode::Maintenance;
    if (const auto problem = checkAccountInput(m_userName->text(), m_password->text(), m_confirmation->text(),
                                               maintenance)) {
        prompter().message(this, QStringLiteral("操作提示"), problem->message, Icon::Warning);
        QLineEdit *focus = problem->focus == AccountField::UserName   ? m_userName
                           : problem->focus == AccountField::Password ? m_password
                                                                      : m_confirmation;
        focus->setFocus();
        focus->selectAll();
        return;
    }
    try {
        auto db = openStore(StoreOpen::MustExist);
        if (maintenance) {
            updateAccount(*db, m_userName->text(), m_password->text());
        } else {
            saveFirstAccount(*db, m_userName->text(), m_password->text());
            m_mode = Mode::Maintenance;
        }
    } catch (const DbError &e) {
        prompter().error(this, e.message());
        return;
    } catch (const std::runtime_error &e) {
        prompter().error(this, QString::fromUtf8(e.what()));
        return;
    }
    if (maintenance)
        prompter().message(this, QStringLiteral("操作提示"), QStringLiteral("内容修改成功！"), Icon::Information);
    accept();
}

void UsersWindow::done(int result)
{
    // Leaving first-account mode without an account ends the program: report it as rejected.
    QDialog::done(m_mode == Mode::FirstAccount ? QDialog::Rejected : result);
}

} // namespace kestrova::ui
