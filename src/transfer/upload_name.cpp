#include "transfer/upload_name.h"

namespace kestrova::transfer {

QString unitLabel(const QString &level, const QString &province, const QString &city, const QString &county)
{
    if (level == QStringLiteral("省级汇总") || level == QStringLiteral("地级汇总") || level == QStringLiteral("县级汇总"))
        return province + city + county;
    return level;
}

QString suggestedUploadName(const QString &unitLabel, const QDate &today)
{
    return QStringLiteral("(仓储)上报文件-") + unitLabel + QLatin1Char('-') + today.toString(QStringLiteral("MM")) +
           QLatin1Char('-') + today.toString(QStringLiteral("dd"));
}

} // namespace kestrova::transfer
