#include "reports/catalogue_builders.h"

#include "reports/report_catalogue.h"

namespace kestrova::reports::builders {

namespace {
QString tableNameOf(const QString &stem)
{
    QString name = stem;
    name.remove(QStringLiteral("全国"));
    return name;
}

QString pad(int blanks, const char *text)
{
    return QString(blanks, QLatin1Char(' ')) + QString::fromUtf8(text);
}

// Four blanks before the business types and 地方, six before the two private kinds.
QStringList categoryLabels()
{
    return {QStringLiteral("一、按经营类型"), pad(4, "储备"),       pad(4, "加工"),
            pad(4, "物流"),                   QStringLiteral("二、按企业性质"), QStringLiteral("（一）国有企业"),
            pad(4, "地方"),                   QStringLiteral("（二）非国有企业"), pad(6, "民营企业"),
            pad(6, "外资企业")};
}
} // namespace

ReportDefinition nationalTable(const char *className, const char *number, const char *stem, const char *folder)
{
    ReportDefinition d;
    d.className = QString::fromUtf8(className);
    d.kind = TableKind::NationalSummary;
    const QString stemText = QString::fromUtf8(stem);
    d.titles = {{QStringLiteral("表%1-1 %2").arg(QString::fromUtf8(number), stemText), Variant::ByRegion}};
    d.tableName = tableNameOf(stemText);
    d.scheme = Scheme::MeasureColumns;
    d.categoryLabels = categoryLabels();
    d.stateOwnedFormB = true;
    d.exportSpec.folder = QString::fromUtf8(folder);
    return d;
}

ReportDefinition breakdownTable(const char *className, const char *number, const char *stem, const char *folder,
                                const char *grandTotal)
{
    ReportDefinition d;
    d.className = QString::fromUtf8(className);
    d.kind = TableKind::Breakdown;
    const QString numberText = QString::fromUtf8(number);
    const QString stemText = QString::fromUtf8(stem);
    for (Variant v : {Variant::ByRegion, Variant::StateOwned, Variant::NonStateOwned})
        d.titles << ServedTitle{QStringLiteral("表%1-%2 %3%4").arg(numberText).arg(int(v)).arg(stemText, variantText(v)), v};
    d.tableName = tableNameOf(stemText);
    d.scheme = Scheme::MeasureColumns;
    d.grandTotalLabel = QString::fromUtf8(grandTotal);
    // The corps' figures count whenever the corps have records, even when the first
    // indicator of the list was left empty in all of them.
    d.presenceAlias.clear();
    d.exportSpec.folder = QString::fromUtf8(folder);
    d.exportSpec.fixedFile = QStringLiteral("表%1-2 通表").arg(numberText);
    return d;
}

HeadingBlock sideHeading(const ReportDefinition &d)
{
    return {0, 1, 1, d.headingRows - 1, d.isNational() ? QStringLiteral("类别") : QStringLiteral("地区")};
}

Aggregate sumOf(const char *column, const char *alias)
{
    return {Aggregate::Fn::Sum, QString::fromUtf8(column), QString::fromUtf8(alias)};
}

Aggregate countAll(const char *alias)
{
    return {Aggregate::Fn::Count, QString(), QString::fromUtf8(alias)};
}

ColumnFormula aliasColumn(int aliasNumber, double divisor)
{
    ColumnFormula f;
    f.kind = ColumnFormula::Kind::Scaled;
    f.aliases = {QStringLiteral("a%1").arg(aliasNumber)};
    f.divisor = divisor;
    return f;
}

ColumnFormula aliasText(int aliasNumber)
{
    ColumnFormula f;
    f.kind = ColumnFormula::Kind::FieldText;
    f.aliases = {QStringLiteral("a%1").arg(aliasNumber)};
    return f;
}

void exportCells(ReportDefinition &d, int s, int k, int firstGrid, int lastGrid, int firstSheet)
{
    d.exportSpec.firstRow = s;
    d.exportSpec.rowOffset = k;
    d.exportSpec.firstGridColumn = firstGrid;
    d.exportSpec.lastGridColumn = lastGrid;
    d.exportSpec.firstSheetColumn = firstSheet;
}

} // namespace kestrova::reports::builders
