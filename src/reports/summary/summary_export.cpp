#include "reports/summary/summary_export.h"

#include "data/app_home.h"
#include "data/file_error.h"
#include "records/printed/printed_cell_map.h"
#include "records/printed/printed_templates.h"
#include "xls/template_filler.h"

namespace kestrova {

QString summaryFileName(const QDate &today)
{
    return QStringLiteral("Kestrova年报汇总表（") + today.toString(QStringLiteral("MM-dd")) + QLatin1Char(')');
}

QString summaryTemplatePath()
{
    return shippedFile(QString::fromUtf8(kAnnualSummaryTemplate));
}

void writeSummaryWorkbook(const QString &templatePath, const QString &outPath, const SummaryHeader &h,
                          const IndicatorTexts &fields)
{
    writeWorkbookFile(outPath, [&] {
        xls::TemplateFiller book(templatePath.toStdString());
        namespace c = summaryCells;
        putCellText(book, c::unitCaption, QStringLiteral("制表单位："));
        putCellText(book, c::unit, h.tabulatingUnit);
        putCellText(book, c::dateCaption, QStringLiteral("制表日期："));
        putCellText(book, c::date, h.date);
        putCellText(book, c::yearCaption, QStringLiteral("汇总年度："));
        putCellText(book, c::year, h.year);
        putCellText(book, c::placeCaption, QStringLiteral("汇总单位："));
        putCellText(book, c::place, h.unit);
        // The ownership line is completed from what the cell holds after its caption is put.
        putCellText(book, c::ownership, QStringLiteral("企业性质："));
        const QString caption = QString::fromStdString(book.text(0, c::ownership.row - 1, c::ownership.column - 1));
        putCellText(book, c::ownership, caption + ownershipCaption(h.ownership));
        putCellText(book, c::countCaption, QStringLiteral("企业个数："));
        putCellValue(book, c::count, h.count);
        for (int k = 1; k <= kIndicatorCount; ++k)
            putCellValue(book, indicatorCell(k), fields[size_t(k - 1)]);
        book.save(outPath.toStdString());
    });
}

} // namespace kestrova
