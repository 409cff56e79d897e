// A restore killed part-way leaves the old database or the new one, never a damaged one.
#include "app/system/database_copy.h"
#include "data/demo_records.h"
#include "support/temp_store.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

QProcess *startRestore(const QString &home, const QString &bak)
{
    auto *p = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KESTROVA_TEST_COPY_STEP_DELAY_MS"), QStringLiteral("2"));
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(KESTROVA_BIN_DIR "/kestrova-cli"), {QStringLiteral("--home"), home,
                                                               QStringLiteral("restore"), bak});
    return p;
}

TEST(RestoreKill, EveryKilledRestoreLeavesAnIntactOldOrNewDatabase)
{
    TempStore store;
    addDemoRecords(*store.db, 5, 1);
    const QString oldBak = store.file(QStringLiteral("old.bak"));
    backupDatabase(*store.db, oldBak);
    addDemoRecords(*store.db, 30, 2);
    const QString newBak = store.file(QStringLiteral("new.bak"));
    backupDatabase(*store.db, newBak);
    store.db.reset();

    // How long an undisturbed restore takes, to spread the kills over it.
    restoreDatabase(oldBak, databasePath());
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<QProcess> full(startRestore(store.home(), newBak));
    ASSERT_TRUE(full->waitForFinished(60000));
    ASSERT_EQ(full->exitCode(), 0) << full->readAllStandardError().toStdString();
    const qint64 fullMs = timer.elapsed();
    ASSERT_GT(fullMs, 50);

    int sawOld = 0;
    int sawNew = 0;
    constexpr int kTrials = 20;
    for (int trial = 0; trial < kTrials; ++trial) {
        restoreDatabase(oldBak, databasePath());
        std::unique_ptr<QProcess> p(startRestore(store.home(), newBak));
        ASSERT_TRUE(p->waitForStarted(10000));
        QThread::msleep(static_cast<unsigned long>(fullMs * trial / (kTrials - 4)));
        p->kill(); // SIGKILL
        ASSERT_TRUE(p->waitForFinished(10000));

        Database db(databasePath(), Database::Mode::OpenExisting);
        EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok")) << trial;
        const int records = db.scalar(QStringLiteral("SELECT count(*) FROM TZ_XIANGMU")).toInt();
        EXPECT_TRUE(records == 5 || records == 35) << "trial " << trial << ": " << records;
        sawOld += records == 5;
        sawNew += records == 35;
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
    std::printf("restore %lld ms; killed runs left the old database %d times, the new one %d times\n",
                static_cast<long long>(fullMs), sawOld, sawNew);
}

} // namespace
