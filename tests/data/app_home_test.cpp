// Where the database and the shipped files are found: the user's data folder by default,
// a --home folder when given, templates beside the executable in a build tree or in the
// share folder of an installed program.
#include "data/app_home.h"
#include "data/context.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace kestrova;

namespace {
// Sets or unsets an environment variable for one test and puts the old value back.
class EnvOverride {
public:
    EnvOverride(const char *name, const std::optional<QString> &value) : m_name(name)
    {
        if (qEnvironmentVariableIsSet(name))
            m_old = qEnvironmentVariable(name);
        if (value)
            qputenv(name, value->toUtf8());
        else
            qunsetenv(name);
    }
    ~EnvOverride()
    {
        if (m_old)
            qputenv(m_name, m_old->toUtf8());
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    std::optional<QString> m_old;
};

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}

QString slash(const QString &dir)
{
    return QDir::cleanPath(dir) + QLatin1Char('/');
}

class AppHome : public ::testing::Test {
protected:
    QTemporaryDir root;
    EnvOverride home{"HOME", root.filePath(QStringLiteral("user"))};
    EnvOverride xdg{"XDG_DATA_HOME", std::nullopt};
    void TearDown() override { context() = GlobalContext{}; }
    QString at(const QString &relative) const { return root.filePath(relative); }
};
} // namespace

TEST_F(AppHome, DatabaseDefaultsToTheUsersDataFolderNotTheExecutablesOne)
{
    setApplicationDirectory(QString(), at("prefix/bin"));
    EXPECT_EQ(context().appDir, slash(at("user/.local/share/kestrova")));
    EXPECT_EQ(databasePath(), at("user/.local/share/kestrova/vardo.db"));

    EnvOverride moved("XDG_DATA_HOME", at("elsewhere"));
    setApplicationDirectory(QString(), at("prefix/bin"));
    EXPECT_EQ(databasePath(), at("elsewhere/kestrova/vardo.db")) << "XDG_DATA_HOME moves the data folder";

    setApplicationDirectory(at("chosen"), at("prefix/bin"));
    EXPECT_EQ(databasePath(), at("chosen/vardo.db")) << "--home overrides the data folder";
    EXPECT_FALSE(QFileInfo::exists(at("elsewhere"))) << "choosing a folder creates nothing";
}

TEST_F(AppHome, MakingTheFolderCreatesMissingParentsAndFailsOnAFile)
{
    setApplicationDirectory(QString(), at("prefix/bin"));
    ASSERT_TRUE(makeApplicationDirectory());
    EXPECT_TRUE(QFileInfo(at("user/.local/share/kestrova")).isDir());
    EXPECT_TRUE(makeApplicationDirectory()) << "an existing folder is fine";

    touch(at("plain-file"));
    setApplicationDirectory(at("plain-file"), at("prefix/bin"));
    EXPECT_FALSE(makeApplicationDirectory());
    setApplicationDirectory(at("plain-file/below"), at("prefix/bin"));
    EXPECT_FALSE(makeApplicationDirectory());
}

TEST_F(AppHome, ShippedFilesComeFromTheHomeTheBuildTreeOrTheShareFolder)
{
    const QString tmpl = QStringLiteral("templet/out.xls");
    struct Case {
        const char *fault;
        QStringList present; // files made before the look-up, relative to root
        QString home;        // --home, empty for the default
        QString bin;         // the executable's folder
        QString expected;    // relative to root
    };
    const Case cases[] = {
        {"an installed program reads its share folder", {"usr/share/kestrova/" + tmpl}, {}, "usr/bin",
         "usr/share/kestrova/" + tmpl},
        {"a build tree reads beside the executable", {"build/bin/" + tmpl}, {}, "build/bin", "build/bin/" + tmpl},
        {"a copy in the data folder does not shadow the installed one",
         {"usr/share/kestrova/" + tmpl, "user/.local/share/kestrova/" + tmpl}, {}, "usr/bin",
         "usr/share/kestrova/" + tmpl},
        {"--home keeps its own templates first", {"usr/share/kestrova/" + tmpl, "mine/" + tmpl}, "mine", "usr/bin",
         "mine/" + tmpl},
        {"--home without templates falls back to the installed ones", {"usr/share/kestrova/" + tmpl}, "mine2",
         "usr/bin", "usr/share/kestrova/" + tmpl},
        {"a missing file is named in the share folder when there is one", {"opt/share/kestrova/help.html"}, {},
         "opt/bin", "opt/share/kestrova/" + tmpl},
        {"a missing file is named beside the executable otherwise", {}, {}, "bare/bin", "bare/bin/" + tmpl},
    };
    for (const Case &c : cases) {
        QTemporaryDir scratch;
        auto in = [&](const QString &relative) { return scratch.filePath(relative); };
        EnvOverride user("HOME", in("user"));
        for (const QString &p : c.present)
            touch(in(p));
        setApplicationDirectory(c.home.isEmpty() ? QString() : in(c.home), in(c.bin));
        EXPECT_EQ(shippedFile(tmpl), in(c.expected)) << c.fault;
        EXPECT_EQ(templateDirectory(), slash(in(c.expected) + QStringLiteral("/../.."))) << c.fault;
    }
}
