#include "records/record_fields.h"

namespace kestrova {

QString indicatorFieldName(int k)
{
    return QStringLiteral("MaskEdit%1").arg(k, 3, 10, QLatin1Char('0'));
}

static QString fromView(std::string_view v)
{
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

QString indicatorCaption(int k)
{
    return fromView(indicator(k).caption);
}

QString indicatorColumn(int k)
{
    return fromView(indicator(k).column);
}

} // namespace kestrova
