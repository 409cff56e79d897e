#include "records/check_workbook.h"

#include "data/file_error.h"
#include "xls/writer.h"

namespace kestrova {

const QStringList &checkColumns()
{
    static const QStringList c = {QStringLiteral("ID"),   QStringLiteral("企业名称"), QStringLiteral("地区"),
                                  QStringLiteral("规则"), QStringLiteral("要求"),     QStringLiteral("数值")};
    return c;
}

QStringList checkRow(const CheckFailure &f)
{
    return {QString::number(f.id), f.name, f.region, ruleLabel(f.failure.rule), f.failure.message, f.values};
}

void saveCheckWorkbook(const QList<QStringList> &rows, const QString &summary, const QString &path)
{
    writeWorkbookFile(path, [&] {
        xls::Workbook book;
        xls::CellFormat h;
        h.bold = true;
        h.border = true;
        h.hAlign = xls::CellFormat::HAlign::Center;
        const int heading = book.addFormat(h);
        xls::CellFormat b;
        b.border = true;
        const int body = book.addFormat(b);
        xls::Sheet &sheet = book.addSheet("全部校验");
        const double widths[] = {8, 30, 24, 8, 48, 36};
        for (int c = 0; c < checkColumns().size(); ++c) {
            sheet.setColumnWidth(c, widths[c]);
            sheet.setText(0, c, checkColumns()[c].toStdString(), heading);
        }
        int r = 1;
        for (const QStringList &row : rows) {
            for (int c = 0; c < row.size(); ++c) {
                if (c == 0)
                    sheet.setNumber(r, c, row[c].toDouble(), body);
                else
                    sheet.setText(r, c, row[c].toStdString(), body);
            }
            ++r;
        }
        sheet.setText(r + 1, 0, summary.toStdString());
        book.save(path.toStdString());
    });
}

} // namespace kestrova
