#include "transfer/record_import.h"

#include "data/schema.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"

#include <algorithm>

namespace kestrova::transfer {

RecordImporter::RecordImporter(Database &db, const QString &sheetName)
    : m_db(db), m_format(db, sheetName), m_tx(db)
{
    // Replacing tens of thousands of records touches more pages than the default cache
    // holds; spilling them to the file mid-transaction costs more than the work itself.
    m_oldCacheSize = db.scalar(QStringLiteral("PRAGMA cache_size"));
    db.exec(QStringLiteral("PRAGMA cache_size=-131072"));
    // Replaced records need not be overwritten with zeros: their newer rows follow at
    // once, and zeroing every freed page doubles what the import writes.
    m_oldSecureDelete = db.scalar(QStringLiteral("PRAGMA secure_delete"));
    db.exec(QStringLiteral("PRAGMA secure_delete=0"));
    m_lastOldId = db.scalar(QStringLiteral("SELECT ifnull(max(ID), 0) FROM TZ_XIANGMU")).toLongLong();

    QStringList names, marks;
    const QList<ColumnInfo> &columns = m_format.columns();
    for (int i = 0; i < columns.size(); ++i) {
        names << quotedName(columns[i].name);
        marks << QStringLiteral("?%1").arg(i + 1);
    }
    m_insert = std::make_unique<Statement>(db, QStringLiteral("INSERT INTO TZ_XIANGMU(") + names.join(QLatin1Char(',')) +
                                                   QStringLiteral(") VALUES(") + marks.join(QLatin1Char(',')) +
                                                   QLatin1Char(')'));
    // New IDs are always above the old ones, so deleting by name among the old IDs while
    // appending gives the same result as deleting every name first.
    m_delete = std::make_unique<Statement>(db, QStringLiteral("DELETE FROM TZ_XIANGMU WHERE 企业名称=?1 AND ID<=?2"));
}

RecordImporter::~RecordImporter()
{
    try {
        m_db.exec(QStringLiteral("PRAGMA cache_size=") + QString::number(m_oldCacheSize.toLongLong()));
        m_db.exec(QStringLiteral("PRAGMA secure_delete=") + QString::number(m_oldSecureDelete.toInt()));
    } catch (...) {
        // Only connection settings: nothing to report.
    }
}

void RecordImporter::prepare(int sheetRow, const CellViews &cells, Row &row, SharedNumbers *numbers) const
{
    m_format.prepare(sheetRow, cells, row, numbers);
    // The names are no longer changed once rows are read, so this thread may look.
    if (row.blank || m_replaced.empty())
        return;
    const auto it = m_replaced.find(row.name);
    row.nameReplaced = it != m_replaced.end();
    row.nameExisted = row.nameReplaced && it->second;
}

void RecordImporter::write(const Row &row)
{
    if (row.blank)
        return;
    if (row.nameReplaced) {
        if (!row.nameExisted)
            ++m_added;
    } else {
        if (m_seenNames.insert(row.name).second) {
            m_delete->reset();
            m_delete->bindUtf8(1, row.name);
            m_delete->bind(2, QVariant(m_lastOldId));
            m_delete->run();
            if (const int gone = m_db.changes(); gone > 0) {
                m_deleted += gone;
                m_seenExisting.insert(row.name);
            }
        }
        if (!m_seenExisting.contains(row.name))
            ++m_added;
    }
    m_insert->rewind(); // every column is bound below
    for (size_t i = 0; i < row.kinds.size(); ++i) {
        const int index = int(i) + 1;
        switch (row.kinds[i]) {
        case Row::Kind::Null: m_insert->bindNull(index); break;
        case Row::Kind::Number: m_insert->bindNumber(index, row.numbers[i]); break;
        case Row::Kind::Text: m_insert->bindUtf8(index, row.texts[i]); break;
        }
    }
    try {
        m_insert->run();
    } catch (const DbError &e) {
        throw TransferError(kImportFailed, m_format.rowPlace(row.sheetRow) + QStringLiteral("：") + e.message());
    }
    ++m_appended;
}

void RecordImporter::addRow(int sheetRow, const Cells &cells)
{
    CellViews views;
    for (const std::string &c : cells)
        views.push_back({c, xls::kNotShared});
    Row row;
    prepare(sheetRow, views, row);
    write(row);
}

void RecordImporter::replaceNames(const std::vector<std::string> &names, int expectedRows)
{
    m_replaced.reserve(names.size());
    for (const std::string &name : names)
        m_replaced.emplace(name, false);
    if (!m_replaced.empty()) {
        // Emptying the table drops its pages whole; deleting row by row costs far more.
        if (noteExistingNames())
            m_db.exec(QStringLiteral("DELETE FROM TZ_XIANGMU"));
        else if (m_deleted > 0)
            deleteNamesAtOnce();
    }
    // Rebuilding an index costs the whole table once; keeping it up costs a lookup and a
    // write per row. Past half the table, rebuilding is cheaper.
    const qint64 remaining = m_db.scalar(QStringLiteral("SELECT count(*) FROM TZ_XIANGMU")).toLongLong();
    if (expectedRows >= 1000 && qint64(expectedRows) * 2 >= remaining) {
        for (const RecordIndex &index : recordIndexes())
            m_db.exec(QStringLiteral("DROP INDEX IF EXISTS ") + quotedName(index.name));
        m_bulk = true;
    }
}

bool RecordImporter::noteExistingNames()
{
    Statement names = m_db.prepare(QStringLiteral("SELECT 企业名称 FROM TZ_XIANGMU"));
    bool every = true;
    while (names.next()) {
        const std::string_view name = names.utf8(0);
        const auto it = m_replaced.find(name);
        if (it == m_replaced.end()) {
            every = false;
            continue;
        }
        ++m_deleted;
        it->second = true;
    }
    return every && m_deleted > 0;
}

void RecordImporter::deleteNamesAtOnce()
{
    // The names go into a temporary table of this transaction, so a failure takes it
    // back with everything else.
    m_db.exec(QStringLiteral("CREATE TEMP TABLE import_names(name TEXT PRIMARY KEY) WITHOUT ROWID"));
    {
        // Only names that have records; in order, they fill the table's pages one after another.
        std::vector<std::string_view> sorted;
        for (const auto &[name, existed] : m_replaced)
            if (existed)
                sorted.push_back(name);
        std::sort(sorted.begin(), sorted.end());
        Statement add = m_db.prepare(QStringLiteral("INSERT INTO temp.import_names(name) VALUES(?1)"));
        for (const std::string_view name : sorted) {
            add.reset();
            add.bindUtf8(1, name);
            add.run();
        }
    }
    m_db.exec(QStringLiteral("DELETE FROM main.TZ_XIANGMU WHERE 企业名称 IN (SELECT name FROM temp.import_names)"));
    m_db.exec(QStringLiteral("DROP TABLE temp.import_names"));
}

void RecordImporter::commit()
{
    m_insert.reset();
    m_delete.reset();
    if (m_bulk) {
        for (const RecordIndex &index : recordIndexes())
            m_db.exec(createIndexSql(index));
    }
    m_tx.commit();
}

} // namespace kestrova::transfer
