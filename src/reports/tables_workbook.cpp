#include "reports/tables_workbook.h"

#include "data/number_format.h"
#include "xls/writer.h"

namespace kestrova::reports {

QString sheetNameFor(const QString &title)
{
    return title.section(QLatin1Char(' '), 0, 0);
}

namespace {

std::string utf8(const QString &text)
{
    // Headings of several lines separate them with CR; a sheet breaks lines on LF.
    return QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')).toStdString();
}

struct Formats {
    int title, unit, heading, label, value;
    explicit Formats(xls::Workbook &book)
    {
        using F = xls::CellFormat;
        F t;
        t.fontHeightPt = 14;
        t.bold = true;
        t.hAlign = F::HAlign::Center;
        t.vAlign = F::VAlign::Center;
        title = book.addFormat(t);
        F u;
        u.hAlign = F::HAlign::Right;
        unit = book.addFormat(u);
        F h;
        h.hAlign = F::HAlign::Center;
        h.vAlign = F::VAlign::Center;
        h.wrap = true;
        h.border = true;
        heading = book.addFormat(h);
        F l;
        l.hAlign = F::HAlign::Left;
        l.vAlign = F::VAlign::Center;
        l.border = true;
        label = book.addFormat(l);
        F v = h;
        v.wrap = false;
        value = book.addFormat(v);
    }
};

void writeSheet(xls::Sheet &sheet, const TableSheet &t, const Formats &f)
{
    const ReportGrid &g = t.grid;
    const int columns = g.columnCount();
    const int first = t.def->firstDataRow();
    // The unit caption takes the row under the title, so grid row r >= 1 is sheet row r + 1.
    auto sheetRow = [](int r) { return r == 0 ? 0 : r + 1; };
    sheet.setColumnWidth(0, 22);
    for (int c = 1; c < columns; ++c)
        sheet.setColumnWidth(c, 13);
    sheet.setRowHeight(0, 30);
    sheet.setText(0, 0, utf8(g.text(0, 0)), f.title);
    if (columns > 1)
        sheet.merge(0, 0, 0, columns - 1);
    if (!t.def->unit.text.isEmpty())
        sheet.setText(1, columns - 1, utf8(t.def->unit.text), f.unit);
    for (int r = 1; r < g.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            const Merge *m = g.mergeAt(c, r);
            if (m && (m->col != c || m->row != r))
                continue;
            const QString text = g.text(c, r);
            if (r < first) {
                sheet.setText(sheetRow(r), c, utf8(text), f.heading);
            } else if (c == 0) {
                sheet.setText(sheetRow(r), c, utf8(text), f.label);
            } else if (const auto n = parseNumber(text)) {
                sheet.setNumber(sheetRow(r), c, *n, f.value);
            } else {
                sheet.setText(sheetRow(r), c, utf8(text), f.value);
            }
        }
    }
    for (const Merge &m : g.merges()) {
        if (m.row == 0 || m.row + m.rows > g.rowCount() || (m.cols == 1 && m.rows == 1))
            continue;
        sheet.merge(sheetRow(m.row), m.col, sheetRow(m.row + m.rows - 1), m.col + m.cols - 1);
    }
    xls::PageSetup page;
    page.landscape = columns > 6;
    page.fitWidth = 1;
    sheet.setPageSetup(page);
}

} // namespace

void saveTablesWorkbook(const std::vector<TableSheet> &tables, const QString &path)
{
    xls::Workbook book;
    const Formats formats(book);
    for (const TableSheet &t : tables)
        writeSheet(book.addSheet(sheetNameFor(t.title).toStdString()), t, formats);
    book.save(path.toStdString());
}

} // namespace kestrova::reports
