#include "data/number_format.h"

#include "xls/general_number.h"

#include <cmath>
#include <string>

namespace kestrova {

std::string formatGeneralUtf8(double value)
{
    return xls::formatGeneral(value);
}

QString formatGeneral(double value)
{
    return QString::fromStdString(formatGeneralUtf8(value));
}

std::optional<double> parseNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || std::isnan(v) || std::isinf(v))
        return std::nullopt;
    return v;
}

std::optional<double> parseNumberOrZero(const QString &text)
{
    if (text.trimmed().isEmpty())
        return 0.0;
    return parseNumber(text);
}

} // namespace kestrova
