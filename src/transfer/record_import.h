#pragma once
// Loads the rows of an upload workbook's record sheet into TZ_XIANGMU, whatever reads
// the workbook: every local record whose 企业名称 occurs in the sheet is replaced by the
// sheet's rows of that name, every row is appended with a new ID, and all of it happens
// in one transaction, so a failure at any row leaves the database as it was.
#include "data/database.h"
#include "transfer/transfer_columns.h"
#include "xls/reader.h"

#include <QStringList>

#include <memory>
#include <string>
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

    // Cells are UTF-8 texts, as the workbook reader gives them.
    using Cells = std::vector<std::string>;
    using CellViews = std::vector<xls::WorkbookReader::CellView>;
    // The sheet's first row. 企业名称 is found by name; the other columns are taken by
    // position (sheet column c into table column c + 1). Throws TransferError.
    void setHeader(const Cells &cells);
    // Deletes now the local records of these names (the sheet's 企业名称 column, read
    // before its rows: each name is that of a row to be written), so the rows go into a
    // table that no longer holds them; names that cover every local record empty the table
    // in one step. A row whose name is not among them still has its name's records deleted
    // when it is written. expectedRows decides how the indexes are kept up.
    void replaceNames(const std::vector<std::string> &names, int expectedRows);
    // A data row made ready for the database: numbers parsed, dates in their stored form.
    struct Row {
        enum class Kind : unsigned char { Null, Number, Text };
        int sheetRow = 0;
        bool blank = true; // no value at all: skipped
        std::string name;
        bool nameReplaced = false; // its records went in replaceNames
        std::vector<Kind> kinds; // one per table column
        std::vector<double> numbers;
        // For the text columns: the workbook's own lasting text, or a copy in owned.
        std::vector<std::string_view> texts;
        Cells owned;
    };
    // What the shared strings of a workbook mean as numbers, worked out on first use:
    // a sheet shows the same texts in many cells. Used by one thread.
    class SharedNumbers {
    public:
        // Uncarried: a number that would not come back as itself from an exported workbook.
        enum class Kind : unsigned char { Unknown, Blank, Number, NotNumber, Uncarried };
        explicit SharedNumbers(uint32_t count) : m_kinds(count, Kind::Unknown), m_values(count) {}
        Kind kind(uint32_t i, std::string_view text, double &value);

    private:
        std::vector<Kind> m_kinds;
        std::vector<double> m_values;
    };
    // Checks and converts one data row; sheetRow is the sheet's own 1-based row number.
    // Touches no database, so the rows can be made ready on the thread that reads the
    // workbook. Texts that last stay views into the workbook. Throws TransferError naming
    // the row and column of a bad value: a text longer than a workbook cell holds, a
    // number that is not finite or has more digits than a workbook shows.
    void prepare(int sheetRow, const CellViews &cells, Row &row, SharedNumbers *numbers = nullptr) const;
    // Replaces the records of the row's name (once per name) and appends the row.
    void write(const Row &row);
    // prepare and write. Rows without any value are skipped. Throws TransferError.
    void addRow(int sheetRow, const Cells &cells);
    int nameColumn() const { return m_nameColumn; }
    // Makes everything permanent; without it the destructor rolls back.
    void commit();

    int appended() const { return m_appended; }
    // Distinct names among the rows written.
    int replacedNames() const { return int(m_replaced.size() + m_seenNames.size()); }

private:
    Database &m_db;
    QString m_sheet;
    Transaction m_tx;
    QString m_oldCacheSize;
    QString m_oldSecureDelete;
    QList<ColumnInfo> m_columns; // table columns 2..last
    qint64 m_lastOldId = 0;      // records up to this ID existed before the import
    int m_nameColumn = -1;       // 0-based sheet column headed 企业名称
    // Looked up by string_view without making a string.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    using NameSet = std::unordered_set<std::string, NameHash, std::equal_to<>>;
    NameSet m_replaced;  // names whose records replaceNames deleted; fixed before any row
    NameSet m_seenNames; // names of rows written that are not among them
    std::unique_ptr<Statement> m_delete;
    std::unique_ptr<Statement> m_insert;
    int m_appended = 0;
    bool m_bulk = false; // indexes dropped, rebuilt at the end

    bool namesCoverEveryRecord() const;
    void deleteNamesAtOnce();

    [[noreturn]] void failAt(int sheetRow, int column, const QString &value, const char *what) const;
};

} // namespace kestrova::transfer
