#pragma once
// What "the database is intact" means to the tests that try to lose it: integrity_check
// says ok, and every row of every table is what it was.
#include "data/database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <ostream>

// Lets a failed comparison print the texts rather than their bytes.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace kestrova::test {

struct DatabaseState {
    QString integrity; // integrity_check's verdict, or why the file would not open
    QStringList rows;  // "table|value|value…" for every row, tables by name, rows by rowid
};

inline DatabaseState databaseState(const QString &path)
{
    DatabaseState s;
    try {
        Database db(path);
        s.integrity = db.scalar(QStringLiteral("PRAGMA integrity_check"));
        QStringList tables;
        Statement names = db.prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"));
        while (names.next())
            tables << names.text(0);
        for (const QString &table : tables) {
            Statement st = db.prepare(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
            while (st.next()) {
                QString row = table;
                for (int i = 0; i < st.columnCount(); ++i)
                    row += QLatin1Char('|') + (st.isNull(i) ? QStringLiteral("<null>") : st.text(i));
                s.rows << row;
            }
        }
    } catch (const DbError &e) {
        s.integrity = e.message();
    }
    return s;
}

inline QByteArray fileDigest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// The names in a folder, hidden ones too: what a command left behind.
inline QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Makes the records' table unreadable while the file still opens: the first page of
// TZ_XIANGMU's tree no longer holds a page of any kind.
inline void damageRecords(const QString &file)
{
    int root = 0, pageSize = 0;
    {
        Database d(file);
        root = d.scalar(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name='TZ_XIANGMU'")).toInt();
        pageSize = d.scalar(QStringLiteral("PRAGMA page_size")).toInt();
    }
    QFile f(file);
    if (f.open(QIODevice::ReadWrite) && f.seek(qint64(root - 1) * pageSize))
        f.write(QByteArray(64, '\x7f'));
}

} // namespace kestrova::test
