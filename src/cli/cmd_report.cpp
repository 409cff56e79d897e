#include "cli/commands.h"
#include "cli/not_available.h"

namespace kestrova::cli {

int runReport(const QStringList &) { notAvailableYet("report"); }

} // namespace kestrova::cli
