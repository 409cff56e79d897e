#pragma once
// The annual summary workbook: the header lines and the 72 fields as shown, written
// into a copy of the summary template through the cell map of the printed return.
#include "records/record_fields.h"
#include "reports/summary/summary_selection.h"

#include <QDate>
#include <QString>

namespace kestrova {

struct SummaryHeader {
    QString tabulatingUnit; // 制表单位
    QString date;           // 制表日期
    QString year;           // 汇总年度
    QString unit;           // 汇总单位
    Ownership ownership = Ownership::All;
    QString count;          // 企业个数
};

// "Kestrova年报汇总表（mm-dd)" for the given day.
QString summaryFileName(const QDate &today);
QString summaryTemplatePath();

// Writes a filled copy of the template to outPath (created or replaced). Throws FileError
// on a missing template, a target that is the database or cannot be written.
void writeSummaryWorkbook(const QString &templatePath, const QString &outPath, const SummaryHeader &header,
                          const IndicatorTexts &fields);

} // namespace kestrova
