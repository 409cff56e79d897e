// Start-up paths, the login window and the account window.
#include "app/start_up.h"
#include "app/login_window.h"
#include "app/system/account.h"
#include "app/system/password_hash.h"
#include "app/users_window.h"
#include "app/shell_test_support.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

int userRows(Database &db)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM userinfo")).toInt();
}

void type(QDialog *d, const char *edit, const QString &text)
{
    child<QLineEdit>(d, edit)->setText(text);
}

void click(QDialog *d, const char *button)
{
    child<QPushButton>(d, button)->click();
}

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override { app(); }
    TempStore store;
    ScriptedPrompter prompter;
    ModalScript modal;
};

TEST_F(StartUpTest, NoAccountAsksForFirstAccountAndCancelEndsTheProgram)
{
    modal.steps.push_back([](QDialog *d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("登录信息"));
        EXPECT_TRUE(child<QLineEdit>(d, "Edit1")->text().isEmpty());
        click(d, "BitBtn2");
    });
    ui::StartUp startUp;
    EXPECT_EQ(startUp.run(nullptr), ui::StartUp::Outcome::Quit);
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("TFrmusers")});
    EXPECT_EQ(userRows(*store.db), 0);
}

TEST_F(StartUpTest, ClosingTheFirstAccountWindowEndsTheProgram)
{
    modal.steps.push_back([](QDialog *d) { d->close(); });
    EXPECT_EQ(ui::StartUp().run(nullptr), ui::StartUp::Outcome::Quit);
    EXPECT_EQ(userRows(*store.db), 0);
}

TEST_F(StartUpTest, FirstAccountKeepsSurroundingSpacesAndLetsTheUserIn)
{
    modal.steps.push_back([](QDialog *d) {
        type(d, "Edit1", QStringLiteral(" 管理员 "));
        type(d, "Edit2", QStringLiteral(" pw "));
        type(d, "Edit3", QStringLiteral(" pw "));
        click(d, "BitBtn1");
    });
    EXPECT_EQ(ui::StartUp().run(nullptr), ui::StartUp::Outcome::Enter);
    EXPECT_TRUE(prompter.messages.empty()); // first account: saved without a message
    EXPECT_EQ(userRows(*store.db), 1);
    EXPECT_EQ(accountUserName(*store.db), QStringLiteral(" 管理员 "));
    const QString stored = store.db->scalar(QStringLiteral("SELECT passwd FROM userinfo"));
    EXPECT_TRUE(stored.startsWith(QStringLiteral("$argon2id$"))) << stored.toStdString();
    EXPECT_TRUE(checkLogin(*store.db, QStringLiteral(" 管理员 "), QStringLiteral(" pw ")));
    EXPECT_FALSE(checkLogin(*store.db, QStringLiteral(" 管理员 "), QStringLiteral("pw")));

    // The next start shows the name as stored, spaces included.
    modal.steps.push_back([](QDialog *d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("Tlogin"));
        EXPECT_EQ(child<QLineEdit>(d, "Edit1")->text(), QStringLiteral(" 管理员 "));
        EXPECT_FALSE(child<QLineEdit>(d, "Edit1")->isEnabled());
        type(d, "Edit2", QStringLiteral(" pw "));
        click(d, "BitBtn1");
    });
    EXPECT_EQ(ui::StartUp().run(nullptr), ui::StartUp::Outcome::Enter);
}

TEST_F(StartUpTest, WrongPasswordThenCloseButtonEndsTheProgram)
{
    saveFirstAccount(*store.db, QStringLiteral("admin"), QStringLiteral("Secret"));
    modal.steps.push_back([](QDialog *d) {
        type(d, "Edit2", QStringLiteral("secret"));
        click(d, "BitBtn1");
        EXPECT_TRUE(d->isVisible()); // still waiting for the right one
        type(d, "Edit2", QStringLiteral("nope"));
        click(d, "BitBtn1");
        d->close();
    });
    EXPECT_EQ(ui::StartUp().run(nullptr), ui::StartUp::Outcome::Quit);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("密码错误"));
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("密码错误！"));
    EXPECT_EQ(prompter.messages[0].icon, ui::Icon::Warning);
}

TEST_F(StartUpTest, QuitButtonOfTheLoginEndsTheProgram)
{
    saveFirstAccount(*store.db, QStringLiteral("admin"), QStringLiteral("pw"));
    modal.steps.push_back([](QDialog *d) { click(d, "BitBtn2"); });
    EXPECT_EQ(ui::StartUp().run(nullptr), ui::StartUp::Outcome::Quit);
}

TEST_F(StartUpTest, RightPasswordByEnterKeyEntersAndLoadsTheTaskRecord)
{
    saveFirstAccount(*store.db, QStringLiteral("admin"), QStringLiteral("pw"));
    store.db->exec(QStringLiteral("INSERT INTO 任务信息(年份, 汇总级别, 省) VALUES ('2013', '省级汇总', '河南省')"));
    modal.steps.push_back([](QDialog *d) {
        auto *edit = child<QLineEdit>(d, "Edit2");
        edit->setText(QStringLiteral("pw"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &enter);
    });
    EXPECT_EQ(ui::StartUp().run(nullptr), ui::StartUp::Outcome::Enter);
    EXPECT_TRUE(prompter.messages.empty());
    EXPECT_TRUE(context().hasTask);
    EXPECT_EQ(context().level, QStringLiteral("省级汇总"));
    EXPECT_EQ(context().province, QStringLiteral("河南省"));
}

TEST_F(StartUpTest, EmptyPasswordIsRefusedBeforeAnyComparison)
{
    // An account whose stored password is empty can never be entered.
    store.db->exec(QStringLiteral("INSERT INTO userinfo(f2, passwd) VALUES ('admin', '')"));
    modal.steps.push_back([](QDialog *d) {
        click(d, "BitBtn1");
        click(d, "BitBtn2");
    });
    EXPECT_EQ(ui::StartUp().run(nullptr), ui::StartUp::Outcome::Quit);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("操作提示"));
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("请输入密码！"));
}

TEST_F(StartUpTest, UnopenableDatabaseIsReported)
{
    store.db.reset();
    QFile f(databasePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(4096, 'x'));
    f.close();
    ui::StartUp startUp;
    EXPECT_EQ(startUp.run(nullptr), ui::StartUp::Outcome::DatabaseFailed);
    EXPECT_FALSE(startUp.error().isEmpty());
    EXPECT_TRUE(modal.shown.isEmpty());
}

class AccountWindowTest : public StartUpTest {};

TEST_F(AccountWindowTest, ChecksComeInOrderWithTheirMessagesAndFocus)
{
    saveFirstAccount(*store.db, QStringLiteral("admin"), QStringLiteral("old"));
    ui::UsersWindow w(ui::UsersWindow::Mode::Maintenance);
    w.show();
    EXPECT_EQ(child<QLineEdit>(&w, "Edit1")->text(), QStringLiteral("admin"));
    EXPECT_TRUE(child<QLineEdit>(&w, "Edit2")->text().isEmpty());
    EXPECT_EQ(child<QLineEdit>(&w, "Edit2")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(child<QLineEdit>(&w, "Edit3")->echoMode(), QLineEdit::Password);

    struct Case {
        QString name, password, confirmation, message;
        const char *focus;
    };
    const Case cases[] = {
        {QStringLiteral("   "), QStringLiteral("a"), QStringLiteral("a"), QStringLiteral("请输入用户名！"), "Edit1"},
        {QStringLiteral("u"), QString(), QStringLiteral("a"), QStringLiteral("请填入密码！"), "Edit2"},
        {QStringLiteral("u"), QStringLiteral("a"), QString(), QStringLiteral("请填入密码！"), "Edit2"},
        {QStringLiteral("u"), QStringLiteral("   "), QStringLiteral("   "), QStringLiteral("请填入密码！"), "Edit2"},
        {QStringLiteral("u"), QStringLiteral("a "), QStringLiteral("a"),
         QStringLiteral("密码和确认密码不一致，请重新填写！"), "Edit3"},
    };
    for (const Case &c : cases) {
        type(&w, "Edit1", c.name);
        type(&w, "Edit2", c.password);
        type(&w, "Edit3", c.confirmation);
        click(&w, "BitBtn1");
        EXPECT_EQ(prompter.lastText(), c.message);
        EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("操作提示"));
        EXPECT_EQ(prompter.messages.back().icon, ui::Icon::Warning);
        EXPECT_EQ(w.focusWidget(), child<QLineEdit>(&w, c.focus)) << c.message.toStdString();
        EXPECT_TRUE(w.isVisible());
    }
    EXPECT_TRUE(checkLogin(*store.db, QStringLiteral("admin"), QStringLiteral("old")));
}

TEST_F(AccountWindowTest, MaintenanceTrimsNameAndPasswordAndLetterCaseCounts)
{
    saveFirstAccount(*store.db, QStringLiteral("admin"), QStringLiteral("old"));
    ui::UsersWindow w(ui::UsersWindow::Mode::Maintenance);
    w.show();
    type(&w, "Edit1", QStringLiteral(" boss "));
    type(&w, "Edit2", QStringLiteral(" NewPw "));
    type(&w, "Edit3", QStringLiteral(" NewPw "));
    click(&w, "BitBtn1");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("内容修改成功！"));
    EXPECT_EQ(prompter.messages[0].icon, ui::Icon::Information);
    EXPECT_EQ(userRows(*store.db), 1);
    EXPECT_EQ(accountUserName(*store.db), QStringLiteral("boss"));
    EXPECT_TRUE(checkLogin(*store.db, QStringLiteral("boss"), QStringLiteral("NewPw")));
    EXPECT_FALSE(checkLogin(*store.db, QStringLiteral("boss"), QStringLiteral(" NewPw ")));
    EXPECT_FALSE(checkLogin(*store.db, QStringLiteral("boss"), QStringLiteral("newpw")));
    EXPECT_FALSE(checkLogin(*store.db, QStringLiteral("admin"), QStringLiteral("NewPw")));
}

TEST_F(AccountWindowTest, CancelInMaintenanceOnlyClosesAndKeepsTheAccount)
{
    saveFirstAccount(*store.db, QStringLiteral("admin"), QStringLiteral("old"));
    ui::UsersWindow w(ui::UsersWindow::Mode::Maintenance);
    w.show();
    type(&w, "Edit2", QStringLiteral("x"));
    click(&w, "BitBtn2");
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(checkLogin(*store.db, QStringLiteral("admin"), QStringLiteral("old")));
}

TEST(PasswordHash, SaltedAndExact)
{
    const QString a = hashPassword(QStringLiteral("口令 1"));
    const QString b = hashPassword(QStringLiteral("口令 1"));
    EXPECT_NE(a, b); // a fresh salt each time
    EXPECT_TRUE(verifyPassword(QStringLiteral("口令 1"), a));
    EXPECT_TRUE(verifyPassword(QStringLiteral("口令 1"), b));
    EXPECT_FALSE(verifyPassword(QStringLiteral("口令1"), a));
    EXPECT_FALSE(verifyPassword(QString(), a));
    EXPECT_FALSE(verifyPassword(QStringLiteral("x"), QString()));
}

} // namespace
