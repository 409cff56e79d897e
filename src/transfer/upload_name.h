#pragma once
// The suggested name of the office's upload workbook.
#include <QDate>
#include <QString>

namespace kestrova::transfer {

// Offices of a province, city or county are named by their place, others by their level.
QString unitLabel(const QString &level, const QString &province, const QString &city, const QString &county);
// "(仓储)上报文件-河南省-05-07": the dialog adds the extension.
QString suggestedUploadName(const QString &unitLabel, const QDate &today);

} // namespace kestrova::transfer
