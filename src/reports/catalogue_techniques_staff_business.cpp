// The windows of parts five (储粮技术应用), six (储粮药剂管理), seven (从业人员) and
// eight (经营情况).
#include "reports/catalogue_builders.h"
#include "reports/catalogue_parts3_8.h"

namespace kestrova::reports {

namespace {
using namespace builders;

using TableShape = void (*)(ReportDefinition &);

void headOnly(ReportDefinition &d, const QStringList &columnHeadings)
{
    d.headingRows = 3;
    d.columns = int(columnHeadings.size()) + 1;
    d.headings = {sideHeading(d)};
    for (int i = 0; i < columnHeadings.size(); ++i)
        d.headings << HeadingBlock{1 + i, 1, 1, 2, columnHeadings[i]};
}

void table5(ReportDefinition &d)
{
    headOnly(d, {QStringLiteral("环流熏蒸"), QStringLiteral("粮情测控"), QStringLiteral("机械通风")});
    // capacity in tonnes equipped with each technique, shown in 万吨
    d.selectList = {sumOf("环流熏蒸", "a1"), sumOf("粮情测控", "a2"), sumOf("机械通风", "a3")};
    d.formulas = {aliasColumn(1, 10000), aliasColumn(2, 10000), aliasColumn(3, 10000)};
    d.unit.text = QStringLiteral("单位：万吨");
    d.unit.offsetAtCreation = 60;
}

void table6(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 3;
    // The empty cell under 储粮药剂 heads the total.
    d.headings = {sideHeading(d), {1, 1, 2, 1, QStringLiteral("储粮药剂")}, {2, 2, 1, 1, QStringLiteral("其中：熏蒸剂")}};
    d.selectList = {sumOf("储粮药剂", "a1"), sumOf("熏蒸剂", "a2")};
    d.formulas = {aliasColumn(1), aliasColumn(2)};
    d.unit.text = QStringLiteral("单位：公斤");
    d.unit.offsetAtCreation = 160;
}

void table7(ReportDefinition &d)
{
    headOnly(d, {QStringLiteral("合计"), QStringLiteral("粮油保管员"), QStringLiteral("粮油质检员")});
    d.selectList = {sumOf("粮油保管员", "a1"), sumOf("质量检验员", "a2"), sumOf("从业人员", "a3")};
    // The total is the reported staff, which includes people of neither kind; it is
    // not the sum of the two columns beside it.
    d.formulas = {aliasText(3), aliasColumn(1), aliasColumn(2)};
    d.unit.text = QStringLiteral("单位：人");
    d.unit.offsetAtCreation = 60;
}

void table8(ReportDefinition &d)
{
    headOnly(d, {QStringLiteral("粮油经营量"), QStringLiteral("其中：散进散出量")});
    d.selectList = {sumOf("经营量", "a1"), sumOf("散进散出量", "a2")};
    d.formulas = {aliasColumn(1, 10000), aliasColumn(2, 10000)};
    d.unit.text = QStringLiteral("单位：万吨");
    d.unit.offsetAtCreation = 100;
}

struct TableEntry {
    const char *nationalClass;
    const char *breakdownClass;
    const char *number; // "5": titles 表5-1, 表5-2, …
    const char *folder; // both windows' templates lie in the national table's folder
    const char *stem;
    TableShape shape;
    int k; // row offset of both windows' export
};

const TableEntry kTables[] = {
    {"TFrmb5_1", "TFrmb5_2", "5", "5-1", "全国储粮技术应用情况汇总表", table5, 2},
    {"TFrmb6_1", "TFrmb6_2", "6", "6-1", "全国储粮药剂管理情况汇总表", table6, 3},
    {"TFrmb7_1", "TFrmb7_2", "7", "7-1", "全国粮油仓储企业从业人员汇总表", table7, 3},
    {"TFrmb8_1", "TFrmb8_2", "8", "8-1", "全国粮油经营情况汇总表", table8, 2},
};
} // namespace

std::vector<ReportDefinition> partsFiveToEightDefinitions()
{
    std::vector<ReportDefinition> all;
    for (const TableEntry &t : kTables) {
        // The national templates carry their own title and row labels.
        ReportDefinition n = nationalTable(t.nationalClass, t.number, t.stem, t.folder);
        t.shape(n);
        exportCells(n, 3, t.k, 1, n.columns - 1, 3);
        all.push_back(n);

        ReportDefinition b = breakdownTable(t.breakdownClass, t.number, t.stem, t.folder);
        t.shape(b);
        exportCells(b, 3, t.k, 0, b.columns - 1, 1);
        all.push_back(b);
    }
    return all;
}

} // namespace kestrova::reports
