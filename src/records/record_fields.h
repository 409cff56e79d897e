#pragma once
// The texts of the entry form's fields, as the save and the validation read them.
#include "data/indicators.h"

#include <QDate>
#include <QMap>
#include <QString>

#include <array>

namespace kestrova {

using IndicatorTexts = std::array<QString, kIndicatorCount>; // field k at [k - 1]

struct RecordFields {
    QString idText;                 // the hidden Edit_ID: the record's ID, empty for a new one
    QMap<QString, QString> text;    // identity and closing text columns by column name
    IndicatorTexts indicators;
    QDate filingDate;

    QString value(const QString &column) const { return text.value(column); }
    QString &indicatorText(int k) { return indicators[size_t(k - 1)]; }
    const QString &indicatorText(int k) const { return indicators[size_t(k - 1)]; }
};

// "MaskEdit001" … "MaskEdit072".
QString indicatorFieldName(int k);
// The caption of indicator k as a QString.
QString indicatorCaption(int k);
QString indicatorColumn(int k);

} // namespace kestrova
