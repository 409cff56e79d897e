#include "records/printed/printed_return.h"

#include "data/app_home.h"
#include "data/file_error.h"
#include "records/printed/printed_cell_map.h"
#include "records/printed/printed_templates.h"
#include "xls/template_filler.h"

namespace kestrova {

void putCellText(xls::TemplateFiller &book, SheetCell at, const QString &text)
{
    book.setText(0, at.row - 1, at.column - 1, text.toStdString());
}

void putCellValue(xls::TemplateFiller &book, SheetCell at, const QString &text)
{
    book.setNumberOrText(0, at.row - 1, at.column - 1, text.toStdString());
}

QString printedReturnFileName(const QDate &today)
{
    return QStringLiteral("Kestrova年报表（") + today.toString(QStringLiteral("MM-dd")) + QLatin1Char(')');
}

QString printedReturnTemplatePath()
{
    return shippedFile(QString::fromUtf8(kPrintedReturnTemplate));
}

void writePrintedReturn(const QString &templatePath, const QString &outPath, const PrintedReturnFields &f)
{
    // The filler reads the template and writes a whole new file, so an existing
    // target is replaced by the template with the values.
    writeWorkbookFile(outPath, [&] {
        xls::TemplateFiller book(templatePath.toStdString());
        namespace c = returnCells;
        putCellText(book, c::name, f.name);
        putCellText(book, c::address, f.province + f.city + f.county + f.address);
        putCellText(book, c::postcode, f.postcode);
        putCellText(book, c::phone, f.phone);
        putCellText(book, c::orgCode, f.orgCode);
        putCellText(book, c::ownership, f.ownership);
        putCellText(book, c::legalRep, f.legalRep);
        putCellText(book, c::affiliation, f.affiliation);
        putCellText(book, c::business, f.business);
        putCellText(book, c::year, QStringLiteral("年度：") + f.year);
        for (int k = 1; k <= kIndicatorCount; ++k)
            putCellValue(book, indicatorCell(k), f.indicators[size_t(k - 1)]);
        putCellText(book, c::remarks, f.remarks);
        putCellText(book, c::head, f.head);
        putCellText(book, c::filler, f.filler);
        putCellText(book, c::filingDate, f.filingDate.isValid() ? f.filingDate.toString(QStringLiteral("yyyy-MM-dd")) : QString());
        book.save(outPath.toStdString());
    });
}

} // namespace kestrova
