// kestrova-cli export and import, and an import killed while it writes.
#include "transfer/messages.h"
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

    const CliRun ok = cli(s.home(), {"import", two});
    EXPECT_EQ(ok.exitCode, 0);
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
