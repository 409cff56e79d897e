#pragma once
// The columns the summary tables and the annual summary read, for every record, held in
// memory. A record row has about a hundred columns, and SQLite spends most of a report's
// time decoding them; each of the many report windows would pay that again. The copy is
// made once, checked against the database file before every use, and made again after
// any commit by any connection or program, or when the file was replaced.
#include <QHash>
#include <QString>
#include <QStringList>

#include <cmath>
#include <memory>
#include <vector>

namespace kestrova {

class Database;

// A test on one of the held text columns: the record's text is one of values (equal), or
// differs from values[0] (not equal). Texts compare exactly, as SQL's = does.
struct ColumnTest {
    QString column;
    bool equal = true;
    QStringList values;
};

class RecordColumns {
public:
    // A text column: each record's value as a small number, and the texts themselves.
    struct Texts {
        std::vector<int> ids; // one per record, in ID order
        QStringList values;   // id -> text
        // The id of a text, or -1 when no record holds it.
        int idOf(const QString &text) const { return m_index.value(text, -1); }

        QHash<QString, int> m_index;
    };

    int rowCount() const { return m_rows; }
    // The values of a numeric indicator column, in ID order; NaN stands for NULL
    // (SQLite stores no NaN). nullptr when the column is not an indicator.
    const std::vector<double> *numbers(const QString &column) const;
    // One of the text columns reports group and filter by (textColumns()); nullptr
    // for any other.
    const Texts *texts(const QString &column) const;
    // The same, but a column the copy does not hold is an error (DbError).
    const std::vector<double> &numberColumn(const QString &column) const;
    const Texts &textColumn(const QString &column) const;
    // One flag per record: whether it passes every test. Throws DbError for a column
    // the copy does not hold.
    std::vector<char> passing(const QList<ColumnTest> &tests) const;

    // The text columns held.
    static const QStringList &textColumns();

    static bool isNull(double v) { return std::isnan(v); }

private:
    friend class RecordColumnsLoader;
    int m_rows = 0;
    QHash<QString, int> m_numberIndex;
    std::vector<std::vector<double>> m_numbers;
    QHash<QString, int> m_textIndex;
    std::vector<Texts> m_texts;
};

// The records of db's file as they are now. Loads them when nothing is held for that
// file or something was committed since; otherwise returns what is held. Throws
// DbError when the records cannot be read.
std::shared_ptr<const RecordColumns> recordColumns(Database &db);

// Starts loading the records of the database at path in the background, so that the
// first report window opened afterwards finds them ready. Errors are left for the
// next recordColumns() call to report.
void warmRecordColumns(const QString &path);

// Forgets what is held (tests use it to measure a first load).
void dropRecordColumns();

} // namespace kestrova
