// check: the plausibility rules over every record; the failures as TSV, optionally a workbook.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/database_files.h"
#include "data/file_error.h"
#include "records/check_workbook.h"
#include "records/record_check.h"

namespace kestrova::cli {

int runCheck(const QStringList &args)
{
    const Options o = parseOptions(args, {"--xls"}, 0, 0);
    if (o.has("--xls"))
        refuseDatabaseTarget(o.value("--xls")); // before anything is printed
    auto db = openExistingStore();
    const CheckResult result = checkAllRecords(*db);
    QList<QStringList> rows;
    rows.reserve(qsizetype(result.failures.size()));
    for (const CheckFailure &f : result.failures)
        rows << checkRow(f);
    printOut(tsvLine(checkColumns()));
    for (const QStringList &row : rows)
        printOut(tsvLine(row));
    const QString summary = checkSummary(result);
    if (o.has("--xls")) {
        try {
            saveCheckWorkbook(rows, summary, o.value("--xls"));
        } catch (const FileError &e) {
            throw CliError(e.message());
        }
    }
    // The summary goes to stderr, so stdout stays one table.
    printErr(summary);
    return result.failingRecords > 0 ? kRecordsFailCheck : 0;
}

} // namespace kestrova::cli
