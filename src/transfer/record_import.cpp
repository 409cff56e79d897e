#include "transfer/record_import.h"

#include "transfer/cell_text.h"
#include "data/schema.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"

namespace kestrova::transfer {

RecordImporter::RecordImporter(Database &db, const QString &sheetName) : m_db(db), m_sheet(sheetName), m_tx(db)
{
    // Replacing tens of thousands of records touches more pages than the default cache
    // holds; spilling them to the file mid-transaction costs more than the work itself.
    m_oldCacheSize = db.scalar(QStringLiteral("PRAGMA cache_size"));
    db.exec(QStringLiteral("PRAGMA cache_size=-131072"));
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
    // appending gives the same result as deleting every name first and appending after.
    m_delete = std::make_unique<Statement>(db, QStringLiteral("DELETE FROM TZ_XIANGMU WHERE 企业名称=?1 AND ID<=?2"));
}

RecordImporter::~RecordImporter()
{
    try {
        m_db.exec(QStringLiteral("PRAGMA cache_size=") + QString::number(m_oldCacheSize.toLongLong()));
    } catch (...) {
        // Only a cache size: nothing to report.
    }
}

void RecordImporter::setHeader(const QStringList &cells)
{
    for (int i = 0; i < cells.size(); ++i) {
        if (cells[i].trimmed() == kNameColumn) {
            m_nameColumn = i;
            break;
        }
    }
    if (m_nameColumn < 0)
        throw TransferError(kImportFailed,
                            QStringLiteral("sheet %1, row 1: no column headed %2").arg(m_sheet, kNameColumn));
    if (cells.size() < m_columns.size())
        throw TransferError(kImportFailed, QStringLiteral("sheet %1, row 1: %2 columns, %3 expected")
                                               .arg(m_sheet)
                                               .arg(cells.size())
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

void RecordImporter::addRow(int sheetRow, const QStringList &cells)
{
    if (m_nameColumn < 0)
        throw TransferError(kImportFailed, QStringLiteral("sheet %1 has no header row").arg(m_sheet));
    bool any = false;
    for (const auto &c : cells)
        if (!c.isEmpty()) {
            any = true;
            break;
        }
    if (!any)
        return;

    const QString name = cells.value(m_nameColumn);
    if (!m_seenNames.contains(name)) {
        m_seenNames.insert(name);
        m_delete->reset();
        m_delete->bindText(1, name);
        m_delete->bind(2, QVariant(m_lastOldId));
        m_delete->run();
    }

    m_insert->reset();
    for (int i = 0; i < m_columns.size(); ++i) {
        const ColumnInfo &col = m_columns[i];
        const QString text = cells.value(i);
        if (col.numeric) {
            if (text.trimmed().isEmpty()) {
                m_insert->bindNull(i + 1);
            } else if (const auto v = cellNumber(text)) {
                m_insert->bindNumber(i + 1, *v);
            } else {
                failAt(sheetRow, i, text, "is not a number");
            }
        } else if (col.date && !text.trimmed().isEmpty()) {
            const auto stored = storedDateOf(text);
            if (!stored)
                failAt(sheetRow, i, text, "is not a date");
            m_insert->bindText(i + 1, *stored);
        } else {
            m_insert->bindText(i + 1, text);
        }
    }
    try {
        m_insert->run();
    } catch (const DbError &e) {
        throw TransferError(kImportFailed,
                            QStringLiteral("sheet %1, row %2: %3").arg(m_sheet).arg(sheetRow).arg(e.message()));
    }
    ++m_appended;
}

void RecordImporter::commit()
{
    m_insert.reset();
    m_delete.reset();
    m_tx.commit();
}

} // namespace kestrova::transfer
