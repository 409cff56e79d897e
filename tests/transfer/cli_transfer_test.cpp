// kestrova-cli export and import, and an import killed while it writes.
#include "transfer/messages.h"
#include "support/database_state.h"
#include "support/temp_store.h"
#include "transfer_fixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

using namespace kestrova;

namespace {
const QString kCli = QStringLiteral(KESTROVA_BIN_DIR "/kestrova-cli");

struct CliRun {
    int exitCode = -1;
    QString out, err;
};

CliRun cli(const QString &home, const QStringList &args)
{
    QProcess p;
    p.start(kCli, QStringList{"--home", home} + args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

void writeUpload(const QString &path, const std::vector<std::string> &names, const std::string &area = "12")
{
    test::Rows rows{test::uploadHeader()};
    for (const auto &n : names)
        rows.push_back(test::uploadRow(n, area));
    test::writeWorkbook(path.toStdString(), {{"数据信息", rows}});
}
} // namespace

TEST(CliExport, RefusesLikeTheCommandAndWritesNoFile)
{
    test::TempStore s;
    const QString out = s.file("上报.xls");
    CliRun r = cli(s.home(), {"export", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(transfer::kNoRecords)) << r.err.toStdString();
    test::addRecord(*s.db, "甲库", 1, "0");
    r = cli(s.home(), {"export", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(transfer::kUnvalidatedRecords));
    EXPECT_FALSE(QFile::exists(out));
}

TEST(CliExport, WritesTheWorkbook)
{
    test::TempStore s;
    addDemoRecords(*s.db, 10, 1);
    test::installTemplate(s.home());
    const QString out = s.file("上报.xls");
    const CliRun r = cli(s.home(), {"export", out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), transfer::kExported);
    EXPECT_EQ(xls::WorkbookReader::open(out.toStdString()).readSheet("数据信息").size(), 11u);
}

TEST(CliImport, EachFileOnItsOwnInOrderAndTheStatusTellsWhetherAllSucceeded)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库", 1);
    const QString one = s.file("一.xls"), bad = s.file("坏.xls"), two = s.file("二.xls");
    writeUpload(one, {"甲库", "乙库"}, "5");
    writeUpload(bad, {"甲库"}, "abc");
    writeUpload(two, {"乙库"}, "7");
    const CliRun r = cli(s.home(), {"import", one, bad, s.file("三.XLS"), two});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.count(transfer::kImported), 2) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains(bad + "：" + transfer::kImportFailed)) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(transfer::kWrongFileType));
    EXPECT_EQ(test::namesOf(*s.db), (QStringList{"甲库", "乙库"}));
    EXPECT_EQ(s.db->scalar("SELECT group_concat(CAST(占地面积 AS INTEGER)) FROM TZ_XIANGMU").toStdString(), "5,7");

    EXPECT_TRUE(r.out.contains(one + "：" + transfer::kImported + "替换原有记录 1 条，新增记录 1 条（共写入 2 条）。"))
        << r.out.toStdString();

    const CliRun ok = cli(s.home(), {"import", two});
    EXPECT_EQ(ok.exitCode, 0);
}

// --preview prints what the import would do as two TSV tables and writes nothing; its
// status says whether every file would go in.
TEST(CliImport, PreviewPrintsTheTablesAndWritesNothing)
{
    test::TempStore s;
    test::addRecord(*s.db, "甲库", 1);
    const QString one = s.file("一.xls"), two = s.file("二.xls"), bad = s.file("坏.xls");
    writeUpload(one, {"甲库", "乙库", "乙库"});
    writeUpload(two, {"乙库"});
    writeUpload(bad, {"丙库"}, "很多");
    s.db.reset();
    const auto before = test::databaseState(s.file("vardo.db"));
    CliRun r = cli(s.home(), {"import", "--preview", one, two});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList blocks = r.out.split("\n\n");
    ASSERT_EQ(blocks.size(), 2) << r.out.toStdString();
    const QStringList files = blocks[0].split('\n');
    ASSERT_EQ(files.size(), 3);
    EXPECT_EQ(files[0], "文件\t行数\t企业名称数\t将替换记录\t将新增记录\t来自下级单位\t提示");
    EXPECT_TRUE(files[1].startsWith("一.xls\t3\t2\t1\t2\t")) << files[1].toStdString();
    EXPECT_TRUE(files[2].startsWith("二.xls\t1\t1\t2\t0\t")) << files[2].toStdString();
    const QStringList notes = blocks[1].trimmed().split('\n');
    EXPECT_EQ(notes[0], "文件\t行\t企业名称\t问题\t说明");
    EXPECT_TRUE(blocks[1].contains("一.xls\t3\t乙库\t工作簿内重名\t")) << blocks[1].toStdString();
    EXPECT_TRUE(blocks[1].contains("二.xls\t2\t乙库\t多个工作簿中重名\t"));
    for (const QString &line : notes)
        EXPECT_EQ(line.count('\t'), 4) << line.toStdString();
    EXPECT_EQ(test::databaseState(s.file("vardo.db")).rows, before.rows);

    r = cli(s.home(), {"import", "--preview", one, bad});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("坏.xls\t\t\t\t\t\t不能导入：工作表“数据信息”第 2 行第 Q 列（占地面积）：“很多”不是数字"))
        << r.out.toStdString();
    EXPECT_EQ(test::databaseState(s.file("vardo.db")).rows, before.rows);
}

TEST(CliSubmissions, PrintsTheOfficesBelowAsTsv)
{
    test::TempStore s;
    s.db->exec("INSERT INTO 任务信息(年份, 汇总级别, 省) VALUES ('2013', '省级汇总', '河南省')");
    const QString one = s.file("一.xls");
    test::Rows rows{test::uploadHeader(), test::placedRow("郑一")};
    test::writeWorkbook(one.toStdString(), {{"数据信息", rows}});
    ASSERT_EQ(cli(s.home(), {"import", one}).exitCode, 0);
    const CliRun r = cli(s.home(), {"submissions"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.trimmed().split('\n');
    EXPECT_EQ(lines[0], "下级单位\t是否报送\t最近导入时间\t最近导入文件\t导入次数\t现有记录数\t重复导入\t提示");
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("郑州市\t已报送\t")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith("\t一.xls\t1\t1\t\t"));
    EXPECT_EQ(lines[2], "开封市\t未报送\t\t\t0\t0\t\t无记录");
    EXPECT_EQ(cli(s.home(), {"submissions", "extra"}).exitCode, 2);
}

// SIGKILL at different moments while the import writes: the database must come back whole,
// holding exactly the records it held before.
TEST(CliImport, KilledImportLeavesTheOldRecordsEveryTime)
{
    test::TempStore s;
    addDemoRecords(*s.db, 300, 8);
    std::vector<std::string> names, everyName;
    const QStringList local = test::namesOf(*s.db);
    for (const auto &n : local.mid(0, 150))
        names.push_back(n.toStdString());
    for (const auto &n : local)
        everyName.push_back(n.toStdString());
    // Over 1,000 rows and more than half the table: the import drops the indexes and
    // rebuilds them at the end, so a kill must bring them back too.
    for (int i = 0; i < 1050; ++i) {
        names.push_back("新库" + std::to_string(i));
        everyName.push_back("新库" + std::to_string(i));
    }
    const QString upload = s.file("下级.xls");
    writeUpload(upload, names, "77");
    // A workbook naming every local record empties the table before its rows go in.
    const QString uploadAll = s.file("全部.xls");
    writeUpload(uploadAll, everyName, "78");
    const auto before = test::recordRows(*s.db);
    s.db.reset(); // the killed process must not find our connection in the way

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KESTROVA_TEST_IMPORT_ROW_DELAY_MS", "1");
    int killedWhileRunning = 0, killedWhileWriting = 0;
    for (int trial = 0; trial < 20; ++trial) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kCli, {"--home", s.home(), "import", trial % 2 ? uploadAll : upload});
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(60 + trial * 20));
        if (p.state() == QProcess::Running) {
            // The rollback journal exists while the import's transaction is open.
            killedWhileWriting += QFile::exists(s.file("vardo.db-journal")) ? 1 : 0;
            ::kill(pid_t(p.processId()), SIGKILL);
            ++killedWhileRunning;
        }
        p.waitForFinished(30000);
        Database db(s.file("vardo.db"));
        EXPECT_EQ(db.scalar("PRAGMA integrity_check"), "ok") << "trial " << trial;
        EXPECT_EQ(test::recordRows(db), before) << "trial " << trial;
        EXPECT_EQ(db.scalar("SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name='TZ_XIANGMU'"), "4")
            << "trial " << trial;
    }
    EXPECT_EQ(killedWhileRunning, 20) << "the import finished before it could be killed";
    EXPECT_GE(killedWhileWriting, 15) << "most kills must hit the import while it writes";

    // Left alone, the same import completes.
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(kCli, {"--home", s.home(), "import", upload});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    Database db(s.file("vardo.db"));
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TZ_XIANGMU"), "1350");
}
