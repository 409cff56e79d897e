#include "data/database.h"

#include "data/datetime_text.h"
#include "data/number_format.h"

#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrova {

namespace {
// Constant SQL of the program can carry no identifier from outside, but table names
// that reach columns() do; they are quoted as identifiers, never spliced raw.
QString quoteIdentifier(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

DbError::Kind kindOf(int code, const QString &file)
{
    switch (code & 0xff) {
    case SQLITE_CORRUPT: return DbError::Kind::Damaged;
    case SQLITE_NOTADB: return DbError::Kind::NotOurs;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return DbError::Kind::Locked;
    case SQLITE_READONLY: return DbError::Kind::ReadOnly;
    case SQLITE_FULL: return DbError::Kind::DiskFull;
    case SQLITE_IOERR: return DbError::Kind::IoError;
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        return QFileInfo::exists(file) ? DbError::Kind::CannotOpen : DbError::Kind::Missing;
    default: return DbError::Kind::Failed;
    }
}

// What the user is told happened and what to do about it.
QString summaryOf(DbError::Kind kind)
{
    switch (kind) {
    case DbError::Kind::Damaged: return QStringLiteral("数据库文件已损坏。请恢复最近的一份备份。");
    case DbError::Kind::NotOurs:
        return QStringLiteral("数据库文件不是本系统的数据库，或已损坏得无法识别。请恢复一份本系统的备份。");
    case DbError::Kind::Locked: return QStringLiteral("数据库正被另一个程序使用。请关闭那个程序后再试。");
    case DbError::Kind::ReadOnly:
        return QStringLiteral("数据库文件是只读的，不能写入。请取消它的只读属性后再试。");
    case DbError::Kind::DiskFull: return QStringLiteral("磁盘已满，数据库无法写入。请腾出磁盘空间后再试。");
    case DbError::Kind::CannotOpen:
        return QStringLiteral("无法打开数据库文件。请检查文件和它所在的目录能否读写。");
    case DbError::Kind::IoError: return QStringLiteral("读写数据库文件时出错。请检查磁盘后再试。");
    case DbError::Kind::Missing: return QStringLiteral("数据库文件不存在。");
    case DbError::Kind::Failed: break;
    }
    return QStringLiteral("数据库操作失败。");
}
} // namespace

DbError::DbError(const QString &message, const QString &detail, Kind kind)
    : std::runtime_error((detail.isEmpty() ? message : message + QLatin1Char('\n') + detail).toStdString()),
      m_kind(kind), m_summary(message), m_detail(detail)
{
}

DbError DbError::fromSqlite(int code, const QString &sqliteText, const QString &file, const QString &statement)
{
    const Kind kind = kindOf(code, file);
    DbError e(summaryOf(kind), file.isEmpty() ? sqliteText : sqliteText + QStringLiteral("：") + file, kind);
    e.m_statement = statement;
    return e;
}

QString DbError::message() const
{
    return m_detail.isEmpty() ? m_summary : m_summary + QLatin1Char('\n') + m_detail;
}

// ---- Statement ----------------------------------------------------------

Statement::Statement(Database &db, const QString &sql) : m_db(&db), m_sql(sql)
{
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement &&other) noexcept : m_db(other.m_db), m_stmt(other.m_stmt), m_sql(std::move(other.m_sql))
{
    other.m_stmt = nullptr;
}

void Statement::fail() const
{
    m_db->fail(m_sql);
}

Statement &Statement::bindText(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        fail();
    return *this;
}

Statement &Statement::bindUtf8(int index, std::string_view value)
{
    if (sqlite3_bind_text(m_stmt, index, value.data(), int(value.size()), SQLITE_STATIC) != SQLITE_OK)
        fail();
    return *this;
}

Statement &Statement::bindNumber(int index, double value)
{
    if (sqlite3_bind_double(m_stmt, index, value) != SQLITE_OK)
        fail();
    return *this;
}

Statement &Statement::bindNull(int index)
{
    if (sqlite3_bind_null(m_stmt, index) != SQLITE_OK)
        fail();
    return *this;
}

Statement &Statement::bind(int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return bindNull(index);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        if (sqlite3_bind_int64(m_stmt, index, value.toLongLong()) != SQLITE_OK)
            fail();
        return *this;
    case QMetaType::Double:
    case QMetaType::Float:
        return bindNumber(index, value.toDouble());
    case QMetaType::QDateTime:
        return bindText(index, storedDateTime(value.toDateTime()));
    case QMetaType::QDate:
        return bindText(index, storedDate(value.toDate()));
    default:
        return bindText(index, value.toString());
    }
}

Statement &Statement::bind(const char *name, const QVariant &value)
{
    const int index = sqlite3_bind_parameter_index(m_stmt, name);
    if (index == 0)
        throw DbError(QStringLiteral("数据库操作失败。"), QStringLiteral("no parameter %1").arg(QString::fromUtf8(name)));
    return bind(index, value);
}

bool Statement::next()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail();
}

void Statement::run()
{
    while (next()) {
    }
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void Statement::rewind()
{
    sqlite3_reset(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

int Statement::columnIndex(const QString &name) const
{
    const int n = columnCount();
    for (int i = 0; i < n; ++i)
        if (columnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool Statement::isNull(int i) const
{
    return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

Statement::Type Statement::type(int i) const
{
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER: return Type::Integer;
    case SQLITE_FLOAT: return Type::Real;
    case SQLITE_TEXT: return Type::Text;
    case SQLITE_BLOB: return Type::Blob;
    default: return Type::Null;
    }
}

std::string_view Statement::utf8(int i) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
    return p ? std::string_view(p, size_t(sqlite3_column_bytes(m_stmt, i))) : std::string_view();
}

QString Statement::text(int i) const
{
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(m_stmt, i));
    case SQLITE_FLOAT:
        return formatGeneral(sqlite3_column_double(m_stmt, i));
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i)),
                                 sqlite3_column_bytes(m_stmt, i));
    }
}

QString Statement::text(const QString &name) const
{
    const int i = columnIndex(name);
    return i < 0 ? QString() : text(i);
}

double Statement::number(int i) const
{
    return sqlite3_column_double(m_stmt, i);
}

double Statement::number(const QString &name) const
{
    const int i = columnIndex(name);
    return i < 0 ? 0.0 : number(i);
}

QVariant Statement::value(int i) const
{
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i));
    default:
        return QVariant(text(i));
    }
}

QDateTime Statement::dateTime(const QString &name) const
{
    return parseStoredDateTime(text(name));
}

// ---- Database -----------------------------------------------------------

namespace {
// A file nobody may write is opened read-only, even by the superuser, whom the system
// would let write it: the user marked it so.
bool markedReadOnly(const QString &path)
{
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::stat(native.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(native.constData(), W_OK) != 0;
}
} // namespace

Database::Database(const QString &path, Mode mode) : m_path(path)
{
    // One connection is only ever used from the thread that opened it, so SQLite's own
    // per-call locking buys nothing and costs a lock on every fetched value.
    int flags = SQLITE_OPEN_NOMUTEX;
    const bool readOnly = markedReadOnly(path);
    flags |= readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (mode == Mode::CreateIfMissing && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    const QByteArray utf8 = path.toUtf8();
    if (sqlite3_open_v2(utf8.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        const int code = m_db ? sqlite3_extended_errcode(m_db) : SQLITE_NOMEM;
        const QString msg = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        throw DbError::fromSqlite(code, msg, path);
    }
    sqlite3_busy_timeout(m_db, 5000);
    sqlite3_extended_result_codes(m_db, 1);
    try {
        // Reading the schema is what reveals a file that is not a database at all. The
        // rollback journal is set, never assumed: a file left in WAL mode (a restored
        // copy, another tool) would otherwise keep -wal and -shm files beside it that
        // outlive a copy of the file.
        exec(QStringLiteral("PRAGMA foreign_keys=ON; PRAGMA cache_size=-65536; PRAGMA mmap_size=268435456;"
                             " SELECT count(*) FROM sqlite_master;"));
        if (!readOnly)
            exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    } catch (const DbError &) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

Database::~Database()
{
    sqlite3_close_v2(m_db);
}

void Database::fail(const QString &statement) const
{
    throw DbError::fromSqlite(sqlite3_extended_errcode(m_db), QString::fromUtf8(sqlite3_errmsg(m_db)), m_path,
                              statement);
}

void Database::exec(const QString &sql)
{
    char *err = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString msg = err ? QString::fromUtf8(err) : QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_free(err);
        throw DbError::fromSqlite(sqlite3_extended_errcode(m_db), msg, m_path, sql);
    }
}

void Database::exec(const QString &sql, const QVariantList &params)
{
    Statement st(*this, sql);
    for (int i = 0; i < params.size(); ++i)
        st.bind(i + 1, params[i]);
    st.run();
}

QString Database::scalar(const QString &sql, const QVariantList &params)
{
    Statement st(*this, sql);
    for (int i = 0; i < params.size(); ++i)
        st.bind(i + 1, params[i]);
    return st.next() ? st.text(0) : QString();
}

QStringList Database::columns(const QString &table)
{
    Statement st(*this, QStringLiteral("SELECT * FROM ") + quoteIdentifier(table) + QStringLiteral(" LIMIT 0"));
    QStringList names;
    for (int i = 0; i < st.columnCount(); ++i)
        names << st.columnName(i);
    return names;
}

bool Database::hasTable(const QString &table)
{
    Statement st(*this, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE"));
    st.bindText(1, table);
    return st.next();
}

qint64 Database::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int Database::changes() const
{
    return sqlite3_changes(m_db);
}

// ---- Transaction --------------------------------------------------------

Transaction::Transaction(Database &db) : m_db(db)
{
    m_db.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_db.exec(QStringLiteral("ROLLBACK"));
        } catch (...) {
            // Nothing sensible to do: SQLite rolls back on its own when a statement fails hard.
        }
    }
}

void Transaction::commit()
{
    m_db.exec(QStringLiteral("COMMIT"));
    m_done = true;
}

} // namespace kestrova
