#pragma once
// Loads the rows of an upload workbook's record sheet into TZ_XIANGMU, whatever reads
// the workbook: every local record whose 企业名称 occurs in the sheet is replaced by the
// sheet's rows of that name, every row is appended with a new ID, and all of it happens
// in one transaction, so a failure at any row leaves the database as it was.
#include "data/database.h"
#include "transfer/transfer_columns.h"

#include <QStringList>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace kestrova::transfer {

class RecordImporter {
public:
    // Begins the transaction. sheetName only names the sheet in error messages;
    // expectedRows (as far as known) decides how the indexes are kept up.
    RecordImporter(Database &db, const QString &sheetName, int expectedRows = 0);
    ~RecordImporter();
    RecordImporter(const RecordImporter &) = delete;
    RecordImporter &operator=(const RecordImporter &) = delete;

    // Cells are UTF-8 texts, as the workbook reader gives them.
    using Cells = std::vector<std::string>;
    // The sheet's first row. 企业名称 is found by name; the other columns are taken by
    // position (sheet column c into table column c + 1). Throws TransferError.
    void setHeader(const Cells &cells);
    // A data row made ready for the database: numbers parsed, dates in their stored form.
    struct Row {
        enum class Kind : unsigned char { Null, Number, Text };
        int sheetRow = 0;
        bool blank = true; // no value at all: skipped
        std::string name;
        std::vector<Kind> kinds; // one per table column
        std::vector<double> numbers;
        Cells texts; // for the text columns
    };
    // Checks and converts one data row; sheetRow is the sheet's own 1-based row number.
    // Touches no database, so the rows can be made ready on the thread that reads the
    // workbook. Throws TransferError naming the row and column of a bad value.
    void prepare(int sheetRow, const Cells &cells, Row &row) const;
    // Replaces the records of the row's name (once per name) and appends the row.
    void write(const Row &row);
    // prepare and write. Rows without any value are skipped. Throws TransferError.
    void addRow(int sheetRow, const Cells &cells);
    // Makes everything permanent; without it the destructor rolls back.
    void commit();

    int appended() const { return m_appended; }
    int replacedNames() const { return int(m_seenNames.size()); }

private:
    Database &m_db;
    QString m_sheet;
    Transaction m_tx;
    QString m_oldCacheSize;
    QString m_oldSecureDelete;
    QList<ColumnInfo> m_columns; // table columns 2..last
    qint64 m_lastOldId = 0;      // records up to this ID existed before the import
    int m_nameColumn = -1;       // 0-based sheet column headed 企业名称
    std::unordered_set<std::string> m_seenNames;
    std::unique_ptr<Statement> m_delete;
    std::unique_ptr<Statement> m_insert;
    int m_appended = 0;
    bool m_bulk = false; // indexes rebuilt and replaced records deleted at the end

    void deleteReplacedAtOnce();

    [[noreturn]] void failAt(int sheetRow, int column, const QString &value, const char *what) const;
};

} // namespace kestrova::transfer
