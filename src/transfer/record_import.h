#pragma once
// Loads the rows of an upload workbook's record sheet into TZ_XIANGMU, whatever reads
// the workbook: every local record whose 企业名称 occurs in the sheet is replaced by the
// sheet's rows of that name, every row is appended with a new ID, and all of it happens
// in one transaction, so a failure at any row leaves the database as it was.
#include "data/database.h"
#include "transfer/transfer_columns.h"

#include <QSet>
#include <QStringList>

#include <memory>

namespace kestrova::transfer {

class RecordImporter {
public:
    // Begins the transaction. sheetName only names the sheet in error messages.
    RecordImporter(Database &db, const QString &sheetName);
    ~RecordImporter();
    RecordImporter(const RecordImporter &) = delete;
    RecordImporter &operator=(const RecordImporter &) = delete;

    // The sheet's first row. 企业名称 is found by name; the other columns are taken by
    // position (sheet column c into table column c + 1). Throws TransferError.
    void setHeader(const QStringList &cells);
    // One data row; sheetRow is the sheet's own 1-based row number. Rows without any
    // value are skipped. Throws TransferError.
    void addRow(int sheetRow, const QStringList &cells);
    // Makes everything permanent; without it the destructor rolls back.
    void commit();

    int appended() const { return m_appended; }
    int replacedNames() const { return int(m_seenNames.size()); }

private:
    Database &m_db;
    QString m_sheet;
    Transaction m_tx;
    QString m_oldCacheSize;
    QList<ColumnInfo> m_columns; // table columns 2..last
    qint64 m_lastOldId = 0;      // records up to this ID existed before the import
    int m_nameColumn = -1;       // 0-based sheet column headed 企业名称
    QSet<QString> m_seenNames;
    std::unique_ptr<Statement> m_delete;
    std::unique_ptr<Statement> m_insert;
    int m_appended = 0;

    [[noreturn]] void failAt(int sheetRow, int column, const QString &value, const char *what) const;
};

} // namespace kestrova::transfer
