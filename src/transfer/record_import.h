#pragma once
// Loads the rows of an upload workbook's record sheet into TZ_XIANGMU, whatever reads
// the workbook: every local record whose 企业名称 occurs in the sheet is replaced by the
// sheet's rows of that name, every row is appended with a new ID, and all of it happens
// in one transaction, so a failure at any row leaves the database as it was.
#include "data/database.h"
#include "transfer/upload_row_format.h"

#include <QStringList>

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kestrova::transfer {

class RecordImporter {
public:
    // Begins the transaction. sheetName only names the sheet in error messages.
    RecordImporter(Database &db, const QString &sheetName);
    ~RecordImporter();
    RecordImporter(const RecordImporter &) = delete;
    RecordImporter &operator=(const RecordImporter &) = delete;

    using Cells = UploadRowFormat::Cells;
    using CellViews = UploadRowFormat::CellViews;
    using Row = UploadRowFormat::Row;
    using SharedNumbers = UploadRowFormat::SharedNumbers;
    // The sheet's first row (UploadRowFormat::setHeader). Throws TransferError.
    void setHeader(const Cells &cells) { m_format.setHeader(cells); }
    const UploadRowFormat &format() const { return m_format; }
    // Deletes now the local records of these names (the sheet's 企业名称 column, read
    // before its rows: each name is that of a row to be written), so the rows go into a
    // table that no longer holds them; names that cover every local record empty the table
    // in one step. A row whose name is not among them still has its name's records deleted
    // when it is written. expectedRows decides how the indexes are kept up.
    void replaceNames(const std::vector<std::string> &names, int expectedRows);
    // UploadRowFormat::prepare, and whether the row's name went in replaceNames. Touches
    // no database: may run on the thread that reads the workbook once replaceNames is done.
    void prepare(int sheetRow, const CellViews &cells, Row &row, SharedNumbers *numbers = nullptr) const;
    // Replaces the records of the row's name (once per name) and appends the row.
    void write(const Row &row);
    // prepare and write. Rows without any value are skipped. Throws TransferError.
    void addRow(int sheetRow, const Cells &cells);
    int nameColumn() const { return m_format.nameColumn(); }
    // Makes everything permanent; without it the destructor rolls back.
    void commit();

    int appended() const { return m_appended; }
    // Distinct names among the rows written.
    int replacedNames() const { return int(m_replaced.size() + m_seenNames.size()); }
    // Local records deleted because the sheet names them.
    int deleted() const { return m_deleted; }
    // Rows written whose name no local record had before the import.
    int added() const { return m_added; }

private:
    Database &m_db;
    UploadRowFormat m_format;
    Transaction m_tx;
    QString m_oldCacheSize;
    QString m_oldSecureDelete;
    qint64 m_lastOldId = 0; // records up to this ID existed before the import
    // Looked up by string_view without making a string.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    using NameSet = std::unordered_set<std::string, NameHash, std::equal_to<>>;
    // Names whose records replaceNames deleted, and whether local records had them;
    // fixed before any row.
    std::unordered_map<std::string, bool, NameHash, std::equal_to<>> m_replaced;
    NameSet m_seenNames;    // names of rows written that are not among m_replaced
    NameSet m_seenExisting; // those among them whose delete found local records
    std::unique_ptr<Statement> m_delete;
    std::unique_ptr<Statement> m_insert;
    int m_appended = 0;
    int m_deleted = 0;
    int m_added = 0;
    bool m_bulk = false; // indexes dropped, rebuilt at the end

    // Reads every local name once: which of the replaced names exist, how many records
    // they have, and whether they are all the records there are.
    bool noteExistingNames();
    void deleteNamesAtOnce();
};

} // namespace kestrova::transfer
