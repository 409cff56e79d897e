// Commands whose subsystems have not landed yet say so plainly instead of pretending.
#include "cli/cli_support.h"
#include "cli/commands.h"

namespace kestrova::cli {

namespace {
int notYet(const char *name)
{
    throw CliError(QStringLiteral("命令 %1 尚未提供").arg(QString::fromUtf8(name)));
}
} // namespace

int runImport(const QStringList &) { return notYet("import"); }
int runExport(const QStringList &) { return notYet("export"); }
int runReport(const QStringList &) { return notYet("report"); }
int runSummary(const QStringList &) { return notYet("summary"); }
int runBackup(const QStringList &) { return notYet("backup"); }
int runRestore(const QStringList &) { return notYet("restore"); }
int runReset(const QStringList &) { return notYet("reset"); }

} // namespace kestrova::cli
