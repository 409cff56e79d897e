// The windows of parts three (附属设施) and four (设备仪器).
#include "reports/catalogue_builders.h"
#include "reports/catalogue_parts3_8.h"

namespace kestrova::reports {

namespace {
using namespace builders;

// Both windows of a table share grid, headings, select list and unit caption; they
// differ in titles, rows and export.
using TableShape = void (*)(ReportDefinition &);

void table3_1(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 6;
    d.headings = {sideHeading(d),
                  {1, 1, 2, 1, QStringLiteral("占地面积（亩）")},
                  {3, 1, 2, 1, QStringLiteral("罩棚（万平方米）")},
                  {2, 2, 1, 1, QStringLiteral("其中：可用空地面积")},
                  {4, 2, 1, 1, QStringLiteral("其中：储粮罩棚")},
                  {5, 1, 1, 2, QStringLiteral("\r地坪\r（万平方米）")}};
    d.selectList = {sumOf("占地面积", "a1"), sumOf("空地面积", "a2"), sumOf("罩棚合计", "a3"), sumOf("储粮罩棚", "a4"),
                    sumOf("地坪", "a5")};
    // land in 亩 as read; sheds and floors from square metres into 万平方米
    d.formulas = {aliasColumn(1), aliasColumn(2), aliasColumn(3, 10000), aliasColumn(4, 10000), aliasColumn(5, 10000)};
    d.unit.offsetAtCreation = 60;
}

void table3_2(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 5;
    d.headings = {sideHeading(d),
                  {1, 1, 2, 1, QStringLiteral("铁路专用线")},
                  {3, 1, 2, 1, QStringLiteral("专用码头")},
                  {1, 2, 1, 1, QStringLiteral("（千米）")},
                  {2, 2, 1, 1, QStringLiteral("其中:有效长度")},
                  {3, 2, 1, 1, QStringLiteral("泊位数量（个）")},
                  {4, 2, 1, 1, QStringLiteral("总吨位（万吨）")}};
    d.selectList = {sumOf("铁路专用线", "a1"), sumOf("有效长度", "a2"), sumOf("泊位数量", "a3"), sumOf("总吨位", "a4")};
    // sidings from metres into kilometres; berths are counted
    d.formulas = {aliasColumn(1, 1000), aliasColumn(2, 1000), aliasColumn(3), aliasColumn(4, 10000)};
    d.unit.offsetAtCreation = 60;
}

void table3_3(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 7;
    d.headings = {sideHeading(d), {1, 1, 3, 1, QStringLiteral("接收能力")}, {4, 1, 3, 1, QStringLiteral("发放能力")}};
    const QStringList ways{QStringLiteral("公路"), QStringLiteral("铁路"), QStringLiteral("水路")};
    for (int i = 0; i < 6; ++i)
        d.headings << HeadingBlock{1 + i, 2, 1, 1, ways[i % 3]};
    d.selectList = {sumOf("接收_公路", "a1"), sumOf("接收_铁路", "a2"), sumOf("接收_水路", "a3"),
                    sumOf("发放_公路", "a4"), sumOf("发放_铁路", "a5"), sumOf("发放_水路", "a6")};
    for (int k = 1; k <= 6; ++k)
        d.formulas << aliasColumn(k, 10000);
    d.unit.text = QStringLiteral("单位：万吨/小时");
    d.unit.offsetAtCreation = 0;
}

void table3_4(ReportDefinition &d)
{
    d.headingRows = 4;
    d.columns = 10;
    d.headings = {sideHeading(d), {1, 1, 4, 1, QStringLiteral("露天囤")}, {5, 1, 4, 1, QStringLiteral("露天垛")}};
    for (int c : {1, 5})
        d.headings << HeadingBlock{c, 2, 1, 2, QStringLiteral("数量")} << HeadingBlock{c + 1, 2, 1, 2, QStringLiteral("存粮")}
                   << HeadingBlock{c + 2, 2, 2, 1, QStringLiteral("其中：已防火改造")}
                   << HeadingBlock{c + 2, 3, 1, 1, QStringLiteral("数量")}
                   << HeadingBlock{c + 3, 3, 1, 1, QStringLiteral("存粮")};
    d.headings << HeadingBlock{9, 1, 1, 3, QStringLiteral("\r\r其它临时\r储粮设施")};
    d.selectList = {sumOf("露天囤数量", "a1"),     sumOf("露天囤存粮", "a2"), sumOf("露天囤数量改造", "a3"),
                    sumOf("露天囤存粮改造", "a4"), sumOf("露天垛数量", "a5"), sumOf("露天垛存粮", "a6"),
                    sumOf("露天垛数量改造", "a7"), sumOf("露天垛存粮改造", "a8"), sumOf("临时储粮设施", "a9")};
    // counts as read, stored grain in 万吨
    for (int k = 1; k <= 9; ++k)
        d.formulas << aliasColumn(k, k % 2 && k != 9 ? 1 : 10000);
    d.unit.text = QStringLiteral("单位：个、万吨");
    for (int c = 1; c <= 9; ++c)
        d.columnUnits.insert(c, c % 2 && c < 9 ? QStringLiteral("单位：个") : QStringLiteral("单位：万吨"));
    d.unit.offsetAtCreation = 0;
}

void table3_5(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 3;
    d.headings = {sideHeading(d), {1, 1, 1, 2, QStringLiteral("接收能力")}, {2, 1, 1, 2, QStringLiteral("发放能力")}};
    // The record's grain handling totals, which table 3-3 breaks down by way.
    d.selectList = {sumOf("接收能力", "a1"), sumOf("发放能力", "a2")};
    d.formulas = {aliasColumn(1, 10000), aliasColumn(2, 10000)};
    d.unit.text = QStringLiteral("单位：万吨/小时");
    d.unit.offsetAtCreation = 60;
}

void table4_1(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 7;
    d.headings = {sideHeading(d)};
    const QStringList kinds{QStringLiteral("谷物冷却机"), QStringLiteral("通风机"),         QStringLiteral("输送机"),
                            QStringLiteral("清理设备"),   QStringLiteral("其它移动式设备"), QStringLiteral("汽车衡")};
    for (int i = 0; i < kinds.size(); ++i)
        d.headings << HeadingBlock{1 + i, 1, 1, 2, kinds[i]};
    d.selectList = {sumOf("谷物冷却", "a1"), sumOf("通风机", "a2"),     sumOf("输送机", "a3"),
                    sumOf("清理设备", "a4"), sumOf("移动式设备", "a5"), sumOf("汽车衡", "a6")};
    for (int k = 1; k <= 6; ++k)
        d.formulas << aliasColumn(k);
    d.unit.text = QStringLiteral("单位：台");
    d.unit.offsetAtCreation = 20;
}

void table4_2(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 4;
    d.headings = {sideHeading(d),
                  {1, 1, 1, 1, QStringLiteral("设备数量")},
                  {1, 2, 1, 1, QStringLiteral("（套）")},
                  {2, 1, 1, 1, QStringLiteral("烘干能力")},
                  {2, 2, 1, 1, QStringLiteral("（吨/小时）")},
                  {3, 1, 1, 1, QStringLiteral("年实际烘干粮食数量")},
                  {3, 2, 1, 1, QStringLiteral("（万吨）")}};
    d.selectList = {sumOf("烘干设备数量", "a1"), sumOf("烘干能力", "a2"), sumOf("实际烘干数量", "a3")};
    d.formulas = {aliasColumn(1), aliasColumn(2), aliasColumn(3, 10000)};
    d.unit.offsetAtCreation = 20;
}

void table4_3(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 4;
    d.headings = {sideHeading(d),
                  {1, 1, 1, 1, QStringLiteral("汽车")},
                  {1, 2, 1, 1, QStringLiteral("（辆）")},
                  {2, 1, 1, 1, QStringLiteral("火车")},
                  {2, 2, 1, 1, QStringLiteral("（节）")},
                  {3, 1, 1, 1, QStringLiteral("船舶")},
                  {3, 2, 1, 1, QStringLiteral("（艘）")}};
    d.selectList = {sumOf("汽车", "a1"), sumOf("火车", "a2"), sumOf("船舶", "a3")};
    d.formulas = {aliasColumn(1), aliasColumn(2), aliasColumn(3)};
    d.unit.offsetAtCreation = 20;
}

void table4_4(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 3;
    d.headings = {sideHeading(d), {1, 1, 1, 2, QStringLiteral("企业数量（户）")},
                  {2, 1, 1, 2, QStringLiteral("设备数量（台、套）")}};
    // Every enterprise of the group counts, whether or not it reports instruments.
    d.selectList = {countAll("a1"), sumOf("检验设备", "a2")};
    d.formulas = {aliasColumn(1), aliasColumn(2)};
    d.unit.offsetAtCreation = 60;
}

struct ExportCells {
    int s;
    int k;
    int firstSheetColumn; // where grid column 1 (national) or 0 (breakdown) lands
};

struct TableEntry {
    const char *nationalClass;
    const char *breakdownClass;
    const char *number;        // "3-1": titles 表3-1-1, 表3-1-2, …
    const char *nationalStem;  // the national title after its number
    const char *breakdownStem; // the breakdown titles after their number, before the variant
    const char *grandTotal;
    TableShape shape;
    ExportCells nationalExport;
    ExportCells breakdownExport;
};

// clang-format off
const TableEntry kTables[] = {
    {"TFrmb3_1_1", "TFrmb3_1_2", "3-1", "全国粮油仓储企业附属设施汇总表", "全国粮油仓储企业附属设施汇总表", "全国合计",
     table3_1, {2, 3, 3}, {2, 3, 1}},
    {"TFrmb3_2_1", "TFrmb3_2_2", "3-2", "全国粮油仓储物流设施汇总表", "全国粮油仓储物流设施汇总表", "全国总计",
     table3_2, {3, 2, 3}, {3, 2, 1}},
    {"TFrmb3_3_1", "TFrmb3_3_2", "3-3", "全国散粮中转设施汇总表", "全国散粮中转设施汇总表", "全国总计",
     table3_3, {3, 3, 3}, {3, 3, 1}},
    // The breakdown titles of 表3-4 name 附属设施, the national one 临时储粮设施.
    {"TFrmb3_4_1", "TFrmb3_4_2", "3-4", "全国粮油仓储企业临时储粮设施汇总表", "全国粮油仓储企业附属设施汇总表", "全国总计",
     table3_4, {4, 3, 3}, {4, 3, 1}},
    {"TFrmb3_5_1", "TFrmb3_5_2", "3-5", "全国油脂中转设施汇总表", "全国油脂中转设施汇总表", "全国总计",
     table3_5, {3, 2, 3}, {3, 2, 1}},
    {"TFrmb4_1_1", "TFrmb4_1_2", "4-1", "全国仓储设备基本情况汇总表", "全国仓储设备汇总表", "全国总计",
     table4_1, {3, 2, 3}, {3, 3, 1}},
    {"TFrmb4_2_1", "TFrmb4_2_2", "4-2", "全国烘干设备基本情况表", "全国烘干设备汇总表", "全国总计",
     table4_2, {3, 2, 3}, {3, 2, 1}},
    {"TFrmb4_3_1", "TFrmb4_3_2", "4-3", "全国粮油运输设备汇总表", "全国粮油运输设备汇总表", "全国总计",
     table4_3, {3, 2, 3}, {3, 2, 1}},
    {"TFrmb4_4_1", "TFrmb4_4_2", "4-4", "全国检化验仪器汇总表", "全国检化验仪器汇总表", "全国总计",
     table4_4, {3, 2, 3}, {3, 2, 1}},
};
// clang-format on
} // namespace

std::vector<ReportDefinition> partsThreeAndFourDefinitions()
{
    std::vector<ReportDefinition> all;
    for (const TableEntry &t : kTables) {
        ReportDefinition n = nationalTable(t.nationalClass, t.number, t.nationalStem, t.number);
        t.shape(n);
        const ExportCells &nx = t.nationalExport;
        exportCells(n, nx.s, nx.k, 1, n.columns - 1, nx.firstSheetColumn);
        all.push_back(n);

        ReportDefinition b = breakdownTable(t.breakdownClass, t.number, t.breakdownStem, t.number, t.grandTotal);
        t.shape(b);
        const ExportCells &bx = t.breakdownExport;
        exportCells(b, bx.s, bx.k, 0, b.columns - 1, bx.firstSheetColumn);
        all.push_back(b);
    }
    return all;
}

} // namespace kestrova::reports
