// kestrova-cli without --home keeps its data in the user's data folder, init makes the
// folder it is given, and asking for help is not an error.
#include "cli/cli_run.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kestrova::test::CliResult;
using kestrova::test::runCli;

namespace {
const QString kCli = QStringLiteral(KESTROVA_BIN_DIR "/kestrova-cli");

// Runs kestrova-cli with no --home, as a user would, in the environment given.
CliResult runWithoutHome(const QProcessEnvironment &env, const QStringList &args)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(kCli, args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QProcessEnvironment userEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    return env;
}
} // namespace

TEST(CliDataFolder, WithoutHomeTheDatabaseLivesInTheUsersDataFolderNotBesideTheProgram)
{
    QTemporaryDir user;
    const QString data = user.filePath(".local/share/kestrova");
    const QString besideProgram = QStringLiteral(KESTROVA_BIN_DIR "/vardo.db");
    const bool wasBesideProgram = QFile::exists(besideProgram);
    const QProcessEnvironment env = userEnvironment(user.path());

    auto r = runWithoutHome(env, {"init"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(data + "/vardo.db"));
    EXPECT_TRUE(r.out.contains(data + "/vardo.db")) << r.out.toStdString();
    EXPECT_EQ(QFile::exists(besideProgram), wasBesideProgram);

    // The shipped templates are still found while the data sits elsewhere.
    ASSERT_EQ(runWithoutHome(env, {"demo", "30"}).exitCode, 0);
    r = runWithoutHome(env, {"export", user.filePath("up.xls")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GT(QFileInfo(user.filePath("up.xls")).size(), 0);
    r = runWithoutHome(env, {"report", "表2-1-1 全国粮油仓储企业总仓容汇总表", "--xls", user.filePath("r.xls")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_GT(QFileInfo(user.filePath("r.xls")).size(), 0);

    QProcessEnvironment moved = env;
    moved.insert(QStringLiteral("XDG_DATA_HOME"), user.filePath("xdg"));
    ASSERT_EQ(runWithoutHome(moved, {"init"}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(user.filePath("xdg/kestrova/vardo.db"))) << "XDG_DATA_HOME is honoured";
}

TEST(CliDataFolder, InitMakesAMissingHomeFolderAndOtherCommandsDoNot)
{
    QTemporaryDir root;
    const QString missing = root.filePath("offices/henan");
    EXPECT_NE(runCli(missing, {"demo", "5"}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(missing)) << "only init creates the folder";
    const auto r = runCli(missing, {"init"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(missing + "/vardo.db"));
}

TEST(CliHelp, EveryWayOfAskingPrintsTheUsageAndSucceeds)
{
    QTemporaryDir user;
    const QProcessEnvironment env = userEnvironment(user.path());
    const QStringList commands{"init", "task", "demo", "import", "export", "report", "summary", "backup", "restore", "reset"};
    for (const QStringList &args : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"help"},
                                    QStringList{"--home", user.path(), "--help"}}) {
        const auto r = runWithoutHome(env, args);
        const std::string asked = args.join(' ').toStdString();
        EXPECT_EQ(r.exitCode, 0) << asked;
        EXPECT_TRUE(r.out.startsWith("用法：kestrova-cli")) << asked << ": " << r.out.toStdString();
        for (const QString &c : commands)
            EXPECT_TRUE(r.out.contains("\n  " + c)) << asked << " lists " << c.toStdString();
        EXPECT_TRUE(r.out.contains(user.filePath(".local/share/kestrova"))) << asked << " says where the data is";
        EXPECT_TRUE(r.err.isEmpty()) << asked << ": " << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(user.filePath(".local"))) << "help creates nothing";

    const auto unknown = runWithoutHome(env, {"--hlep"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("未知命令：--hlep"));
    EXPECT_TRUE(unknown.out.isEmpty());
}
