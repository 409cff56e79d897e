#include "transfer/cell_text.h"

#include "data/datetime_text.h"
#include "data/number_format.h"

#include <QDate>

#include <charconv>
#include <cmath>

namespace kestrova::transfer {

namespace {
bool digitsAt(const QString &s, int from, int count)
{
    for (int i = from; i < from + count; ++i)
        if (s[i] < u'0' || s[i] > u'9')
            return false;
    return true;
}

int number(const QString &s, int from, int count)
{
    int v = 0;
    for (int i = from; i < from + count; ++i)
        v = v * 10 + (s[i].unicode() - u'0');
    return v;
}

// yyyy-MM-dd at the start of s with a valid date.
bool isoDateAt(const QString &s)
{
    return s.size() >= 10 && digitsAt(s, 0, 4) && s[4] == u'-' && digitsAt(s, 5, 2) && s[7] == u'-' &&
           digitsAt(s, 8, 2) && QDate::isValid(number(s, 0, 4), number(s, 5, 2), number(s, 8, 2));
}
} // namespace

QString numberText(double v)
{
    // Whole numbers below 10^15 print the same in the general format as integers.
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    return formatGeneral(v);
}

void appendNumberText(std::string &out, double v)
{
    if (v == std::trunc(v) && std::fabs(v) < 1e15) {
        char buf[24];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, qint64(v));
        out.append(buf, end);
        return;
    }
    out += formatGeneralUtf8(v);
}

bool carriesThrough(double v)
{
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        return true;
    if (!std::isfinite(v))
        return false;
    const std::string text = formatGeneralUtf8(v);
    double back = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
    return ec == std::errc() && end == text.data() + text.size() && back == v;
}

QString dateText(const QString &stored)
{
    if (stored.size() == 10 && isoDateAt(stored))
        return stored;
    // yyyy-MM-dd HH:mm:ss as stored: midnight shows the date alone, the hour drops its zero.
    if (stored.size() == 19 && isoDateAt(stored) && stored[10] == u' ' && digitsAt(stored, 11, 2) &&
        stored[13] == u':' && digitsAt(stored, 14, 2) && stored[16] == u':' && digitsAt(stored, 17, 2) &&
        number(stored, 11, 2) < 24 && number(stored, 14, 2) < 60 && number(stored, 17, 2) < 60) {
        if (QStringView(stored).mid(11) == u"00:00:00")
            return stored.left(10);
        return stored.left(11) + (stored[11] == u'0' ? stored.mid(12) : stored.mid(11));
    }
    return displayDateTime(stored);
}

namespace {
// from_chars over plain decimal ASCII ("12", "-0.5", "1.5E-06"); nothing for any other
// form, which then takes the general route.
std::optional<double> plainDecimal(const char *s, size_t n)
{
    if (n == 0 || s[0] == '+')
        return std::nullopt;
    for (size_t i = 0; i < n; ++i) {
        const char c = s[i];
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'E' || c == 'e' || c == '+'))
            return std::nullopt;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(s, s + n, v);
    if (ec != std::errc() || end != s + n || !std::isfinite(v))
        return std::nullopt;
    return v;
}
} // namespace

std::optional<double> cellNumber(std::string_view utf8)
{
    if (const auto v = plainDecimal(utf8.data(), utf8.size()))
        return v;
    return parseNumber(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

bool isBlankCell(std::string_view utf8)
{
    bool plain = true; // printable ASCII only: blank exactly when empty
    for (const char c : utf8)
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7f) {
            plain = false;
            break;
        }
    if (plain)
        return utf8.empty();
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).trimmed().isEmpty();
}

std::optional<double> cellNumber(const QString &text)
{
    // Plain decimal ASCII goes through from_chars; anything else takes the general route.
    char buf[64];
    const qsizetype n = text.size();
    if (n == 0 || n >= qsizetype(sizeof buf))
        return parseNumber(text);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return parseNumber(text);
        buf[i] = char(c);
    }
    if (const auto v = plainDecimal(buf, size_t(n)))
        return v;
    return parseNumber(text);
}

std::optional<QString> storedDateOf(const QString &text)
{
    if (text.size() == 10 && isoDateAt(text))
        return text;
    // yyyy-MM-dd H:mm:ss as the workbook shows it.
    const qsizetype h = text.size() - 17; // digits of the hour
    if ((h == 1 || h == 2) && isoDateAt(text) && text[10] == u' ' && digitsAt(text, 11, int(h)) &&
        text[11 + h] == u':' && digitsAt(text, 12 + int(h), 2) && text[14 + h] == u':' &&
        digitsAt(text, 15 + int(h), 2) && number(text, 11, int(h)) < 24 && number(text, 12 + int(h), 2) < 60 &&
        number(text, 15 + int(h), 2) < 60)
        return text.left(11) + (h == 1 ? QStringLiteral("0") : QString()) + text.mid(11);
    const QDateTime dt = parseStoredDateTime(text);
    if (!dt.isValid())
        return std::nullopt;
    return text.contains(QLatin1Char(':')) ? storedDateTime(dt) : storedDate(dt.date());
}

} // namespace kestrova::transfer
