#include "transfer/table_workbook.h"

#include "data/file_error.h"
#include "data/number_format.h"
#include "transfer/messages.h"
#include "xls/writer.h"

#include <algorithm>

namespace kestrova::transfer {

void writeTableWorkbook(const QString &path, const QList<SheetTable> &tables)
{
    writeWorkbookFile(path, [&] {
        xls::Workbook book;
        xls::CellFormat heading;
        heading.bold = true;
        const int bold = book.addFormat(heading);
        for (const SheetTable &t : tables) {
            if (t.rows.isEmpty())
                continue;
            const QStringList &head = t.rows.first();
            const qsizetype perSheet = kMaxSheetRows - 1;
            const qsizetype body = t.rows.size() - 1;
            for (qsizetype first = 1, part = 1; first == 1 || first <= body; first += perSheet, ++part) {
                const QString name = part == 1 ? t.name : QStringLiteral("%1（%2）").arg(t.name).arg(part);
                xls::Sheet &sheet = book.addSheet(name.toStdString());
                std::vector<qsizetype> widths(size_t(head.size()), 4);
                for (qsizetype c = 0; c < head.size(); ++c) {
                    sheet.setText(0, int(c), head[c].toStdString(), bold);
                    widths[size_t(c)] = std::max<qsizetype>(widths[size_t(c)], head[c].size() * 2);
                }
                const qsizetype last = std::min(body, first + perSheet - 1);
                for (qsizetype r = first; r <= last; ++r) {
                    const QStringList &row = t.rows[r];
                    const int sheetRow = int(r - first + 1);
                    for (qsizetype c = 0; c < row.size() && c < head.size(); ++c) {
                        const QString &text = row[c];
                        if (text.isEmpty())
                            continue;
                        const auto number = t.numericColumns.contains(int(c)) ? parseNumber(text) : std::nullopt;
                        if (number)
                            sheet.setNumber(sheetRow, int(c), *number);
                        else
                            sheet.setText(sheetRow, int(c), text.toStdString());
                        widths[size_t(c)] = std::max<qsizetype>(widths[size_t(c)], std::min<qsizetype>(text.size() * 2, 80));
                    }
                }
                for (size_t c = 0; c < widths.size(); ++c)
                    sheet.setColumnWidth(int(c), double(std::min<qsizetype>(widths[c], 100)));
            }
        }
        book.save(path.toStdString());
    });
}

} // namespace kestrova::transfer
