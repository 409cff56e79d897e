#include "cli/commands.h"
#include "cli/not_available.h"

namespace kestrova::cli {

int runBackup(const QStringList &) { notAvailableYet("backup"); }
int runRestore(const QStringList &) { notAvailableYet("restore"); }
int runReset(const QStringList &) { notAvailableYet("reset"); }

} // namespace kestrova::cli
