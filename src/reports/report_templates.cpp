#include "reports/report_templates.h"

#include "reports/region_layout.h"
#include "reports/report_catalogue.h"
#include "reports/report_export.h"
#include "xls/writer.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace kestrova::reports {

namespace {
using xls::CellFormat;

// Sheet columns (0-based, inclusive) that show grid column g. The label column of a
// national table may span several sheet columns before the first value column.
struct Span {
    int first;
    int last;
};

class SheetLayout {
public:
    explicit SheetLayout(const ReportDefinition &def) : m_x(def.exportSpec) {}
    Span columns(int g) const
    {
        if (g >= m_x.firstGridColumn) {
            const int c = m_x.firstSheetColumn - 1 + (g - m_x.firstGridColumn);
            return {c, c};
        }
        return {0, std::max(0, m_x.firstSheetColumn - 2)};
    }
    int lastColumn() const { return columns(m_x.lastGridColumn).last; }
    int row(int gridRow) const { return gridRow + m_x.rowOffset - 1; }

private:
    const ExportSpec &m_x;
};

// Printed sizes, in points. A column width counts the default font's digit, some 5.6
// points once printed. Margins in inches: beside the table and above and below it.
constexpr double kPointsPerChar = 5.6;
constexpr double kA4Short = 595, kA4Long = 842;
constexpr double kSideMargin = 0.5, kEndMargin = 0.6;
constexpr double kMinTableWidthChars = 64;  // narrow tables are widened so the title has room
constexpr double kValueColumnChars = 13;
constexpr double kTitleRowPoints = 36;      // two lines of the title, for long place names
constexpr double kUnitRowPoints = 13.5;     // the unit's own row keeps the default height
constexpr double kDataRowPoints = 17;       // a national table's 35 regions fit one page

QString headingText(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// The data rows a template frames: the categories, or the regions of the national level.
int templateDataRows(const ReportDefinition &def)
{
    return def.isNational() ? 10 : kRegionRowCount + (def.grandTotalLabel.isEmpty() ? 0 : 1);
}

std::string utf8(const QString &s)
{
    return s.toStdString();
}

// Across the page when that takes fewer pages, or as few at a larger scale: the sheet
// is fitted to the page's width, so a wide table shrinks in portrait.
bool printsBetterAcross(double widthChars, double heightPoints)
{
    auto pagesAndScale = [&](double pageWidth, double pageHeight) {
        const double scale = std::min(1.0, pageWidth / (widthChars * kPointsPerChar));
        return std::pair{std::ceil(heightPoints * scale / pageHeight), scale};
    };
    const double sides = 2 * 72 * kSideMargin, ends = 2 * 72 * kEndMargin;
    const auto [portraitPages, portraitScale] = pagesAndScale(kA4Short - sides, kA4Long - ends);
    const auto [landscapePages, landscapeScale] = pagesAndScale(kA4Long - sides, kA4Short - ends);
    return landscapePages < portraitPages || (landscapePages == portraitPages && landscapeScale > portraitScale);
}
} // namespace

void writeReportTemplate(const ReportDefinition &def, const QString &path)
{
    const SheetLayout layout(def);
    const ExportSpec &x = def.exportSpec;
    xls::Workbook book;
    xls::Sheet &sheet = book.addSheet("Sheet1");

    CellFormat titleFormat;
    titleFormat.fontHeightPt = 14;
    titleFormat.bold = true;
    titleFormat.hAlign = CellFormat::HAlign::Center;
    titleFormat.vAlign = CellFormat::VAlign::Center;
    titleFormat.wrap = true;
    CellFormat unitFormat;
    unitFormat.hAlign = CellFormat::HAlign::Right;
    unitFormat.vAlign = CellFormat::VAlign::Bottom;
    CellFormat headFormat;
    headFormat.hAlign = CellFormat::HAlign::Center;
    headFormat.vAlign = CellFormat::VAlign::Center;
    headFormat.wrap = true;
    headFormat.border = true;
    headFormat.bold = true;
    CellFormat labelFormat = headFormat;
    labelFormat.bold = false;
    labelFormat.wrap = false;
    labelFormat.hAlign = CellFormat::HAlign::Left;
    CellFormat valueFormat = labelFormat;
    valueFormat.hAlign = CellFormat::HAlign::Right;
    const int title = book.addFormat(titleFormat);
    const int unit = book.addFormat(unitFormat);
    const int head = book.addFormat(headFormat);
    const int label = book.addFormat(labelFormat);
    const int value = book.addFormat(valueFormat);

    const int lastCol = layout.lastColumn();
    const int lastGridCol = x.lastGridColumn;
    const bool hasUnit = !def.unit.text.isEmpty() && lastCol > 0;
    const int d = def.firstDataRow();
    const int dataRows = templateDataRows(def);

    // Title at row 2, column 1, across the table; the unit above the last column, or
    // beside the title where the headings follow the title directly.
    QString titleText = def.isNational() ? def.titles.value(0).title.section(QLatin1Char(' '), 1)
                                         : def.tableName + variantText(Variant::ByRegion);
    sheet.setText(1, 0, utf8(titleText), title);
    const int titleLastCol = hasUnit && x.rowOffset < 3 ? lastCol - 1 : lastCol;
    if (titleLastCol > 0)
        sheet.merge(1, 0, 1, titleLastCol);
    sheet.setRowHeight(1, kTitleRowPoints);
    if (hasUnit)
        sheet.setText(unitCell(def).row, unitCell(def).col, utf8(def.unit.text), unit);

    // Bordered blanks first; headings and labels overwrite them.
    for (int r = 1; r < d + dataRows; ++r)
        for (int c = 0; c <= lastCol; ++c)
            sheet.setBlank(layout.row(r), c, r < d ? head : (c <= layout.columns(0).last ? label : value));
    for (const auto &h : def.headings) {
        if (h.col > lastGridCol)
            continue;
        const Span from = layout.columns(h.col);
        const Span to = layout.columns(std::min(h.col + h.cols - 1, lastGridCol));
        const int top = layout.row(h.row);
        const int bottom = layout.row(h.row + h.rows - 1);
        sheet.setText(top, from.first, utf8(headingText(h.text)), head);
        if (bottom > top || to.last > from.first)
            sheet.merge(top, from.first, bottom, to.last);
    }
    const Span labels = layout.columns(0);
    for (int i = 0; i < dataRows; ++i) {
        const int r = layout.row(d + i);
        // National tables keep their category labels in the template; the export
        // writes values only.
        if (def.isNational())
            sheet.setText(r, labels.first, utf8(def.categoryLabels.value(i)), label);
        if (labels.last > labels.first)
            sheet.merge(r, labels.first, r, labels.last);
    }

    double printedHeight = kTitleRowPoints + (x.rowOffset >= 3 ? kUnitRowPoints : 0);
    for (int r = 1; r < d + dataRows; ++r) {
        const double points = r < d ? def.headingRowHeights.value(r, 30) * 0.75 : kDataRowPoints;
        sheet.setRowHeight(layout.row(r), points);
        printedHeight += points;
    }
    const double labelWidth = 20; // room for the longest names of autonomous prefectures
    const int labelSpan = labels.last - labels.first + 1;
    const int valueColumns = lastCol - labels.last;
    const double valueWidth =
        std::max(kValueColumnChars, valueColumns > 0 ? (kMinTableWidthChars - labelWidth) / valueColumns : 0);
    for (int c = labels.first; c <= labels.last; ++c)
        sheet.setColumnWidth(c, labelWidth / labelSpan);
    for (int c = labels.last + 1; c <= lastCol; ++c)
        sheet.setColumnWidth(c, valueWidth);

    // Wide tables print across the page; every table fits one page wide and repeats its
    // column headings on every page.
    xls::PageSetup setup;
    setup.landscape = printsBetterAcross(labelWidth + valueColumns * valueWidth, printedHeight);
    setup.fitWidth = 1;
    setup.fitHeight = 0;
    setup.centerHorizontally = true;
    setup.leftMargin = setup.rightMargin = kSideMargin;
    setup.topMargin = setup.bottomMargin = kEndMargin;
    setup.titleFirstRow = layout.row(1);
    setup.titleLastRow = layout.row(d - 1);
    sheet.setPageSetup(setup);

    QDir().mkpath(QFileInfo(path).absolutePath());
    book.save(path.toStdString());
}

int lastTemplateRow(const ReportDefinition &def)
{
    return SheetLayout(def).row(def.firstDataRow() + templateDataRows(def) - 1);
}

CellPosition unitCell(const ReportDefinition &def)
{
    const int lastCol = SheetLayout(def).lastColumn();
    const int row = def.exportSpec.rowOffset >= 3 ? def.exportSpec.rowOffset - 1 : 1;
    return {row, lastCol};
}

QStringList writeReportTemplates(const QString &templetDir)
{
    QStringList written;
    for (const auto &def : reportCatalogue()) {
        QString rel = templateRelativePath(def);
        rel.remove(0, rel.indexOf(QLatin1Char('/')) + 1); // below templet/
        const QString path = QDir(templetDir).filePath(rel);
        writeReportTemplate(def, path);
        written << path;
    }
    return written;
}

} // namespace kestrova::reports
