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

bool fitsGeneralFormat(const QString &text)
{
    // The digits of the mantissa, from the first non-zero one to the last non-zero one.
    QString t = text.trimmed();
    const qsizetype e = t.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e >= 0)
        t.truncate(e);
    QString digits;
    for (const QChar c : t)
        if (c.isDigit())
            digits += c;
    qsizetype first = 0;
    while (first < digits.size() && digits[first] == QLatin1Char('0'))
        ++first;
    qsizetype last = digits.size();
    while (last > first && digits[last - 1] == QLatin1Char('0'))
        --last;
    return last - first <= kSignificantDigits;
}

} // namespace kestrova
