#include "data/regions.h"

#include "data/database.h"

namespace kestrova {

namespace {
QStringList trimmedNames(Statement &st)
{
    QStringList out;
    while (st.next())
        out << st.text(QStringLiteral("名称")).trimmed();
    return out;
}
} // namespace

QStringList provinceNames(Database &db)
{
    Statement st = db.prepare(QStringLiteral("SELECT * FROM province ORDER BY rowid"));
    return trimmedNames(st);
}

QString provincePrefix(Database &db, const QString &province)
{
    return db.scalar(QStringLiteral("SELECT 代码 FROM province WHERE 名称=?1 ORDER BY rowid LIMIT 1"), {province}).left(2);
}

QStringList citiesOfProvince(Database &db, const QString &province)
{
    const QString prefix = provincePrefix(db, province);
    Statement st = db.prepare(QStringLiteral("SELECT * FROM city WHERE substr(代码,1,2)=?1 ORDER BY rowid"));
    st.bindText(1, prefix);
    return trimmedNames(st);
}

QString cityPrefix(Database &db, const QString &province, const QString &city)
{
    return db
        .scalar(QStringLiteral("SELECT 代码 FROM city WHERE 名称=?1 AND 省=?2 ORDER BY rowid LIMIT 1"), {city, province})
        .left(4);
}

QStringList countiesOfCity(Database &db, const QString &province, const QString &city)
{
    const QString prefix = cityPrefix(db, province, city);
    Statement st = db.prepare(QStringLiteral("SELECT * FROM county WHERE substr(代码,1,4)=?1 ORDER BY rowid"));
    st.bindText(1, prefix);
    return trimmedNames(st);
}

QString countyCode(Database &db, const QString &province, const QString &city, const QString &county)
{
    return db.scalar(QStringLiteral("SELECT 代码 FROM county WHERE 省=?1 AND 市=?2 AND 名称=?3 ORDER BY rowid LIMIT 1"),
                     {province, city, county});
}

QString taskRegionCode(Database &db, const QString &province, const QString &city, const QString &county)
{
    if (!county.isEmpty())
        return countyCode(db, province, city, county);
    if (!city.isEmpty())
        return cityPrefix(db, province, city) + QStringLiteral("00");
    if (!province.isEmpty())
        return provincePrefix(db, province) + QStringLiteral("0000");
    return QStringLiteral("000000");
}

} // namespace kestrova
