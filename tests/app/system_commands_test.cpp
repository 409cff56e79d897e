// 系统复位, 数据备份, 数据恢复 and the help page.
#include "app/main_window.h"
#include "app/system/database_copy.h"
#include "app/system/help_document.h"
#include "app/system/account.h"
#include "app/system_commands.h"
#include "app/shell_test_support.h"
#include "data/demo_records.h"
#include "data/indicators.h"
#include "data/task_record.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

const QStringList kReferenceTables{QStringLiteral("province"), QStringLiteral("city"), QStringLiteral("county"),
                                   QStringLiteral("分公司"), QStringLiteral("年度"), QStringLiteral("汇总级别"),
                                   QStringLiteral("查询指标")};
const QStringList kOwnTables{QStringLiteral("userinfo"), QStringLiteral("TZ_XIANGMU"), QStringLiteral("任务信息"),
                             QStringLiteral("修改日志")};

int rows(Database &db, const QString &table)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
}

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Every record, column by column, in ID order: what "the same records" means.
QStringList recordDump(Database &db)
{
    QStringList out;
    Statement st = db.prepare(QStringLiteral("SELECT * FROM TZ_XIANGMU ORDER BY ID"));
    while (st.next()) {
        QStringList row;
        for (int i = 0; i < st.columnCount(); ++i)
            row << st.text(i);
        out << row.join(QLatin1Char('|'));
    }
    return out;
}

class SystemCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        saveFirstAccount(*store.db, QStringLiteral("admin"), QStringLiteral("pw"));
        TaskRecord t;
        t.year = QStringLiteral("2013");
        t.level = QStringLiteral("省级汇总");
        t.province = QStringLiteral("河北省");
        saveTask(*store.db, t);
        addDemoRecords(*store.db, 12, 7);
        store.db->exec(QStringLiteral("INSERT INTO 修改日志(企业名称) VALUES ('甲')"));
    }
    TempStore store;
    ScriptedPrompter prompter;
};

TEST_F(SystemCommandsTest, ResetCancelledKeepsEveryRow)
{
    const int province = rows(*store.db, QStringLiteral("province"));
    prompter.answers.push_back(ui::Answer::Cancel);
    ui::MainWindow w;
    menuAction(w.menuBar(), {QStringLiteral("系统设置"), QStringLiteral("系统复位")})->trigger();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("系统复位将清除系统中的全部纪录，确定要操作吗？"));
    EXPECT_EQ(prompter.messages[0].buttons, ui::Buttons::OkCancel);
    EXPECT_FALSE(w.hasEnded());
    EXPECT_EQ(rows(*store.db, QStringLiteral("userinfo")), 1);
    EXPECT_EQ(rows(*store.db, QStringLiteral("TZ_XIANGMU")), 12);
    EXPECT_EQ(rows(*store.db, QStringLiteral("任务信息")), 1);
    EXPECT_EQ(rows(*store.db, QStringLiteral("修改日志")), 1);
    EXPECT_EQ(rows(*store.db, QStringLiteral("province")), province);
}

TEST_F(SystemCommandsTest, ResetConfirmedEmptiesOwnTablesKeepsReferenceAndEnds)
{
    QMap<QString, int> before;
    for (const QString &t : kReferenceTables)
        before[t] = rows(*store.db, t);
    ui::MainWindow w;
    menuAction(w.menuBar(), {QStringLiteral("系统设置"), QStringLiteral("系统复位")})->trigger();
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_EQ(prompter.messages[1].caption, QStringLiteral("操作提示"));
    EXPECT_EQ(prompter.messages[1].text, QStringLiteral("系统复位完成。请选择确定，退出系统！"));
    EXPECT_TRUE(w.hasEnded());
    for (const QString &t : kOwnTables)
        EXPECT_EQ(rows(*store.db, t), 0) << t.toStdString();
    for (const QString &t : kReferenceTables)
        EXPECT_EQ(rows(*store.db, t), before[t]) << t.toStdString();

    // The next start asks for a first account, then offers the restricted menu.
    ModalScript modal;
    modal.steps.push_back([](QDialog *d) {
        child<QLineEdit>(d, "Edit1")->setText(QStringLiteral("new"));
        child<QLineEdit>(d, "Edit2")->setText(QStringLiteral("pw"));
        child<QLineEdit>(d, "Edit3")->setText(QStringLiteral("pw"));
        child<QPushButton>(d, "BitBtn1")->click();
    });
    ui::MainWindow next;
    EXPECT_TRUE(next.startUp());
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("TFrmusers")});
    QStringList visible;
    for (QAction *a : next.menuBar()->actions())
        if (a->isVisible())
            visible << a->text();
    EXPECT_EQ(visible, (QStringList{QStringLiteral("任务管理"), QStringLiteral("帮助"), QStringLiteral("退出")}));
}

TEST_F(SystemCommandsTest, ResetIsAllOrNothing)
{
    store.db->exec(QStringLiteral(
        "CREATE TRIGGER keep BEFORE DELETE ON 修改日志 BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    ui::MainWindow w;
    menuAction(w.menuBar(), {QStringLiteral("系统设置"), QStringLiteral("系统复位")})->trigger();
    EXPECT_EQ(prompter.errors.size(), 1);
    EXPECT_FALSE(w.hasEnded());
    EXPECT_EQ(rows(*store.db, QStringLiteral("userinfo")), 1);
    EXPECT_EQ(rows(*store.db, QStringLiteral("TZ_XIANGMU")), 12);
}

TEST_F(SystemCommandsTest, BackupSuggestsUnitAndYearAndRestoreBringsTheRecordsBack)
{
    store.db->exec(QStringLiteral("UPDATE 任务信息 SET 填报单位 = '河北局'"));
    const QStringList original = recordDump(*store.db);
    const QString bak = store.file(QStringLiteral("copy.bak"));
    prompter.files.push_back(bak);
    ui::backupCommand(nullptr);
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].suggestedName, QStringLiteral("备份-河北局-2013"));
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, QStringLiteral("bak"));
    EXPECT_EQ(QDir(prompter.fileRequests[0].directory).canonicalPath(), QDir(store.home()).canonicalPath())
        << "the dialog starts beside the database, not in whatever folder the program was started from";
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据备份成功！"));
    EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("消息！"));
    EXPECT_EQ(context().unitLabel, QStringLiteral("河北局"));

    store.db->exec(QStringLiteral("DELETE FROM TZ_XIANGMU WHERE ID % 2 = 0"));
    store.db->exec(QStringLiteral("UPDATE 任务信息 SET 年份 = '2099'"));
    store.db.reset();
    prompter.files.push_back(bak);
    ui::restoreCommand(nullptr);
    EXPECT_EQ(prompter.messages.back().text, QStringLiteral("文件恢复成功！"));
    EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("消息！"));
    ASSERT_EQ(prompter.fileRequests.size(), 2u);
    EXPECT_EQ(QDir(prompter.fileRequests[1].directory).canonicalPath(), QDir(store.home()).canonicalPath());
    auto db = openStore(StoreOpen::MustExist);
    EXPECT_EQ(recordDump(*db), original);
    EXPECT_EQ(loadTask(*db)->year, QStringLiteral("2013"));
    EXPECT_TRUE(checkLogin(*db, QStringLiteral("admin"), QStringLiteral("pw")));
}

TEST_F(SystemCommandsTest, BackupWithoutTaskRecordAndCancelled)
{
    store.db->exec(QStringLiteral("DELETE FROM 任务信息"));
    ui::backupCommand(nullptr);
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].suggestedName + QStringLiteral(".") + prompter.fileRequests[0].defaultSuffix,
              QStringLiteral("备份--.bak"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据备份取消！"));
}

TEST_F(SystemCommandsTest, BackupToAnUnwritablePlaceSaysSoAndNoSuccess)
{
    prompter.files.push_back(store.file(QStringLiteral("no/such/dir/x.bak")));
    ui::backupCommand(nullptr);
    EXPECT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(SystemCommandsTest, RestoreRefusals)
{
    const QByteArray before = fileHash(databasePath());
    // Answered No: no dialog, no further message.
    prompter.answers.push_back(ui::Answer::No);
    ui::restoreCommand(nullptr);
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(prompter.messages[0].icon, ui::Icon::Question);
    EXPECT_TRUE(prompter.fileRequests.empty());

    // Cancelled dialog.
    ui::restoreCommand(nullptr);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("文件恢复取消！"));

    // The name decides first, letter case counting.
    const QString upper = store.file(QStringLiteral("data.BAK"));
    backupDatabase(*store.db, upper);
    prompter.files.push_back(upper);
    ui::restoreCommand(nullptr);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("文件类型错误，文件恢复失败！"));

    // A text file named x.bak is not restored over the database.
    const QString text = store.file(QStringLiteral("x.bak"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("企业名称,仓容\n").repeated(200));
    f.close();
    prompter.files.push_back(text);
    ui::restoreCommand(nullptr);
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("文件恢复出现错误，导入中断，请修改后重新导入！\n")));

    // Nor a SQLite database of another program.
    const QString foreign = store.file(QStringLiteral("other.bak"));
    {
        Database other(foreign, Database::Mode::CreateIfMissing);
        other.exec(QStringLiteral("CREATE TABLE t(a)"));
    }
    prompter.files.push_back(foreign);
    ui::restoreCommand(nullptr);
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("文件恢复出现错误，导入中断，请修改后重新导入！\n")));
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("缺少表 TZ_XIANGMU"))) << "says what differs";

    EXPECT_EQ(fileHash(databasePath()), before);
    EXPECT_TRUE(QDir(store.home()).entryList({QStringLiteral(".kestrova-tmp-*")}, QDir::Hidden | QDir::Files).isEmpty());
    EXPECT_EQ(rows(*store.db, QStringLiteral("TZ_XIANGMU")), 12);
}

TEST_F(SystemCommandsTest, RestoreOfADamagedDatabaseIsRefused)
{
    const QString bak = store.file(QStringLiteral("damaged.bak"));
    backupDatabase(*store.db, bak);
    QFile f(bak);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 size = f.size();
    f.seek(size / 2);
    f.write(QByteArray(8192, '\x5a'));
    f.close();
    const QByteArray before = fileHash(databasePath());
    EXPECT_THROW(restoreDatabase(bak, databasePath()), CopyError);
    EXPECT_EQ(fileHash(databasePath()), before);
}

TEST_F(SystemCommandsTest, HelpOpensThePageOrSaysWhyNot)
{
    QList<QUrl> opened;
    bool browser = true;
    ui::setUrlOpener([&](const QUrl &u) {
        opened << u;
        return browser;
    });
    QFile page(store.file(kHelpFileName));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(helpDocumentHtml().toUtf8());
    page.close();
    ui::helpCommand(nullptr);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith(kHelpFileName));
    EXPECT_TRUE(prompter.messages.empty());

    browser = false;
    ui::helpCommand(nullptr);
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_TRUE(prompter.lastText().contains(kHelpFileName));
    ui::setUrlOpener({});
}

TEST(HelpDocument, ListsEveryIndicatorOnce)
{
    const QString html = helpDocumentHtml();
    for (const Indicator &ind : kIndicators) {
        const QString id = QStringLiteral("id=\"a%1\"").arg(ind.k);
        EXPECT_EQ(html.count(id), 1) << ind.k;
        EXPECT_TRUE(html.contains(QString::fromUtf8(ind.column.data(), ind.column.size()).toHtmlEscaped()));
    }
    EXPECT_EQ(html.count(QRegularExpression(QStringLiteral("<tr id=\"a\\d+\">"))), kIndicatorCount);
    EXPECT_TRUE(html.contains(QStringLiteral("由系统自动计算")));

    // The build put the same page beside the programs.
    QFile built(QStringLiteral(KESTROVA_BIN_DIR "/") + kHelpFileName);
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(built.readAll()), html);
}

} // namespace
