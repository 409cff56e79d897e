#include "records/printed/printed_return.h"

#include "data/app_home.h"
#include "records/printed/printed_cell_map.h"
#include "records/printed/printed_templates.h"
#include "xls/template_filler.h"

namespace kestrova {

namespace {
void put(xls::TemplateFiller &book, SheetCell at, const QString &text)
{
    book.setText(0, at.row - 1, at.column - 1, text.toStdString());
}
} // namespace

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
    xls::TemplateFiller book(templatePath.toStdString());
    namespace c = returnCells;
    put(book, c::name, f.name);
    put(book, c::address, f.province + f.city + f.county + f.address);
    put(book, c::postcode, f.postcode);
    put(book, c::phone, f.phone);
    put(book, c::orgCode, f.orgCode);
    put(book, c::ownership, f.ownership);
    put(book, c::legalRep, f.legalRep);
    put(book, c::affiliation, f.affiliation);
    put(book, c::business, f.business);
    put(book, c::year, QStringLiteral("年度：") + f.year);
    for (int k = 1; k <= kIndicatorCount; ++k)
        put(book, indicatorCell(k), f.indicators[size_t(k - 1)]);
    put(book, c::remarks, f.remarks);
    put(book, c::head, f.head);
    put(book, c::filler, f.filler);
    put(book, c::filingDate, f.filingDate.isValid() ? f.filingDate.toString(QStringLiteral("yyyy-MM-dd")) : QString());
    book.save(outPath.toStdString());
}

} // namespace kestrova
