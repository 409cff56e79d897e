#include "data/record_columns.h"

#include "data/database.h"
#include "data/indicators.h"
#include "data/schema.h"

#include <QFileInfo>
#include <QThreadPool>

#include <sqlite3.h>
#include <sys/stat.h>

#include <future>
#include <limits>
#include <mutex>
#include <string>
#include <unordered_map>

namespace kestrova {

const QStringList &RecordColumns::textColumns()
{
    static const QStringList columns{QStringLiteral("行政区划代码"), QStringLiteral("省"),
                                     QStringLiteral("地市"),         QStringLiteral("县"),
                                     QStringLiteral("企业性质"),     QStringLiteral("央企名称"),
                                     QStringLiteral("新疆兵团"),     QStringLiteral("经营范围")};
    return columns;
}

const std::vector<double> *RecordColumns::numbers(const QString &column) const
{
    const auto it = m_numberIndex.constFind(column);
    return it == m_numberIndex.cend() ? nullptr : &m_numbers[size_t(*it)];
}

const RecordColumns::Texts *RecordColumns::texts(const QString &column) const
{
    const auto it = m_textIndex.constFind(column);
    return it == m_textIndex.cend() ? nullptr : &m_texts[size_t(*it)];
}

namespace {
[[noreturn]] void noSuchColumn(const QString &column)
{
    throw DbError(QStringLiteral("记录表中没有列“%1”，无法计算。").arg(column));
}
} // namespace

const std::vector<double> &RecordColumns::numberColumn(const QString &column) const
{
    const std::vector<double> *v = numbers(column);
    if (!v)
        noSuchColumn(column);
    return *v;
}

const RecordColumns::Texts &RecordColumns::textColumn(const QString &column) const
{
    const Texts *t = texts(column);
    if (!t)
        noSuchColumn(column);
    return *t;
}

std::vector<char> RecordColumns::passing(const QList<ColumnTest> &tests) const
{
    std::vector<char> selected(size_t(m_rows), 1);
    for (const ColumnTest &test : tests) {
        const Texts &column = textColumn(test.column);
        // Which texts pass, as a flag per text id.
        std::vector<char> pass(size_t(column.values.size()), test.equal ? 0 : 1);
        for (const QString &v : test.values) {
            const int id = column.idOf(v);
            if (id >= 0)
                pass[size_t(id)] = test.equal ? 1 : 0;
        }
        for (size_t r = 0; r < selected.size(); ++r)
            selected[r] &= pass[size_t(column.ids[r])];
    }
    return selected;
}

namespace {

// The records with lo <= ID <= hi, as one statement reads them (one read transaction).
struct Part {
    int rows = 0;
    std::vector<std::vector<double>> numbers;
    std::vector<std::vector<int>> ids;
    std::vector<std::vector<std::string>> dictionaries;
};

QString selectSql()
{
    QStringList names;
    for (const Indicator &ind : kIndicators)
        names << QLatin1Char('[') + QString::fromUtf8(ind.column.data(), qsizetype(ind.column.size())) +
                     QLatin1Char(']');
    for (const QString &c : RecordColumns::textColumns())
        names << QLatin1Char('[') + c + QLatin1Char(']');
    return QStringLiteral("SELECT ") + names.join(QLatin1Char(',')) + QStringLiteral(" FROM [") + tables::records +
           QStringLiteral("] WHERE ID BETWEEN ? AND ?");
}

Part loadPart(const QString &path, qint64 lo, qint64 hi, size_t expected)
{
    Database db(path);
    const QByteArray sql = selectSql().toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db.handle(), sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK)
        db.fail(QString::fromUtf8(sql));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> guard(st, sqlite3_finalize);
    sqlite3_bind_int64(st, 1, lo);
    sqlite3_bind_int64(st, 2, hi);

    const int numberCount = kIndicatorCount;
    const int textCount = int(RecordColumns::textColumns().size());
    Part part;
    part.numbers.resize(size_t(numberCount));
    part.ids.resize(size_t(textCount));
    part.dictionaries.resize(size_t(textCount));
    std::vector<std::unordered_map<std::string, int>> index;
    index.resize(size_t(textCount));
    expected = std::min<size_t>(expected, size_t(1) << 20); // IDs may be sparse
    for (auto &v : part.numbers)
        v.reserve(expected);
    for (auto &v : part.ids)
        v.reserve(expected);
    constexpr double null = std::numeric_limits<double>::quiet_NaN();
    std::string key;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        for (int i = 0; i < numberCount; ++i)
            part.numbers[size_t(i)].push_back(sqlite3_column_type(st, i) == SQLITE_NULL ? null
                                                                                       : sqlite3_column_double(st, i));
        for (int j = 0; j < textCount; ++j) {
            const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(st, numberCount + j));
            key.assign(p ? p : "", size_t(sqlite3_column_bytes(st, numberCount + j)));
            auto &map = index[size_t(j)];
            auto it = map.find(key);
            if (it == map.end()) {
                it = map.emplace(key, int(part.dictionaries[size_t(j)].size())).first;
                part.dictionaries[size_t(j)].push_back(key);
            }
            part.ids[size_t(j)].push_back(it->second);
        }
        ++part.rows;
    }
    if (rc != SQLITE_DONE)
        db.fail(QString::fromUtf8(sql));
    return part;
}

} // namespace

class RecordColumnsLoader {
public:
    static std::shared_ptr<RecordColumns> assemble(std::vector<Part> &parts)
    {
        auto out = std::make_shared<RecordColumns>();
        for (const Part &p : parts)
            out->m_rows += p.rows;
        out->m_numbers.resize(size_t(kIndicatorCount));
        for (int i = 0; i < kIndicatorCount; ++i) {
            const std::string_view name = kIndicators[size_t(i)].column;
            out->m_numberIndex.insert(QString::fromUtf8(name.data(), qsizetype(name.size())), i);
            auto &column = out->m_numbers[size_t(i)];
            if (parts.size() == 1) {
                column = std::move(parts[0].numbers[size_t(i)]);
                continue;
            }
            column.reserve(size_t(out->m_rows));
            for (const Part &p : parts)
                column.insert(column.end(), p.numbers[size_t(i)].begin(), p.numbers[size_t(i)].end());
        }
        const QStringList &textNames = RecordColumns::textColumns();
        out->m_texts.resize(size_t(textNames.size()));
        for (int j = 0; j < textNames.size(); ++j) {
            out->m_textIndex.insert(textNames[j], j);
            RecordColumns::Texts &texts = out->m_texts[size_t(j)];
            texts.ids.reserve(size_t(out->m_rows));
            for (const Part &p : parts) {
                // Each part numbered its texts itself; renumber into the one dictionary.
                std::vector<int> renumber;
                for (const std::string &s : p.dictionaries[size_t(j)]) {
                    const QString text = QString::fromStdString(s);
                    auto it = texts.m_index.constFind(text);
                    if (it == texts.m_index.cend()) {
                        it = texts.m_index.insert(text, int(texts.values.size()));
                        texts.values << text;
                    }
                    renumber.push_back(*it);
                }
                for (int id : p.ids[size_t(j)])
                    texts.ids.push_back(renumber[size_t(id)]);
            }
        }
        return out;
    }
};

namespace {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity &o) const { return device == o.device && inode == o.inode; }
};

FileIdentity identityOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        throw DbError::fromSqlite(SQLITE_CANTOPEN, QStringLiteral("unable to open database file"), path);
    return {st.st_dev, st.st_ino};
}

// What is held, for one database file at a time. A connection of its own watches the
// file: PRAGMA data_version on it changes whenever another connection commits.
struct Cache {
    std::mutex mutex;
    QString path;
    FileIdentity identity;
    std::unique_ptr<Database> watcher;
    qint64 version = -1;
    std::shared_ptr<const RecordColumns> columns;

    qint64 versionNow()
    {
        Statement st = watcher->prepare(QStringLiteral("PRAGMA data_version"));
        return st.next() ? qint64(st.number(0)) : -1;
    }
};

Cache &cache()
{
    // Never destroyed: a background load may still be running while statics go.
    static Cache *c = new Cache;
    return *c;
}

// Loads every record, in two halves on two threads when there are many. A commit
// between the halves would mix two states, so the watcher's version must be the same
// before and after; otherwise the load is repeated, in the end as one statement.
std::shared_ptr<const RecordColumns> load(Cache &c, qint64 &version)
{
    for (int attempt = 0;; ++attempt) {
        version = c.versionNow();
        Statement range = c.watcher->prepare(QStringLiteral("SELECT min(ID), max(ID) FROM ") + tables::records);
        range.next();
        const qint64 lo = range.isNull(0) ? 0 : qint64(range.number(0));
        const qint64 hi = range.isNull(1) ? -1 : qint64(range.number(1));
        constexpr qint64 kSplitFrom = 8192;
        if (attempt >= 2 || hi - lo < kSplitFrom) {
            std::vector<Part> parts;
            parts.push_back(loadPart(c.path, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max(),
                                     size_t(std::max<qint64>(0, hi - lo + 1))));
            return RecordColumnsLoader::assemble(parts);
        }
        const qint64 mid = lo + (hi - lo) / 2;
        const QString path = c.path;
        const size_t half = size_t(mid - lo + 1);
        auto first = std::async(std::launch::async, [path, mid, half] {
            return loadPart(path, std::numeric_limits<qint64>::min(), mid, half);
        });
        std::vector<Part> parts(2);
        std::exception_ptr failure;
        try {
            parts[1] = loadPart(path, mid + 1, std::numeric_limits<qint64>::max(), half);
        } catch (...) {
            failure = std::current_exception();
        }
        parts[0] = first.get(); // rethrows the first half's failure
        if (failure)
            std::rethrow_exception(failure);
        if (c.versionNow() == version)
            return RecordColumnsLoader::assemble(parts);
    }
}

} // namespace

std::shared_ptr<const RecordColumns> recordColumns(Database &db)
{
    Cache &c = cache();
    const QString path = QFileInfo(db.path()).absoluteFilePath();
    std::lock_guard lock(c.mutex);
    const FileIdentity identity = identityOf(path);
    if (!c.watcher || c.path != path || !(c.identity == identity)) {
        c.columns.reset();
        c.watcher.reset();
        c.watcher = std::make_unique<Database>(path);
        c.path = path;
        c.identity = identity;
    }
    if (c.columns && c.versionNow() == c.version)
        return c.columns;
    c.columns.reset();
    qint64 version = -1;
    auto loaded = load(c, version);
    c.columns = loaded;
    c.version = version;
    return loaded;
}

void warmRecordColumns(const QString &path)
{
    QThreadPool::globalInstance()->start([path] {
        try {
            Database db(path);
            recordColumns(db);
        } catch (...) {
            // The next report window asks again and shows the error.
        }
    });
}

void dropRecordColumns()
{
    Cache &c = cache();
    std::lock_guard lock(c.mutex);
    c.columns.reset();
    c.watcher.reset();
    c.path.clear();
}

} // namespace kestrova
