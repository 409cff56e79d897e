// report: one summary table of the current task record, as TSV and optionally a workbook.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/context.h"
#include "app/system/report_menu.h"
#include "data/database_files.h"
#include "data/file_error.h"
#include "data/task_record.h"
#include "reports/report_catalogue.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#ifdef KESTROVA_REPORTS_XLS
#include "reports/all_reports.h"
#include "reports/report_export.h"
#include "transfer/upload_name.h"
#endif

namespace kestrova::cli {


namespace {

// report --all DIR: every table the task's level offers, as the desktop's 全部报表 writes them.
int runAllReports(const Options &o)
{
#ifdef KESTROVA_REPORTS_XLS
    if (!o.positional.isEmpty() || o.has("--xls"))
        throw UsageError(QStringLiteral("--all 不与报表标题或 --xls 同用"));
    auto db = openExistingStore();
    const auto task = loadTask(*db);
    if (!task)
        throw CliError(QStringLiteral("还没有任务信息，请先用 task 命令设置汇总级别"));
    loadTaskIntoContext(*db);
    reports::AllReportsRequest request;
    request.titles = offeredReportTitles(task->level);
    request.folder = o.value("--all");
    request.year = task->year;
    request.office = transfer::unitLabel(task->level, task->province, task->city, task->county);
    try {
        const auto result = reports::writeAllReports(*db, context(), request);
        for (const QString &file : result.files)
            printOut(file);
    } catch (const reports::ReportError &e) {
        throw CliError(e.message());
    } catch (const FileError &e) {
        throw CliError(e.message());
    }
    return 0;
#else
    (void)o;
    throw CliError(QStringLiteral("本版本不能写工作簿"));
#endif
}

} // namespace

int runReport(const QStringList &args)
{
    const Options o = parseOptions(args, {"--xls", "--all"}, 0, 1);
    if (o.has("--all"))
        return runAllReports(o);
    if (o.positional.isEmpty())
        throw UsageError(QStringLiteral("缺少报表标题"));
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
            cells << tsvCell(grid.text(c, r));
        printOut(cells.join(QLatin1Char('\t')));
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
