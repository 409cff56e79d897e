#include "reports/report_templates.h"

#include "reports/region_layout.h"
#include "reports/report_catalogue.h"
#include "reports/report_export.h"
#include "xls/writer.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

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

QString headingText(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

std::string utf8(const QString &s)
{
    return s.toStdString();
}
} // namespace

void writeReportTemplate(const ReportDefinition &def, const QString &path)
{
    const SheetLayout layout(def);
    const ExportSpec &x = def.exportSpec;
    xls::Workbook book;
    xls::Sheet &sheet = book.addSheet("Sheet1");

    CellFormat titleFormat;
    titleFormat.fontHeightPt = 16;
    titleFormat.bold = true;
    titleFormat.hAlign = CellFormat::HAlign::Center;
    titleFormat.vAlign = CellFormat::VAlign::Center;
    CellFormat unitFormat;
    unitFormat.hAlign = CellFormat::HAlign::Right;
    unitFormat.vAlign = CellFormat::VAlign::Center;
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
    const int d = def.firstDataRow();
    const int dataRows = def.isNational() ? 10 : kRegionRowCount + (def.grandTotalLabel.isEmpty() ? 0 : 1);

    // Title at row 2, column 1, across the table; the unit above the last column.
    QString titleText = def.isNational() ? def.titles.value(0).title.section(QLatin1Char(' '), 1)
                                         : def.tableName + variantText(Variant::ByRegion);
    sheet.setText(1, 0, utf8(titleText), title);
    if (lastCol > 0)
        sheet.merge(1, 0, 1, lastCol);
    sheet.setRowHeight(1, 30);
    if (!def.unit.text.isEmpty() && x.rowOffset >= 3)
        sheet.setText(x.rowOffset - 1, lastCol, utf8(def.unit.text), unit);

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

    for (int r = 1; r < d + dataRows; ++r) {
        const int px = r < d ? def.headingRowHeights.value(r, 30) : 30;
        sheet.setRowHeight(layout.row(r), px * 0.75);
    }
    const double labelWidth = def.isNational() ? 20 : 14;
    const int labelSpan = labels.last - labels.first + 1;
    for (int c = labels.first; c <= labels.last; ++c)
        sheet.setColumnWidth(c, labelWidth / labelSpan);
    for (int c = labels.last + 1; c <= lastCol; ++c)
        sheet.setColumnWidth(c, 13);

    QDir().mkpath(QFileInfo(path).absolutePath());
    book.save(path.toStdString());
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
