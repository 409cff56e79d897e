#pragma once
// Look-ups over the province, city and county tables. Cities are found by their
// province's name as well as their own, so same-named cities (市辖区) stay apart.
#include <QString>
#include <QStringList>

namespace kestrova {

class Database;

QStringList provinceNames(Database &db);
// First two characters of the province's code; empty when there is no such province.
QString provincePrefix(Database &db, const QString &province);
// Names of the cities whose code starts with the province's prefix, in table order.
QStringList citiesOfProvince(Database &db, const QString &province);
// First four characters of the city's code; empty when not found.
QString cityPrefix(Database &db, const QString &province, const QString &city);
QStringList countiesOfCity(Database &db, const QString &province, const QString &city);
// The county's six-digit code; empty when not found.
QString countyCode(Database &db, const QString &province, const QString &city, const QString &county);

// The task record's region code for the deepest place given: "000000" for none,
// prefix + "0000" for a province, prefix + "00" for a city, the county's code.
QString taskRegionCode(Database &db, const QString &province, const QString &city, const QString &county);

} // namespace kestrova
