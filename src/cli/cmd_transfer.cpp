#include "cli/commands.h"
#include "cli/not_available.h"

namespace kestrova::cli {

int runImport(const QStringList &) { notAvailableYet("import"); }
int runExport(const QStringList &) { notAvailableYet("export"); }

} // namespace kestrova::cli
