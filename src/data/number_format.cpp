#include "data/number_format.h"

#include "data/database.h"
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

QString sumText(double sum, const QString &what)
{
    if (!std::isfinite(sum))
        throw DbError(QStringLiteral("%1 的合计超出了数值的范围（约 1.8E+308），无法汇总。请检查记录中过大的数值。").arg(what));
    return formatGeneral(sum);
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
