// What a careless or unlucky user does to the database file through kestrova-cli: saving
// onto it, restoring over a crashed or read-only one, restoring a foreign or damaged copy,
// backing up a damaged one, killing a write half-way. Each time the database stays whole.
#include "cli/cli_home.h"
#include "data/database_files.h"
#include "data/schema.h"
#include "data/schema_check.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

const QString kReport = QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）");

bool isTemporary(const QString &name)
{
    return name.startsWith(QStringLiteral(".kestrova-tmp-"));
}

using DatabaseSafety = CliHome;

TEST_F(DatabaseSafety, WorkbooksAndBackupsNamingTheDatabaseAreRefusedBeforeAnythingIsWritten)
{
    // Every way of naming the database or a file SQLite keeps beside it: its path, the path
    // with ".", ".." and doubled slashes, a journal that does not exist yet, symbolic links
    // (one to a -wal that does not exist) and hard links.
    const QString dotted = store.home() + QStringLiteral("/./../") + QFileInfo(store.home()).fileName() +
                           QStringLiteral("//vardo.db");
    ASSERT_TRUE(QFile::link(QStringLiteral("vardo.db"), store.file(QStringLiteral("link.xls"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("vardo.db-wal"), store.file(QStringLiteral("wal.xls"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("vardo.db"), store.file(QStringLiteral("link.bak"))));
    ASSERT_TRUE(QFile::link(QStringLiteral("vardo.db-shm"), store.file(QStringLiteral("shm.bak"))));
    ASSERT_EQ(::link(QFile::encodeName(db()).constData(), QFile::encodeName(store.file("hard.xls")).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(db()).constData(), QFile::encodeName(store.file("hard.bak")).constData()), 0);
    const QStringList entries = folderEntries(store.home());

    const QStringList workbooks{db(), dotted, db() + QStringLiteral("-journal"), store.file(QStringLiteral("link.xls")),
                                store.file(QStringLiteral("wal.xls")), store.file(QStringLiteral("hard.xls"))};
    QList<QStringList> commands;
    for (const QString &target : workbooks) {
        commands << QStringList{"export", target} << QStringList{"report", kReport, "--xls", target}
                 << QStringList{"summary", "--xls", target};
    }
    for (const char *bak : {"link.bak", "shm.bak", "hard.bak"})
        commands << QStringList{"backup", store.file(QString::fromUtf8(bak))};
    for (const QStringList &args : commands) {
        const std::string what = args.join(' ').toStdString();
        const CliResult r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << what;
        EXPECT_TRUE(r.err.contains(QStringLiteral("本系统的数据库"))) << what << ": " << r.err.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("成功"))) << what;
        EXPECT_TRUE(r.out.isEmpty()) << what << ": refused before any work";
        expectIntact(entries, what);
    }

    // The same commands still write a file of another name.
    for (const QStringList &args : {QStringList{"export", store.file("上报.xls")},
                                    QStringList{"report", kReport, "--xls", store.file("表.xls")},
                                    QStringList{"summary", "--xls", store.file("汇总.xls")},
                                    QStringList{"backup", store.file("副本.bak")}}) {
        const CliResult r = cli(args);
        EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(QFile::exists(args.contains("--xls") ? args.last() : args[1]));
    }
    EXPECT_TRUE(databaseState(db()).rows == before.rows);
}

// The home as a program killed while it wrote in WAL mode leaves it: frames in its -wal
// that never reached the file, and the -shm beside them.
void leaveCrashedWalDatabase(const QString &file, const QString &scratch)
{
    {
        Database live(file);
        live.exec(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"));
        live.exec(QStringLiteral("DELETE FROM TZ_XIANGMU WHERE ID > 3"));
        live.exec(QStringLiteral("UPDATE TZ_XIANGMU SET 占地面积 = 999"));
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            ASSERT_TRUE(QFile::copy(file + suffix, scratch + suffix));
    } // closing writes the WAL back; the copies keep the crash
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        QFile::remove(file + suffix);
        ASSERT_TRUE(QFile::copy(scratch + suffix, file + suffix));
    }
}

QByteArray journalModeBytes(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(18))
        return {};
    return f.read(2); // file format write and read versions: 1 rollback journal, 2 WAL
}

TEST_F(DatabaseSafety, RestoreLeavesNoOldWalToReplayAndTurnsAWalBackupIntoTheRollbackJournal)
{
    const QString plain = store.file(QStringLiteral("plain.bak"));
    ASSERT_EQ(cli({"backup", plain}).exitCode, 0);
    leaveCrashedWalDatabase(db(), store.file(QStringLiteral("crash")));
    ASSERT_TRUE(QFile::exists(db() + QStringLiteral("-wal")));

    CliResult r = cli({"restore", plain});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("文件恢复成功！")));
    for (const QString &suffix : companionSuffixes())
        EXPECT_FALSE(QFile::exists(db() + suffix)) << suffix.toStdString();
    EXPECT_EQ(journalModeBytes(db()), QByteArray("\1\1", 2));
    DatabaseState now = databaseState(db());
    EXPECT_EQ(now.integrity, "ok");
    EXPECT_TRUE(now.rows == before.rows) << "the old WAL was played into the restored file";

    // A backup another tool left in WAL mode comes back in the rollback journal.
    const QString wal = store.file(QStringLiteral("wal.bak"));
    ASSERT_TRUE(QFile::copy(plain, wal));
    {
        Database w(wal);
        w.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    ASSERT_EQ(journalModeBytes(wal), QByteArray("\2\2", 2));
    r = cli({"restore", wal});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(journalModeBytes(db()), QByteArray("\1\1", 2));
    for (const QString &suffix : companionSuffixes())
        EXPECT_FALSE(QFile::exists(db() + suffix)) << suffix.toStdString();
    now = databaseState(db());
    EXPECT_EQ(now.integrity, "ok");
    EXPECT_TRUE(now.rows == before.rows);
}

TEST_F(DatabaseSafety, RestoreTakesOnlyExactlyThisProgramsTablesColumnsAndIndexes)
{
    const QString good = store.file(QStringLiteral("good.bak"));
    ASSERT_EQ(cli({"backup", good}).exitCode, 0);
    QStringList swappedLog = changeLogColumns();
    swappedLog.swapItemsAt(0, 1);
    QStringList logDefs;
    for (const QString &c : swappedLog)
        logDefs << QStringLiteral("\"%1\" TEXT NOT NULL DEFAULT ''").arg(c);
    struct Case {
        const char *file;
        QString change;
        QString named; // what the refusal must name
    };
    const Case cases[] = {
        {"trigger.bak",
         QStringLiteral("CREATE TRIGGER 清空 AFTER INSERT ON TZ_XIANGMU BEGIN DELETE FROM TZ_XIANGMU WHERE ID <> NEW.ID; END"),
         QStringLiteral("含有触发器 清空")},
        {"nopasswd.bak", QStringLiteral("ALTER TABLE userinfo DROP COLUMN passwd"), QStringLiteral("表 userinfo 缺少列 passwd")},
        {"renamed.bak", QStringLiteral("ALTER TABLE TZ_XIANGMU RENAME COLUMN 企业名称 TO 企业名"),
         QStringLiteral("表 TZ_XIANGMU 缺少列 企业名称")},
        {"task.bak", QStringLiteral("DROP TABLE 任务信息; CREATE TABLE 任务信息(年份 TEXT, 汇总级别 TEXT)"),
         QStringLiteral("表 任务信息 缺少列 省")},
        {"order.bak", QStringLiteral("DROP TABLE 修改日志; CREATE TABLE 修改日志(") + logDefs.join(',') + ')',
         QStringLiteral("表 修改日志 第 1 列应为 组织机构代码，却是 企业名称")},
        {"type.bak",
         QStringLiteral("DROP TABLE userinfo; CREATE TABLE userinfo (f2 INTEGER NOT NULL DEFAULT '', passwd TEXT NOT NULL DEFAULT '')"),
         QStringLiteral("表 userinfo 的列 f2 类型为 INTEGER，应为 TEXT")},
        {"view.bak", QStringLiteral("CREATE VIEW 全部 AS SELECT * FROM TZ_XIANGMU"), QStringLiteral("含有视图 全部")},
        {"index.bak", QStringLiteral("CREATE INDEX ix_备注 ON TZ_XIANGMU(备注)"), QStringLiteral("表 TZ_XIANGMU 多出索引 ix_备注")},
        {"noindex.bak", QStringLiteral("DROP INDEX ix_企业名称"), QStringLiteral("表 TZ_XIANGMU 缺少索引 ix_企业名称")},
        {"extra.bak", QStringLiteral("CREATE TABLE 其他(a)"), QStringLiteral("多出表 其他")},
    };
    for (const Case &c : cases) {
        const QString bak = store.file(QString::fromUtf8(c.file));
        ASSERT_TRUE(QFile::copy(good, bak));
        {
            Database changed(bak);
            changed.exec(c.change);
        }
        const QStringList entries = folderEntries(store.home());
        const CliResult r = cli({"restore", bak});
        EXPECT_EQ(r.exitCode, 1) << c.file;
        EXPECT_TRUE(r.err.contains(QStringLiteral("不是本系统的数据库"))) << c.file << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.named)) << c.file << ": " << r.err.toStdString();
        expectIntact(entries, c.file);
    }
    const CliResult r = cli({"restore", good});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(databaseState(db()).rows == before.rows);
}

TEST_F(DatabaseSafety, ABackupMadeBeforeATableWasAddedIsRestoredWithThatTableCreated)
{
    if (laterTables().isEmpty())
        GTEST_SKIP() << "every table is as old as the first backups";
    const QString good = store.file(QStringLiteral("good.bak"));
    ASSERT_EQ(cli({"backup", good}).exitCode, 0);
    for (const QString &table : laterTables()) {
        const QString old = store.file(QStringLiteral("old.bak"));
        QFile::remove(old);
        ASSERT_TRUE(QFile::copy(good, old));
        {
            Database d(old);
            d.exec(QStringLiteral("DROP TABLE \"%1\"").arg(table));
        }
        const CliResult r = cli({"restore", old});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        Database restored(db());
        EXPECT_TRUE(restored.hasTable(table)) << table.toStdString();
        EXPECT_TRUE(schemaDifferences(restored).isEmpty()) << schemaDifferences(restored).join(' ').toStdString();
        EXPECT_EQ(restored.scalar(QStringLiteral("PRAGMA integrity_check")), "ok");
    }
}

TEST_F(DatabaseSafety, BackupOfADamagedDatabaseSaysItIsDamagedAndWritesNoFile)
{
    damageRecords(db());
    const QByteArray damaged = fileDigest(db());
    const QStringList entries = folderEntries(store.home());
    const QString bak = store.file(QStringLiteral("damaged.bak"));
    const CliResult r = cli({"backup", bak});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("数据库文件已损坏，不能备份"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("恢复"))) << "says what to do";
    EXPECT_FALSE(r.out.contains(QStringLiteral("数据备份成功")));
    EXPECT_FALSE(QFile::exists(bak));
    EXPECT_EQ(folderEntries(store.home()), entries);
    EXPECT_EQ(fileDigest(db()), damaged) << "the damaged file itself is left for the restore";
}

// Starts a command, waits until its temporary file appears in folder and kills it there.
// Returns false when the command ended first.
bool killWhileItWrites(const QString &home, const QStringList &args, const QString &folder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTROVA_TEST_COPY_STEP_DELAY_MS"), QStringLiteral("2"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KESTROVA_BIN_DIR "/kestrova-cli"), QStringList{"--home", home} + args);
    if (!p.waitForStarted(10000))
        return false;
    QElapsedTimer t;
    t.start();
    bool seen = false;
    while (!seen && p.state() == QProcess::Running && t.elapsed() < 30000) {
        for (const QString &e : folderEntries(folder))
            seen = seen || isTemporary(e);
    }
    if (!seen || p.state() != QProcess::Running) {
        p.waitForFinished(30000);
        return false;
    }
    p.kill(); // SIGKILL: no clean-up runs
    p.waitForFinished(10000);
    return true;
}

QStringList temporariesIn(const QString &folder)
{
    QStringList out;
    for (const QString &e : folderEntries(folder))
        if (isTemporary(e))
            out << e;
    return out;
}

TEST_F(DatabaseSafety, WhatKilledExportsBackupsAndRestoresLeaveIsRemovedByTheNextRun)
{
    {
        auto d = openStore(StoreOpen::MustExist);
        addDemoRecords(*d, 20000, 9); // a workbook big enough to be caught while it is saved
    }
    before = databaseState(db());
    const QString out = store.file(QStringLiteral("out"));
    QDir().mkpath(out);

    bool killed = false;
    for (int attempt = 0; attempt < 5 && !killed; ++attempt)
        killed = killWhileItWrites(store.home(), {"export", out + QStringLiteral("/上报.xls")}, out);
    ASSERT_TRUE(killed) << "the export always finished before it could be killed";
    EXPECT_FALSE(temporariesIn(out).isEmpty()) << "the killed export left its temporary";
    EXPECT_FALSE(QFile::exists(out + QStringLiteral("/上报.xls")));
    CliResult r = cli({"export", out + QStringLiteral("/另一个.xls")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(temporariesIn(out), QStringList()) << "the next export into the folder removes it";

    ASSERT_TRUE(killWhileItWrites(store.home(), {"backup", out + QStringLiteral("/副本.bak")}, out));
    EXPECT_FALSE(temporariesIn(out).isEmpty());
    r = cli({"backup", out + QStringLiteral("/再一份.bak")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(temporariesIn(out), QStringList());

    ASSERT_TRUE(killWhileItWrites(store.home(), {"restore", out + QStringLiteral("/再一份.bak")}, store.home()));
    EXPECT_FALSE(temporariesIn(store.home()).isEmpty());
    r = cli({"summary"}); // any command that opens the database
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(temporariesIn(store.home()), QStringList());
    const DatabaseState now = databaseState(db());
    EXPECT_EQ(now.integrity, "ok");
    EXPECT_TRUE(now.rows == before.rows);
}

TEST_F(DatabaseSafety, RestoreRefusesAReadOnlyDatabaseAsEveryOtherWriterDoes)
{
    const QString good = store.file(QStringLiteral("good.bak"));
    ASSERT_EQ(cli({"backup", good}).exitCode, 0);
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(db(), readOnly));
    const QByteArray digest = fileDigest(db());
    const QStringList entries = folderEntries(store.home());
    for (const QStringList &args : {QStringList{"reset"}, QStringList{"demo", "1"}, QStringList{"restore", good}}) {
        const CliResult r = cli(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("只读"))) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(fileDigest(db()), digest) << args.join(' ').toStdString();
    }
    EXPECT_EQ(QFile::permissions(db()) & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
    expectIntact(entries, "read-only");
    QFile::setPermissions(db(), readOnly | QFileDevice::WriteOwner);
}

} // namespace
