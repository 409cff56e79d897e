#include "cli/commands.h"
#include "cli/not_available.h"

namespace kestrova::cli {

int runSummary(const QStringList &) { notAvailableYet("summary"); }

} // namespace kestrova::cli
