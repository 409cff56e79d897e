#include "transfer/record_import.h"

#include "transfer/cell_text.h"
#include "data/schema.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"

#include <algorithm>

namespace kestrova::transfer {

RecordImporter::RecordImporter(Database &db, const QString &sheetName, int expectedRows)
    : m_db(db), m_sheet(sheetName), m_tx(db)
{
    // Replacing tens of thousands of records touches more pages than the default cache
    // holds; spilling them to the file mid-transaction costs more than the work itself.
    m_oldCacheSize = db.scalar(QStringLiteral("PRAGMA cache_size"));
    db.exec(QStringLiteral("PRAGMA cache_size=-131072"));
    // Replaced records need not be overwritten with zeros: their newer rows follow at
    // once, and zeroing every freed page doubles what the import writes.
    m_oldSecureDelete = db.scalar(QStringLiteral("PRAGMA secure_delete"));
    db.exec(QStringLiteral("PRAGMA secure_delete=0"));
    m_columns = tableColumns(db, tables::records).mid(1);
    m_lastOldId = db.scalar(QStringLiteral("SELECT ifnull(max(ID), 0) FROM TZ_XIANGMU")).toLongLong();
    // Rebuilding an index costs the whole table once; keeping it up costs every row
    // written twice (deleted and added). Past half the table, rebuilding is cheaper, and
    // the replaced records go in one pass at the end instead of a lookup per name.
    const qint64 existing = db.scalar(QStringLiteral("SELECT count(*) FROM TZ_XIANGMU")).toLongLong();
    if (expectedRows >= 1000 && qint64(expectedRows) * 2 >= existing) {
        for (const RecordIndex &index : recordIndexes())
            db.exec(QStringLiteral("DROP INDEX IF EXISTS ") + quotedName(index.name));
        m_bulk = true;
    }

    QStringList names, marks;
    for (int i = 0; i < m_columns.size(); ++i) {
        names << quotedName(m_columns[i].name);
        marks << QStringLiteral("?%1").arg(i + 1);
    }
    m_insert = std::make_unique<Statement>(db, QStringLiteral("INSERT INTO TZ_XIANGMU(") + names.join(QLatin1Char(',')) +
                                                   QStringLiteral(") VALUES(") + marks.join(QLatin1Char(',')) +
                                                   QLatin1Char(')'));
    // New IDs are always above the old ones, so deleting by name among the old IDs while
    // appending, or after appending, gives the same result as deleting every name first.
    if (!m_bulk)
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

void RecordImporter::setHeader(const Cells &cells)
{
    for (size_t i = 0; i < cells.size(); ++i) {
        if (QString::fromStdString(cells[i]).trimmed() == kNameColumn) {
            m_nameColumn = int(i);
            break;
        }
    }
    if (m_nameColumn < 0)
        throw TransferError(kImportFailed,
                            QStringLiteral("sheet %1, row 1: no column headed %2").arg(m_sheet, kNameColumn));
    if (qsizetype(cells.size()) < m_columns.size())
        throw TransferError(kImportFailed, QStringLiteral("sheet %1, row 1: %2 columns, %3 expected")
                                               .arg(m_sheet)
                                               .arg(qsizetype(cells.size()))
                                               .arg(m_columns.size()));
}

void RecordImporter::failAt(int sheetRow, int column, const QString &value, const char *what) const
{
    throw TransferError(kImportFailed, QStringLiteral("sheet %1, row %2, column %3 (%4): '%5' %6")
                                           .arg(m_sheet)
                                           .arg(sheetRow)
                                           .arg(columnLetters(column + 1), m_columns[column].name, value,
                                                QString::fromUtf8(what)));
}

void RecordImporter::prepare(int sheetRow, const Cells &cells, Row &row) const
{
    if (m_nameColumn < 0)
        throw TransferError(kImportFailed, QStringLiteral("sheet %1 has no header row").arg(m_sheet));
    row.sheetRow = sheetRow;
    row.blank = std::all_of(cells.begin(), cells.end(), [](const std::string &c) { return c.empty(); });
    if (row.blank)
        return;

    // Assigning into the row's own strings and vectors reuses what they hold from the
    // row they carried before, so a long import hardly allocates.
    static const std::string none;
    const auto cell = [&cells](size_t i) -> const std::string & { return i < cells.size() ? cells[i] : none; };
    const size_t n = size_t(m_columns.size());
    row.name = cell(size_t(m_nameColumn));
    row.kinds.assign(n, Row::Kind::Text);
    row.numbers.assign(n, 0.0);
    row.texts.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const ColumnInfo &col = m_columns[qsizetype(i)];
        const std::string &text = cell(i);
        if (col.numeric) {
            if (isBlankCell(text)) {
                row.kinds[i] = Row::Kind::Null;
            } else if (const auto v = cellNumber(std::string_view(text))) {
                row.kinds[i] = Row::Kind::Number;
                row.numbers[i] = *v;
            } else {
                failAt(sheetRow, int(i), QString::fromStdString(text), "is not a number");
            }
        } else if (col.date && !isBlankCell(text)) {
            const auto stored = storedDateOf(QString::fromStdString(text));
            if (!stored)
                failAt(sheetRow, int(i), QString::fromStdString(text), "is not a date");
            row.texts[i] = stored->toStdString();
        } else {
            row.texts[i].assign(text);
        }
    }
}

void RecordImporter::write(const Row &row)
{
    if (row.blank)
        return;
    if (m_seenNames.insert(row.name).second && !m_bulk) {
        m_delete->reset();
        m_delete->bindUtf8(1, row.name);
        m_delete->bind(2, QVariant(m_lastOldId));
        m_delete->run();
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
        throw TransferError(kImportFailed,
                            QStringLiteral("sheet %1, row %2: %3").arg(m_sheet).arg(row.sheetRow).arg(e.message()));
    }
    ++m_appended;
}

void RecordImporter::addRow(int sheetRow, const Cells &cells)
{
    Row row;
    prepare(sheetRow, cells, row);
    write(row);
}

void RecordImporter::commit()
{
    m_insert.reset();
    m_delete.reset();
    if (m_bulk) {
        deleteReplacedAtOnce();
        for (const RecordIndex &index : recordIndexes())
            m_db.exec(createIndexSql(index));
    }
    m_tx.commit();
}

void RecordImporter::deleteReplacedAtOnce()
{
    // The names go into a temporary table of this transaction, so a failure takes it
    // back with everything else.
    m_db.exec(QStringLiteral("CREATE TEMP TABLE import_names(name TEXT PRIMARY KEY) WITHOUT ROWID"));
    {
        // In order, the names fill the table's pages one after another.
        std::vector<std::string_view> names(m_seenNames.begin(), m_seenNames.end());
        std::sort(names.begin(), names.end());
        Statement add = m_db.prepare(QStringLiteral("INSERT INTO temp.import_names(name) VALUES(?1)"));
        for (const std::string_view name : names) {
            add.reset();
            add.bindUtf8(1, name);
            add.run();
        }
    }
    m_db.exec(QStringLiteral("DELETE FROM main.TZ_XIANGMU WHERE ID<=?1 AND 企业名称 IN (SELECT name FROM temp.import_names)"),
              {m_lastOldId});
    m_db.exec(QStringLiteral("DROP TABLE temp.import_names"));
}

} // namespace kestrova::transfer
