#pragma once
// The table of kestrova-cli commands. Each command lives in its own cmd_*.cpp.
#include <QStringList>

#include <vector>

namespace kestrova::cli {

struct Command {
    const char *name;
    const char *usage;
    int (*run)(const QStringList &args); // 0 on success; throws CliError on refusal
};

const std::vector<Command> &commands();

// The exit status of check when some record fails a rule (1 is a failure to run, 2 a
// usage error).
inline constexpr int kRecordsFailCheck = 3;

int runInit(const QStringList &args);
int runTask(const QStringList &args);
int runDemo(const QStringList &args);
int runImport(const QStringList &args);
int runSubmissions(const QStringList &args);
int runExport(const QStringList &args);
int runReport(const QStringList &args);
int runCheck(const QStringList &args);
int runSummary(const QStringList &args);
int runBackup(const QStringList &args);
int runRestore(const QStringList &args);
int runReset(const QStringList &args);

} // namespace kestrova::cli
