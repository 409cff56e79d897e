// summary: the annual summary of all 72 indicators for one node of the tree.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/database_files.h"
#include "data/task_record.h"
#include "reports/summary/summary_condition.h"
#include "reports/summary/summary_export.h"
#include "reports/summary/summary_figures.h"
#include "reports/summary/summary_header.h"
#include "reports/summary/summary_tree.h"

#include <QDate>

namespace kestrova::cli {

int runSummary(const QStringList &args)
{
    const Options o = parseOptions(args, {"--node", "--ownership", "--xls"});
    const auto ownership = ownershipFromCaption(o.value("--ownership", QStringLiteral("全部")));
    if (!ownership)
        throw CliError(QStringLiteral("企业性质应为 全部、国有 或 非国有：%1").arg(o.value("--ownership")));

    if (o.has("--xls"))
        refuseDatabaseTarget(o.value("--xls")); // before anything is printed
    auto db = openExistingStore();
    const QString path = o.value("--node");
    const auto node = findNode(*db, path);
    if (!node)
        throw CliError(QStringLiteral("汇总树中没有节点：%1").arg(path));
    const SummarySelection selection = node->selection();
    const SummaryFigures figures = summaryFigures(*db, summaryCondition(selection, *ownership));

    printOut(QStringLiteral("企业个数\t") + figures.count);
    for (int k = 1; k <= kIndicatorCount; ++k)
        printOut(QStringLiteral("a%1\t").arg(k) + figures.sums[size_t(k - 1)]);

    if (o.has("--xls")) {
        SummaryHeader h;
        h.tabulatingUnit = tabulatingUnit(*db);
        h.date = tabulationDate(QDate::currentDate());
        h.year = summaryYear(*db);
        h.unit = summaryUnit(selection);
        h.ownership = *ownership;
        h.count = figures.count;
        writeSummaryWorkbook(summaryTemplatePath(), o.value("--xls"), h, figures.sums);
    }
    return 0;
}

} // namespace kestrova::cli
