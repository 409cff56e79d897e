#include "data/datetime_text.h"

#include <QRegularExpression>

namespace kestrova {

QString storedDate(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString storedDateTime(const QDateTime &dt)
{
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime parseStoredDateTime(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{4})[-/](\d{1,2})[-/](\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2})(?:\.\d+)?)?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return {};
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid())
        return {};
    QTime t(0, 0, 0);
    if (!m.captured(4).isEmpty()) {
        t = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).isEmpty() ? 0 : m.captured(6).toInt());
        if (!t.isValid())
            return {};
    }
    return QDateTime(d, t);
}

QString dateText(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString timeText(const QTime &t)
{
    return t.toString(QStringLiteral("H:mm:ss"));
}

QString dateTimeText(const QDateTime &dt)
{
    return dateText(dt.date()) + QLatin1Char(' ') + timeText(dt.time());
}

QString displayDateTime(const QString &stored)
{
    const QDateTime dt = parseStoredDateTime(stored);
    if (!dt.isValid())
        return stored;
    if (dt.time() == QTime(0, 0, 0))
        return dateText(dt.date());
    return dateTimeText(dt);
}

} // namespace kestrova
