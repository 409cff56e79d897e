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
#include <QTextBrowser>

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

void expectAllRowsKept(Database &db)
{
    EXPECT_EQ(rows(db, QStringLiteral("userinfo")), 1);
    EXPECT_EQ(rows(db, QStringLiteral("TZ_XIANGMU")), 12);
    EXPECT_EQ(rows(db, QStringLiteral("任务信息")), 1);
    EXPECT_EQ(rows(db, QStringLiteral("修改日志")), 1);
}

// Enter on the question must not wipe the data: its default is Cancel, and Cancel at
// the backup question keeps everything too.
TEST_F(SystemCommandsTest, ResetDefaultsToCancelAndEitherCancelKeepsEveryRow)
{
    const int province = rows(*store.db, QStringLiteral("province"));
    ui::MainWindow w;
    QAction *reset = menuAction(w.menuBar(), {QStringLiteral("系统设置"), QStringLiteral("系统复位")});
    prompter.answers = {ui::Answer::Cancel};
    reset->trigger();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("系统复位将清除系统中的全部纪录，确定要操作吗？"));
    EXPECT_EQ(prompter.messages[0].buttons, ui::Buttons::OkCancelDefaultCancel);
    prompter.answers = {ui::Answer::Ok, ui::Answer::Cancel};
    reset->trigger();
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(prompter.messages[2].text, QStringLiteral("是否先备份当前数据？"));
    EXPECT_EQ(prompter.messages[2].buttons, ui::Buttons::YesNoCancel);
    EXPECT_FALSE(w.hasEnded());
    expectAllRowsKept(*store.db);
    EXPECT_EQ(rows(*store.db, QStringLiteral("province")), province);
}

TEST_F(SystemCommandsTest, ResetConfirmedEmptiesOwnTablesKeepsReferenceAndEnds)
{
    QMap<QString, int> before;
    for (const QString &t : kReferenceTables)
        before[t] = rows(*store.db, t);
    store.db->exec(QStringLiteral("INSERT INTO 报送记录(文件名) VALUES ('下级.xls')"));
    prompter.answers = {ui::Answer::Ok, ui::Answer::No};
    ui::MainWindow w;
    menuAction(w.menuBar(), {QStringLiteral("系统设置"), QStringLiteral("系统复位")})->trigger();
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(prompter.messages[2].caption, QStringLiteral("操作提示"));
    EXPECT_EQ(prompter.messages[2].text, QStringLiteral("系统复位完成。请选择确定，退出系统！"));
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

// Yes at the backup question writes a backup that restores every record; only then is
// the data deleted. A backup asked for but not made stops the reset.
TEST_F(SystemCommandsTest, ResetWithABackupFirstMakesItBeforeDeletingAndStopsWithoutIt)
{
    const QStringList original = recordDump(*store.db);
    ui::MainWindow w;
    QAction *reset = menuAction(w.menuBar(), {QStringLiteral("系统设置"), QStringLiteral("系统复位")});
    prompter.answers = {ui::Answer::Ok, ui::Answer::Yes};
    prompter.files = {std::nullopt};
    reset->trigger();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据备份取消！"));
    EXPECT_FALSE(w.hasEnded());
    expectAllRowsKept(*store.db);

    const QString bak = store.file(QStringLiteral("复位前.bak"));
    prompter.answers = {ui::Answer::Ok, ui::Answer::Yes};
    prompter.files = {bak};
    reset->trigger();
    EXPECT_TRUE(w.hasEnded());
    EXPECT_EQ(rows(*store.db, QStringLiteral("TZ_XIANGMU")), 0);
    Database copy(bak);
    EXPECT_EQ(recordDump(copy), original);
}

TEST_F(SystemCommandsTest, ResetIsAllOrNothing)
{
    store.db->exec(QStringLiteral(
        "CREATE TRIGGER keep BEFORE DELETE ON 修改日志 BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    prompter.answers = {ui::Answer::Ok, ui::Answer::No};
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
    EXPECT_TRUE(ui::backupCommand(nullptr));
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].suggestedName, QStringLiteral("备份-河北局-2013"));
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, QStringLiteral("bak"));
    EXPECT_EQ(prompter.fileRequests[0].filter, ui::kBackupFilter);
    EXPECT_EQ(QDir(prompter.fileRequests[0].directory).canonicalPath(), QDir(store.home()).canonicalPath())
        << "the dialog starts beside the database, not in whatever folder the program was started from";
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据备份成功！"));
    EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("消息！"));
    EXPECT_EQ(context().unitLabel, QStringLiteral("河北局"));

    store.db->exec(QStringLiteral("DELETE FROM TZ_XIANGMU WHERE ID % 2 = 0"));
    store.db->exec(QStringLiteral("UPDATE 任务信息 SET 年份 = '2099'"));
    store.db.reset();
    prompter.answers = {ui::Answer::Yes, ui::Answer::No};
    prompter.files.push_back(bak);
    EXPECT_TRUE(ui::restoreCommand(nullptr));
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
    EXPECT_FALSE(ui::backupCommand(nullptr));
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].suggestedName + QStringLiteral(".") + prompter.fileRequests[0].defaultSuffix,
              QStringLiteral("备份--.bak"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("数据备份取消！"));
}

TEST_F(SystemCommandsTest, BackupToAnUnwritablePlaceSaysSoAndNoSuccess)
{
    prompter.files.push_back(store.file(QStringLiteral("no/such/dir/x.bak")));
    EXPECT_FALSE(ui::backupCommand(nullptr));
    EXPECT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(SystemCommandsTest, RestoreRefusals)
{
    const QByteArray before = fileHash(databasePath());
    // Answered No: no dialog, no further message; No is what Enter gives.
    prompter.answers = {ui::Answer::No};
    EXPECT_FALSE(ui::restoreCommand(nullptr));
    EXPECT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].buttons, ui::Buttons::YesNoDefaultNo);
    EXPECT_EQ(prompter.messages[0].icon, ui::Icon::Question);
    EXPECT_TRUE(prompter.fileRequests.empty());

    // Cancelled at the backup question: nothing is asked after it.
    prompter.answers = {ui::Answer::Yes, ui::Answer::Cancel};
    EXPECT_FALSE(ui::restoreCommand(nullptr));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("是否先备份当前数据？"));
    EXPECT_TRUE(prompter.fileRequests.empty());

    const auto restore = [this](const std::optional<QString> &file) {
        prompter.answers = {ui::Answer::Yes, ui::Answer::No};
        prompter.files.push_back(file);
        return ui::restoreCommand(nullptr);
    };
    // Cancelled dialog.
    EXPECT_FALSE(restore(std::nullopt));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("文件恢复取消！"));

    // The name decides first, letter case counting.
    const QString upper = store.file(QStringLiteral("data.BAK"));
    backupDatabase(*store.db, upper);
    EXPECT_FALSE(restore(upper));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("文件类型错误，文件恢复失败！"));

    // A text file named x.bak is not restored over the database, and the message says
    // it is no backup of this program, not that an import broke off.
    const QString text = store.file(QStringLiteral("x.bak"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("企业名称,仓容\n").repeated(200));
    f.close();
    EXPECT_FALSE(restore(text));
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("“x.bak”不是本系统的备份文件，文件恢复失败！当前数据没有改变。")))
        << prompter.lastText().toStdString();
    EXPECT_FALSE(prompter.lastText().contains(QStringLiteral("导入")));

    // Nor a SQLite database of another program.
    const QString foreign = store.file(QStringLiteral("other.bak"));
    {
        Database other(foreign, Database::Mode::CreateIfMissing);
        other.exec(QStringLiteral("CREATE TABLE t(a)"));
    }
    EXPECT_FALSE(restore(foreign));
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("“other.bak”不是本系统的备份文件")));
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("缺少表 TZ_XIANGMU"))) << "says what differs";
    EXPECT_FALSE(prompter.lastText().contains(QStringLiteral("导入")));

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

// The restored task record is in force at once: the level, the place and the menus it
// allows, without a restart.
TEST_F(SystemCommandsTest, RestoreAppliesTheRestoredTaskRecordAndMenusAtOnce)
{
    TaskRecord county;
    county.year = QStringLiteral("2014");
    county.level = QStringLiteral("县级汇总");
    county.province = QStringLiteral("河北省");
    county.city = QStringLiteral("石家庄市");
    county.county = QStringLiteral("长安区");
    saveTask(*store.db, county);
    const QString bak = store.file(QStringLiteral("县级.bak"));
    backupDatabase(*store.db, bak);
    TaskRecord province;
    province.year = QStringLiteral("2013");
    province.level = QStringLiteral("省级汇总");
    province.province = QStringLiteral("河北省");
    saveTask(*store.db, province);
    loadTaskIntoContext(*store.db);
    store.db.reset();

    ui::MainWindow w;
    w.applyMenuRule();
    QAction *breakdown = menuAction(w.menuBar(), {QStringLiteral("统计报表"), QStringLiteral("第一部分 企业数量"),
                                                  QStringLiteral("表1-1  企业数量汇总表"),
                                                  QStringLiteral("表1-1-2 粮油仓储企业数量汇总表（分地区）")});
    ASSERT_NE(breakdown, nullptr);
    EXPECT_TRUE(breakdown->isVisible());
    prompter.answers = {ui::Answer::Yes, ui::Answer::No};
    prompter.files = {bak};
    menuAction(w.menuBar(), {QStringLiteral("系统设置"), QStringLiteral("数据恢复")})->trigger();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("文件恢复成功！"));
    EXPECT_EQ(context().level, QStringLiteral("县级汇总"));
    EXPECT_EQ(context().county, QStringLiteral("长安区"));
    EXPECT_FALSE(breakdown->isVisible()) << "a county office sees the national tables only";
}

// The page shows in the program's own window, with no browser at all; the browser is
// only an option from it, and saying why it did not open.
TEST_F(SystemCommandsTest, HelpShowsThePageInItsOwnWindowAndOffersTheBrowser)
{
    QList<QUrl> opened;
    bool browser = false;
    ui::setUrlOpener([&](const QUrl &u) {
        opened << u;
        return browser;
    });
    QFile page(store.file(kHelpFileName));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(helpDocumentHtml().toUtf8());
    page.close();
    ModalScript modal;
    QString shown;
    modal.steps.push_back([&](QDialog *d) {
        shown = child<QTextBrowser>(d, "Browser")->toPlainText();
        child<QPushButton>(d, "BtnBrowser")->click();
        browser = true;
        child<QPushButton>(d, "BtnBrowser")->click();
        child<QPushButton>(d, "BtnClose")->click();
    });
    ui::helpCommand(nullptr);
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("TFrmHelp")});
    EXPECT_TRUE(shown.contains(QStringLiteral("占地面积"))) << shown.left(200).toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("由系统自动计算")));
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(opened[0].toLocalFile().endsWith(kHelpFileName));
    ASSERT_EQ(prompter.messages.size(), 1u) << "only the failed browser is told";
    EXPECT_TRUE(prompter.lastText().contains(kHelpFileName));
    ui::setUrlOpener({});

    QFile::remove(store.file(kHelpFileName));
    setApplicationDirectory(store.home(), store.home()); // no page beside the programs either
    ui::helpCommand(nullptr);
    EXPECT_TRUE(prompter.lastText().startsWith(QStringLiteral("找不到帮助文件")));
    EXPECT_EQ(modal.shown.size(), 1);
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
