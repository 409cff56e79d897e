#pragma once
// Dates and times as the system writes them: yyyy-MM-dd and H:mm:ss, whatever the
// desktop's own settings. Stored values are ISO 8601 text, zero-padded, so they sort.
#include <QDate>
#include <QDateTime>
#include <QString>

namespace kestrova {

QString storedDate(const QDate &d);          // 2014-03-05
QString storedDateTime(const QDateTime &dt); // 2014-03-05 09:05:07
// Parses what the database stores, and the display forms: yyyy-MM-dd[ H:mm[:ss]],
// also with a 'T' separator or slashes. Invalid when it is none of these.
QDateTime parseStoredDateTime(const QString &text);
QString dateText(const QDate &d);          // 2014-03-05
QString timeText(const QTime &t);          // 9:05:07
QString dateTimeText(const QDateTime &dt); // 2014-03-05 9:05:07
// A stored value as text: the date alone when it has no time of day, otherwise the
// date and time; text that is not a date comes back unchanged.
QString displayDateTime(const QString &stored);

} // namespace kestrova
