#include "cli/commands.h"

namespace kestrova::cli {

const std::vector<Command> &commands()
{
    static const std::vector<Command> table{
        {"init", "init", runInit},
        {"task", "task --year Y --level L [--province P] [--city C] [--county X]", runTask},
        {"demo", "demo N [--seed S]", runDemo},
        {"import", "import [--preview] FILE.xls [FILE.xls ...]", runImport},
        {"submissions", "submissions", runSubmissions},
        {"export", "export FILE.xls", runExport},
        {"report", "report \"TITLE\" [--xls FILE] | report --all DIR", runReport},
        {"check", "check [--xls FILE]（有记录未通过校验时退出码为 3）", runCheck},
        {"summary", "summary [--node PATH] [--ownership 全部|国有|非国有] [--xls FILE]", runSummary},
        {"backup", "backup FILE.bak", runBackup},
        {"restore", "restore FILE.bak", runRestore},
        {"reset", "reset", runReset},
    };
    return table;
}

} // namespace kestrova::cli
