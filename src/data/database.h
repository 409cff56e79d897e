#pragma once
// A small RAII layer over SQLite. Every value reaches SQL as a bound parameter;
// SQL text is always a constant of the program. Column names are matched without
// regard to letter case, as the rest of the system relies on.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kestrova {

// A database failure as the user is told it: what happened and what to do on the first
// line, the technical detail (SQLite's own words and the file) on the second. SQL text
// never reaches the message; statement() keeps it for the developer.
class DbError : public std::runtime_error {
public:
    enum class Kind {
        Failed,     // anything not below
        Damaged,    // the file is a database, but damaged
        NotOurs,    // not a SQLite database at all, or not this program's
        Locked,     // another program holds the database
        ReadOnly,   // the file may not be written
        DiskFull,
        CannotOpen, // the file or its folder cannot be opened
        IoError,
        Missing     // there is no database file
    };
    // A failure the program words itself; detail, when given, goes on the second line.
    explicit DbError(const QString &message, const QString &detail = {}, Kind kind = Kind::Failed);
    // A failure SQLite reported with code (primary or extended) and text, about file.
    static DbError fromSqlite(int code, const QString &sqliteText, const QString &file, const QString &statement = {});

    Kind kind() const { return m_kind; }
    QString message() const; // summary and detail, one line each
    QString summary() const { return m_summary; }
    QString detail() const { return m_detail; }
    QString statement() const { return m_statement; }

private:
    Kind m_kind;
    QString m_summary;
    QString m_detail;
    QString m_statement;
};

class Database;

// A prepared statement. Bind with bind(index from 1, value) or bind(":name", value);
// a null QVariant binds NULL, a number binds a number, anything else binds text.
class Statement {
public:
    Statement(Database &db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    Statement(Statement &&other) noexcept;

    Statement &bind(int index, const QVariant &value);
    Statement &bind(const char *name, const QVariant &value);
    Statement &bindText(int index, const QString &value);
    // UTF-8 bytes bound without a copy: they must stay valid until the statement has
    // run or is reset.
    Statement &bindUtf8(int index, std::string_view value);
    Statement &bindNumber(int index, double value);
    Statement &bindNull(int index);

    // Moves to the next row; false when there are no more. Throws DbError on failure.
    bool next();
    // Runs a statement that returns no rows.
    void run();
    // Clears bindings and rewinds, so the statement can be run again.
    void reset();
    // Rewinds and keeps the bindings, for a caller that binds every parameter anew.
    void rewind();

    int columnCount() const;
    QString columnName(int i) const;
    int columnIndex(const QString &name) const; // -1 when absent (case-insensitive)
    bool isNull(int i) const;
    enum class Type { Null, Integer, Real, Text, Blob };
    Type type(int i) const;
    // The column's text as SQLite gives it in UTF-8, valid until the next call on the
    // statement.
    std::string_view utf8(int i) const;
    // The column as text: empty for NULL, numbers in the general number format.
    QString text(int i) const;
    QString text(const QString &name) const; // absent column or value -> empty text
    double number(int i) const;
    double number(const QString &name) const;
    QVariant value(int i) const; // QVariant() for NULL, double, qlonglong or QString
    QDateTime dateTime(const QString &name) const; // invalid when empty or unparsable

private:
    Database *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_sql;
    [[noreturn]] void fail() const;
};

class Database {
public:
    enum class Mode { OpenExisting, CreateIfMissing };
    // Throws DbError when the file cannot be opened (or is not a database). The
    // connection always uses the rollback journal, whatever mode the file was left in;
    // a file without write permission is opened read-only, so nothing writes to it.
    explicit Database(const QString &path, Mode mode = Mode::OpenExisting);
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    QString path() const { return m_path; }
    sqlite3 *handle() const { return m_db; }
    // The DbError for the connection's last failure.
    [[noreturn]] void fail(const QString &statement = {}) const;

    Statement prepare(const QString &sql) { return Statement(*this, sql); }
    // Runs one or more constant statements without parameters.
    void exec(const QString &sql);
    // Runs one statement with positional parameters.
    void exec(const QString &sql, const QVariantList &params);
    // First column of the first row as text (empty when there is no row).
    QString scalar(const QString &sql, const QVariantList &params = {});
    // Column names of a table in table order.
    QStringList columns(const QString &table);
    bool hasTable(const QString &table);
    qint64 lastInsertId() const;
    int changes() const;

private:
    sqlite3 *m_db = nullptr;
    QString m_path;
};

// Begins a transaction; rolls it back on destruction unless commit() was called.
class Transaction {
public:
    explicit Transaction(Database &db);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit();

private:
    Database &m_db;
    bool m_done = false;
};

} // namespace kestrova
