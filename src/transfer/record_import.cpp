#include "transfer/record_import.h"

#include "transfer/cell_text.h"
#include "data/schema.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"
#include "xls/unicode.h"

#include <algorithm>

namespace kestrova::transfer {

RecordImporter::RecordImporter(Database &db, const QString &sheetName)
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

    QStringList names, marks;
    for (int i = 0; i < m_columns.size(); ++i) {
        names << quotedName(m_columns[i].name);
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

namespace {
using NumberKind = RecordImporter::SharedNumbers::Kind;

// Whether a text is longer than a workbook cell holds, so no export could carry it.
bool exceedsCell(std::string_view utf8)
{
    constexpr size_t kCellUnits = 32767;
    if (utf8.size() <= kCellUnits)
        return false; // every UTF-16 unit takes at least one byte
    size_t units = 0;
    bool latin1 = false;
    return !xls::measureUtf8(utf8, units, latin1) || units > kCellUnits;
}

NumberKind numberKind(std::string_view text, double &value)
{
    if (isBlankCell(text))
        return NumberKind::Blank;
    const auto v = cellNumber(text);
    if (!v)
        return NumberKind::NotNumber;
    value = *v;
    return carriesThrough(*v) ? NumberKind::Number : NumberKind::Uncarried;
}
} // namespace

NumberKind RecordImporter::SharedNumbers::kind(uint32_t i, std::string_view text, double &value)
{
    if (m_kinds[i] == Kind::Unknown)
        m_kinds[i] = numberKind(text, m_values[i]);
    value = m_values[i];
    return m_kinds[i];
}

void RecordImporter::prepare(int sheetRow, const CellViews &cells, Row &row, SharedNumbers *shared) const
{
    using xls::kNotShared;
    if (m_nameColumn < 0)
        throw TransferError(kImportFailed, QStringLiteral("sheet %1 has no header row").arg(m_sheet));
    row.sheetRow = sheetRow;
    row.blank = std::all_of(cells.begin(), cells.end(),
                            [](const xls::WorkbookReader::CellView &c) { return c.text.empty(); });
    if (row.blank)
        return;

    // Assigning into the row's own strings and vectors reuses what they hold from the
    // row they carried before, so a long import hardly allocates.
    static const xls::WorkbookReader::CellView none;
    const auto cell = [&cells](size_t i) -> const xls::WorkbookReader::CellView & {
        return i < cells.size() ? cells[i] : none;
    };
    const size_t n = size_t(m_columns.size());
    row.name.assign(cell(size_t(m_nameColumn)).text);
    // The set is no longer changed once rows are read, so this thread may look.
    row.nameReplaced = !m_replaced.empty() && m_replaced.contains(row.name);
    row.kinds.assign(n, Row::Kind::Text);
    row.numbers.assign(n, 0.0);
    row.owned.resize(n); // before any view into it is taken
    row.texts.assign(n, std::string_view());
    for (size_t i = 0; i < n; ++i) {
        const ColumnInfo &col = m_columns[qsizetype(i)];
        const xls::WorkbookReader::CellView &c = cell(i);
        if (col.numeric) {
            double v = 0;
            const NumberKind k = shared && c.sharedString != kNotShared ? shared->kind(c.sharedString, c.text, v)
                                                                        : numberKind(c.text, v);
            if (k == NumberKind::NotNumber)
                failAt(sheetRow, int(i), QString::fromUtf8(c.text.data(), qsizetype(c.text.size())), "is not a number");
            if (k == NumberKind::Uncarried)
                failAt(sheetRow, int(i), QString::fromUtf8(c.text.data(), qsizetype(c.text.size())),
                       "has more than the 15 significant digits a workbook shows, or is too large");
            row.kinds[i] = k == NumberKind::Blank ? Row::Kind::Null : Row::Kind::Number;
            row.numbers[i] = v;
        } else if (exceedsCell(c.text)) {
            // The value's start is enough to find the cell.
            failAt(sheetRow, int(i), QString::fromUtf8(c.text.data(), 120).left(20) + QStringLiteral("…"),
                   "is longer than the 32,767 characters a workbook cell holds");
        } else if (col.date && !isBlankCell(c.text)) {
            const QString text = QString::fromUtf8(c.text.data(), qsizetype(c.text.size()));
            const auto stored = storedDateOf(text);
            if (!stored)
                failAt(sheetRow, int(i), text, "is not a date");
            row.owned[i] = stored->toStdString();
            row.texts[i] = row.owned[i];
        } else if (c.sharedString != kNotShared) {
            row.texts[i] = c.text; // lasts as long as the workbook
        } else {
            row.owned[i].assign(c.text);
            row.texts[i] = row.owned[i];
        }
    }
}

void RecordImporter::write(const Row &row)
{
    if (row.blank)
        return;
    if (!row.nameReplaced && m_seenNames.insert(row.name).second) {
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
                            QStringLiteral("sheet %1, row %2: %3").arg(m_sheet).arg(row.sheetRow).arg(e.detail()));
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
    m_replaced.insert(names.begin(), names.end());
    if (!m_replaced.empty()) {
        // Emptying the table drops its pages whole; deleting row by row costs far more.
        if (namesCoverEveryRecord())
            m_db.exec(QStringLiteral("DELETE FROM TZ_XIANGMU"));
        else
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

bool RecordImporter::namesCoverEveryRecord() const
{
    Statement names = m_db.prepare(QStringLiteral("SELECT 企业名称 FROM TZ_XIANGMU"));
    while (names.next())
        if (!m_replaced.contains(names.utf8(0)))
            return false;
    return true;
}

void RecordImporter::deleteNamesAtOnce()
{
    // The names go into a temporary table of this transaction, so a failure takes it
    // back with everything else.
    m_db.exec(QStringLiteral("CREATE TEMP TABLE import_names(name TEXT PRIMARY KEY) WITHOUT ROWID"));
    {
        // In order, the names fill the table's pages one after another.
        std::vector<std::string_view> sorted(m_replaced.begin(), m_replaced.end());
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
