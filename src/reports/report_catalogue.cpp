// The windows of parts one (number of enterprises) and two (storage capacity).
#include "reports/report_catalogue.h"

#include "reports/catalogue_parts3_8.h"

#include <QHash>

namespace kestrova::reports {

namespace {
using Kind = ColumnFormula::Kind;

QString tableNameOf(const QString &stem)
{
    QString name = stem;
    name.remove(name.indexOf(QStringLiteral("全国")), 2);
    return name;
}

ReportDefinition national(const QString &className, const QString &number, const QString &stem)
{
    ReportDefinition d;
    d.className = className;
    d.kind = TableKind::NationalSummary;
    d.titles = {{QStringLiteral("表%1-1 %2").arg(number, stem), Variant::ByRegion}};
    d.tableName = tableNameOf(stem);
    d.exportSpec.folder = number;
    return d;
}

// A breakdown window serves its -2 title and the variants -4 … -8.
ReportDefinition breakdown(const QString &className, const QString &number, const QString &stem)
{
    ReportDefinition d;
    d.className = className;
    d.kind = TableKind::Breakdown;
    for (Variant v : {Variant::ByRegion, Variant::StateOwned, Variant::NonStateOwned, Variant::Reserve,
                      Variant::Processing, Variant::Logistics})
        d.titles << ServedTitle{QStringLiteral("表%1-%2 %3%4").arg(number).arg(int(v)).arg(stem, variantText(v)), v};
    d.tableName = tableNameOf(stem);
    d.exportSpec.folder = number;
    d.exportSpec.fixedFile = QStringLiteral("表%1-2 通表").arg(number);
    return d;
}

void exportCells(ReportDefinition &d, int s, int firstGrid, int lastGrid, int firstSheet)
{
    d.exportSpec.firstRow = s;
    d.exportSpec.rowOffset = 3;
    d.exportSpec.firstGridColumn = firstGrid;
    d.exportSpec.lastGridColumn = lastGrid;
    d.exportSpec.firstSheetColumn = firstSheet;
}

QString side(const ReportDefinition &d)
{
    return d.isNational() ? QStringLiteral("类别") : QStringLiteral("地区");
}

QList<HeadingBlock> bandHeadings()
{
    return {{2, 2, 1, 1, QStringLiteral("2.5万吨以下")},
            {3, 2, 1, 1, QStringLiteral("2.5-5万吨")},
            {4, 2, 1, 1, QStringLiteral("5-10万吨")},
            {5, 2, 1, 1, QStringLiteral("10万吨以上")}};
}

QStringList categoryLabels(int memberIndent, int localIndent, int otherIndent)
{
    const auto pad = [](int n, const char *text) { return QString(n, QLatin1Char(' ')) + QString::fromUtf8(text); };
    return {QStringLiteral("一、按经营类型"), pad(memberIndent, "储备"), pad(memberIndent, "加工"),
            pad(memberIndent, "物流"), QStringLiteral("二、按企业性质"), QStringLiteral("（一）国有企业"),
            pad(localIndent, "地方"), QStringLiteral("（二）非国有企业"), pad(otherIndent, "民营企业"),
            pad(otherIndent, "外资企业")};
}

Aggregate sumOf(const char *column, const char *alias)
{
    return {Aggregate::Fn::Sum, QString::fromUtf8(column), QString::fromUtf8(alias)};
}

ColumnFormula scaled(QStringList aliases, double divisor = 1, double multiplier = 1)
{
    ColumnFormula f;
    f.kind = Kind::Scaled;
    f.aliases = std::move(aliases);
    f.divisor = divisor;
    f.multiplier = multiplier;
    return f;
}

ColumnFormula sumOfColumns(QList<int> columns)
{
    ColumnFormula f;
    f.kind = Kind::SumOfColumns;
    f.columns = std::move(columns);
    return f;
}

// Table 1-1: enterprises counted per capacity band.
void table1_1(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 6;
    d.headings = {{0, 1, 1, 2, side(d)}, {1, 1, 1, 2, QStringLiteral("企业数")},
                  {2, 1, 4, 1, QStringLiteral("分规模企业构成")}};
    d.headings << bandHeadings();
    d.scheme = Scheme::ScaleBands;
    d.bandAggregate = {Aggregate::Fn::Count, {}, QStringLiteral("ct")};
    d.unit.text = QStringLiteral("单位：户");
    d.chartParts = {{2, 3, 4, 5}};
}

void table2_1(ReportDefinition &d)
{
    d.headingRows = 4;
    d.columns = 8;
    d.headings = {{0, 1, 1, 3, side(d)},
                  {1, 1, 1, 3, QStringLiteral("合计")},
                  {2, 1, 6, 1, QStringLiteral("总仓容")},
                  {2, 2, 3, 1, QStringLiteral("符合储粮要求仓房容量")},
                  {3, 3, 1, 1, QStringLiteral("其中：低温和准低温仓容")},
                  {4, 3, 1, 1, QStringLiteral("其中：因结构调整无法利用仓容")},
                  {5, 2, 1, 2, QStringLiteral("危仓老库")},
                  {6, 2, 1, 2, QStringLiteral("简易仓容")},
                  {7, 2, 1, 2, QStringLiteral("储粮罩棚")}};
    d.headingRowHeights = {{3, 40}};
    d.selectList = {sumOf("仓容合计", "a1"),   sumOf("低温仓", "a2"),     sumOf("无法利用仓", "a3"),
                    sumOf("需维修仓容", "a41"), sumOf("需重建仓容", "a42"), sumOf("简易仓容", "a5"),
                    sumOf("储粮罩棚", "a6")};
    d.formulas = {sumOfColumns({2, 5, 6, 7}),
                  scaled({QStringLiteral("a1")}, 10000),
                  scaled({QStringLiteral("a2")}, 10000),
                  scaled({QStringLiteral("a3")}, 10000),
                  scaled({QStringLiteral("a41"), QStringLiteral("a42")}, 10000),
                  scaled({QStringLiteral("a5")}, 10000),
                  // sheds hold grain at three tonnes per square metre
                  scaled({QStringLiteral("a6")}, 10000, 3)};
    d.unit.text = QStringLiteral("单位：万吨");
}

void table2_2(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 6;
    if (d.isNational())
        d.headings = {{0, 1, 1, 2, side(d)}, {1, 1, 5, 1, QStringLiteral("分规模仓容构成")},
                      {1, 2, 1, 1, QStringLiteral("合计")}};
    else
        d.headings = {{0, 1, 1, 2, side(d)}, {1, 1, 1, 2, QStringLiteral("合计")},
                      {2, 1, 4, 1, QStringLiteral("分规模企业构成")}};
    d.headings << bandHeadings();
    d.scheme = Scheme::ScaleBands;
    d.bandAggregate = sumOf("仓容合计", "ct");
    d.bandDivisor = 10000;
    d.unit.text = QStringLiteral("单位：万吨");
    d.chartParts = {{2, 3, 4, 5}};
}

void table2_3(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 8;
    d.headings = {{0, 1, 1, 2, side(d)}, {1, 1, 1, 2, QStringLiteral("合计")}, {2, 1, 6, 1, QStringLiteral("仓容构成")}};
    const QStringList kinds{QStringLiteral("平房仓"), QStringLiteral("浅圆仓"), QStringLiteral("立筒仓"),
                            QStringLiteral("楼房仓"), QStringLiteral("地下仓"), QStringLiteral("已完成维修仓容")};
    for (int i = 0; i < kinds.size(); ++i)
        d.headings << HeadingBlock{2 + i, 2, 1, 1, kinds[i]};
    d.selectList = {sumOf("仓容合计", "a1"), sumOf("平房仓", "a2"), sumOf("浅圆仓", "a3"), sumOf("立筒仓", "a4"),
                    sumOf("楼房仓", "a5"),   sumOf("地下仓", "a6"), sumOf("完成维修仓", "a7")};
    for (int k = 1; k <= 7; ++k)
        d.formulas << scaled({QStringLiteral("a%1").arg(k)}, 10000);
    d.unit.text = QStringLiteral("单位：万吨");
    // 仓容合计 is the sum of the six kinds, repaired capacity included.
    d.chartParts = {{2, 3, 4, 5, 6, 7}};
}

void table2_4(ReportDefinition &d)
{
    d.headingRows = 3;
    d.columns = 5;
    d.headings = {{0, 1, 1, 2, side(d)},
                  {1, 1, 3, 1, QStringLiteral("危仓老库")},
                  {1, 2, 1, 1, QStringLiteral("合计")},
                  {2, 2, 1, 1, QStringLiteral("需维修改造")},
                  {3, 2, 1, 1, QStringLiteral("需重建")},
                  {4, 1, 1, 2, QStringLiteral("与上年度相比")}};
    d.selectList = {sumOf("需维修仓容", "a1"), sumOf("需重建仓容", "a2")};
    ColumnFormula notComputed;
    notComputed.kind = Kind::NotComputed;
    d.formulas = {sumOfColumns({2, 3}), scaled({QStringLiteral("a1")}, 10000), scaled({QStringLiteral("a2")}, 10000),
                  notComputed};
    d.unit.text = QStringLiteral("单位：万吨");
}

void table2_5(ReportDefinition &d)
{
    d.headingRows = 4;
    d.columns = 9;
    d.headings = {{0, 1, 1, 3, side(d)},
                  {1, 1, 8, 1, QStringLiteral("按罐容规格")},
                  {1, 2, 2, 1, QStringLiteral("＜1000吨")},
                  {3, 2, 2, 1, QStringLiteral("1000-5000吨")},
                  {5, 2, 2, 1, QStringLiteral("5000-10000吨")},
                  {7, 2, 2, 1, QStringLiteral("≥10000吨")}};
    for (int c = 1; c <= 8; ++c)
        d.headings << HeadingBlock{c, 3, 1, 1, c % 2 ? QStringLiteral("数量") : QStringLiteral("罐容")};
    d.headingRowHeights = {{3, 40}};
    for (int k = 1; k <= 4; ++k) {
        d.selectList << Aggregate{Aggregate::Fn::Sum, QStringLiteral("油罐数量%1").arg(k), QStringLiteral("a%1").arg(2 * k - 1)};
        d.selectList << Aggregate{Aggregate::Fn::Sum, QStringLiteral("油罐罐容%1").arg(k), QStringLiteral("a%1").arg(2 * k)};
    }
    for (int c = 1; c <= 8; ++c)
        d.formulas << scaled({QStringLiteral("a%1").arg(c)}, c % 2 ? 1 : 10000);
    d.unit.text = QStringLiteral("单位：万吨");
    d.chartParts = {{2, 4, 6, 8}, {1, 3, 5, 7}};
    for (int c : {1, 3, 5, 7})
        d.columnUnits.insert(c, QStringLiteral("单位：个"));
}

std::vector<ReportDefinition> buildCatalogue()
{
    std::vector<ReportDefinition> all;
    const QStringList wideLabels = categoryLabels(10, 10, 10);
    const QStringList table21Labels = categoryLabels(4, 6, 6);
    const QStringList commonLabels = categoryLabels(4, 4, 6);

    {
        auto d = national(QStringLiteral("TFrmb1_1_1"), QStringLiteral("1-1"), QStringLiteral("全国粮油仓储企业数量汇总表"));
        table1_1(d);
        d.categoryLabels = wideLabels;
        d.stateOwnedFormB = false;
        d.thresholds = {2, 1, 2, 2};
        exportCells(d, 2, 1, 5, 3);
        all.push_back(d);
    }
    {
        auto d = breakdown(QStringLiteral("TFrmb1_1_2"), QStringLiteral("1-1"), QStringLiteral("全国粮油仓储企业数量汇总表"));
        table1_1(d);
        exportCells(d, 2, 0, 5, 1);
        all.push_back(d);
    }
    {
        auto d = national(QStringLiteral("TFrmb2_1_1"), QStringLiteral("2-1"), QStringLiteral("全国粮油仓储企业总仓容汇总表"));
        table2_1(d);
        d.categoryLabels = table21Labels;
        d.thresholds = {3, 3, 3, 3};
        exportCells(d, 3, 1, 7, 2);
        all.push_back(d);
    }
    {
        auto d = breakdown(QStringLiteral("TFrmb2_1_2"), QStringLiteral("2-1"), QStringLiteral("全国粮油仓储企业总仓容汇总表"));
        table2_1(d);
        d.unit.offsetAtCreation = 20;
        exportCells(d, 3, 0, 7, 1);
        all.push_back(d);
    }
    {
        auto d = national(QStringLiteral("TFrmb2_2_1"), QStringLiteral("2-2"), QStringLiteral("按规模划分全国符合储粮要求仓房容量汇总表"));
        table2_2(d);
        d.categoryLabels = commonLabels;
        exportCells(d, 2, 1, 5, 2);
        all.push_back(d);
    }
    {
        auto d = breakdown(QStringLiteral("TFrmb2_2_2"), QStringLiteral("2-2"), QStringLiteral("按规模划分全国符合储粮要求仓房容量汇总表"));
        table2_2(d);
        exportCells(d, 2, 0, 5, 1);
        all.push_back(d);
    }
    {
        auto d = national(QStringLiteral("TFrmb2_3_1"), QStringLiteral("2-3"), QStringLiteral("按仓型划分全国符合储粮要求仓房容量汇总表"));
        table2_3(d);
        d.categoryLabels = commonLabels;
        exportCells(d, 3, 1, 7, 2);
        all.push_back(d);
    }
    {
        auto d = breakdown(QStringLiteral("TFrmb2_3_2"), QStringLiteral("2-3"), QStringLiteral("按仓型划分全国符合储粮要求仓房容量汇总表"));
        table2_3(d);
        d.nationalFirstDataRowHeight = 40;
        d.unit.offsetAtCreation = 20;
        exportCells(d, 3, 0, 7, 1);
        all.push_back(d);
    }
    {
        auto d = national(QStringLiteral("TFrmb2_4_1"), QStringLiteral("2-4"), QStringLiteral("全国“危仓老库”汇总表"));
        table2_4(d);
        d.categoryLabels = commonLabels;
        d.recomputeSumsAfterCategories = true;
        exportCells(d, 2, 1, 4, 2);
        all.push_back(d);
    }
    {
        auto d = breakdown(QStringLiteral("TFrmb2_4_2"), QStringLiteral("2-4"), QStringLiteral("全国“危仓老库”汇总表"));
        table2_4(d);
        // the comparison with last year is not part of the breakdown workbook
        exportCells(d, 2, 0, 3, 1);
        all.push_back(d);
    }
    {
        auto d = national(QStringLiteral("TFrmb2_5_1"), QStringLiteral("2-5"), QStringLiteral("全国油罐情况汇总表"));
        table2_5(d);
        d.categoryLabels = commonLabels;
        exportCells(d, 3, 1, 8, 2);
        all.push_back(d);
    }
    {
        auto d = breakdown(QStringLiteral("TFrmb2_5_2"), QStringLiteral("2-5"), QStringLiteral("全国油罐罐容汇总表"));
        table2_5(d);
        d.unit.offsetAtCreation = 20;
        exportCells(d, 3, 0, 8, 1);
        all.push_back(d);
    }
    for (const auto &part : {partsThreeAndFourDefinitions(), partsFiveToEightDefinitions()})
        all.insert(all.end(), part.begin(), part.end());
    return all;
}
} // namespace

QString variantText(Variant v)
{
    switch (v) {
    case Variant::ByRegion: return QStringLiteral("（分地区）");
    case Variant::StateOwned: return QStringLiteral("（国有企业）");
    case Variant::NonStateOwned: return QStringLiteral("（非国有企业）");
    case Variant::Reserve: return QStringLiteral("（储备类型）");
    case Variant::Processing: return QStringLiteral("（加工类型）");
    case Variant::Logistics: return QStringLiteral("（物流类型）");
    }
    return {};
}

const std::vector<ReportDefinition> &reportCatalogue()
{
    static const std::vector<ReportDefinition> all = buildCatalogue();
    return all;
}

const ReportDefinition *definitionForClass(const QString &className)
{
    for (const auto &d : reportCatalogue())
        if (d.className == className)
            return &d;
    return nullptr;
}

const ReportDefinition *definitionForTitle(const QString &title)
{
    for (const auto &d : reportCatalogue())
        for (const auto &t : d.titles)
            if (t.title == title)
                return &d;
    return nullptr;
}

} // namespace kestrova::reports
