// kestrova-cli: the system's work without windows, for batch jobs and scripts.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/app_home.h"

#include <QCoreApplication>

using namespace kestrova;
using namespace kestrova::cli;

namespace {
QString usage()
{
    QString text = QStringLiteral("用法：kestrova-cli [--home DIR] 命令 [参数]\n命令：");
    for (const auto &c : commands())
        text += QStringLiteral("\n  ") + QString::fromUtf8(c.usage);
    return text + QStringLiteral("\n不给 --home 时，数据库在 %1").arg(defaultDataDirectory());
}

bool asksForHelp(const QString &word)
{
    return word == QLatin1String("--help") || word == QLatin1String("-h") || word == QLatin1String("help");
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString home;
    try {
        home = takeHomeOption(args);
    } catch (...) {
    }
    setApplicationDirectory(home, QCoreApplication::applicationDirPath());
    if (args.isEmpty()) {
        printErr(usage());
        return 2;
    }
    const QString name = args.takeFirst();
    if (asksForHelp(name)) {
        printOut(usage());
        return 0;
    }
    for (const auto &c : commands()) {
        if (name != QLatin1String(c.name))
            continue;
        try {
            return c.run(args);
        } catch (const UsageError &e) {
            printErr(e.message() + QStringLiteral("\n用法：kestrova-cli ") + QString::fromUtf8(c.usage));
            return 2;
        } catch (const CliError &e) {
            printErr(e.message());
        } catch (const DbError &e) {
            printErr(e.message());
        } catch (const std::exception &e) {
            printErr(QString::fromUtf8(e.what()));
        }
        return 1;
    }
    printErr(QStringLiteral("未知命令：%1").arg(name));
    printErr(usage());
    return 2;
}
