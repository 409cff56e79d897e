// report: one summary table of the current task record, as TSV and optionally a workbook.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/context.h"
#include "data/task_record.h"
#include "reports/report_catalogue.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#ifdef KESTROVA_REPORTS_XLS
#include "reports/report_export.h"
#include "xls/errors.h"
#endif

namespace kestrova::cli {

namespace {
QString tsvCell(QString text)
{
    text.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return text;
}
} // namespace

int runReport(const QStringList &args)
{
    const Options o = parseOptions(args, {"--xls"});
    if (o.positional.size() != 1)
        throw CliError(QStringLiteral("用法：kestrova-cli report \"TITLE\" [--xls FILE]"));
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
            cells << tsvCell(grid.text(c, r));
        printOut(cells.join(QLatin1Char('\t')));
    }
    if (o.has("--xls")) {
#ifdef KESTROVA_REPORTS_XLS
        try {
            reports::exportReport(grid, *def, reports::templatePath(*def), o.value("--xls"));
        } catch (const reports::ReportError &e) {
            throw CliError(e.message());
        } catch (const xls::XlsError &e) {
            throw CliError(QString::fromUtf8(e.what()));
        }
#else
        throw CliError(QStringLiteral("本版本不能写工作簿"));
#endif
    }
    return 0;
}

} // namespace kestrova::cli
