#pragma once
#include "cli/cli_support.h"

namespace kestrova::cli {
// For a command whose subsystem has not landed yet: says so plainly.
[[noreturn]] inline void notAvailableYet(const char *name)
{
    throw CliError(QStringLiteral("命令 %1 尚未提供").arg(QString::fromUtf8(name)));
}
} // namespace kestrova::cli
