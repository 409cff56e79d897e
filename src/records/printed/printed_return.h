#pragma once
// The printed return of one enterprise: the texts the entry form shows, written into
// a copy of the paper-form template. Nothing is read from or written to the database,
// so a record that was never saved prints exactly as shown.
#include "records/record_fields.h"

#include <QDate>
#include <QString>

namespace kestrova {

struct PrintedReturnFields {
    QString name;        // Edit6
    QString province;    // ComboBox01
    QString city;        // ComboBox02
    QString county;      // ComboBox03
    QString address;     // Edit7
    QString postcode;    // Edit9
    QString phone;       // Edit1
    QString orgCode;     // Edit5
    QString ownership;   // ComboBox1
    QString legalRep;    // Edit2
    QString affiliation; // Edit3
    QString business;    // ComboBox2
    QString year;        // Comb_niandu
    IndicatorTexts indicators; // MaskEdit001 … MaskEdit072, as shown (empty stays empty)
    QString remarks;     // MaskEditS6
    QString head;        // MaskEditS7
    QString filler;      // MaskEditS8
    QDate filingDate;    // DateTimePicker1
};

// "Kestrova年报表（mm-dd)" for the given day.
QString printedReturnFileName(const QDate &today);
// The shipped template templet/Kestrova年报表.xls.
QString printedReturnTemplatePath();

// Writes a filled copy of the template to outPath (created or replaced). Throws FileError
// on a missing template, a target that is the database or cannot be written.
void writePrintedReturn(const QString &templatePath, const QString &outPath, const PrintedReturnFields &fields);

} // namespace kestrova
