// report: one summary table of the current task record, as TSV and optionally a workbook.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/context.h"
#include "data/database_files.h"
#include "data/task_record.h"
#include "reports/report_catalogue.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#ifdef KESTROVA_REPORTS_XLS
#include "reports/report_export.h"
#endif

namespace kestrova::cli {

int runReport(const QStringList &args)
{
    const Options o = parseOptions(args, {"--xls"}, 1, 1);
    if (o.has("--xls"))
        refuseDatabaseTarget(o.value("--xls")); // before anything is printed
    const QString title = o.positional.first();
    const reports::ReportDefinition *def = reports::definitionForTitle(title);
    if (!def)
        throw CliError(QStringLiteral("没有这张报表：%1").arg(title));

    auto db = openExistingStore();
    loadTaskIntoContext(*db);
    context().reportTitle = title;
    reports::ReportGrid grid;
    try {
        reports::buildReport(*db, context(), *def, reports::windowClassState(def->className), grid);
    } catch (const reports::ReportError &e) {
        throw CliError(e.message());
    }
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c)
            cells << grid.text(c, r);
        printOut(tsvLine(cells));
    }
    if (o.has("--xls")) {
#ifdef KESTROVA_REPORTS_XLS
        try {
            reports::exportReport(grid, *def, reports::templatePath(*def), o.value("--xls"));
        } catch (const reports::ReportError &e) {
            throw CliError(e.message());
        }
#else
        throw CliError(QStringLiteral("本版本不能写工作簿"));
#endif
    }
    return 0;
}

} // namespace kestrova::cli
