#pragma once
// How the rows of an upload workbook's record sheet become the values of TZ_XIANGMU:
// the header, and each row checked and converted. The import and its preview read a
// sheet through this one definition, so the preview finds exactly what the import
// would refuse.
#include "transfer/transfer_columns.h"
#include "xls/reader.h"

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace kestrova {
class Database;
}

namespace kestrova::transfer {

class UploadRowFormat {
public:
    // Reads the table's columns. sheetName only names the sheet in messages.
    UploadRowFormat(Database &db, const QString &sheetName);

    // Cells are UTF-8 texts, as the workbook reader gives them.
    using Cells = std::vector<std::string>;
    using CellViews = std::vector<xls::WorkbookReader::CellView>;

    // The sheet's first row. 企业名称 is found by name; the other columns are taken by
    // position (sheet column c into table column c + 1). Throws TransferError.
    void setHeader(const Cells &cells);
    int nameColumn() const { return m_nameColumn; }
    // Table columns 2..last, in the order the sheet's columns go into them.
    const QList<ColumnInfo> &columns() const { return m_columns; }
    // The position of a column among columns(), or -1.
    int columnIndex(const QString &name) const;

    // A data row made ready for the database: numbers parsed, dates in their stored form.
    struct Row {
        enum class Kind : unsigned char { Null, Number, Text };
        int sheetRow = 0;
        bool blank = true; // no value at all: skipped
        std::string name;
        bool nameReplaced = false; // the importer's: its records went before any row
        bool nameExisted = false;  // the importer's: local records had its name
        std::vector<Kind> kinds;   // one per table column
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
    // Touches no database, so rows can be made ready on the thread that reads the
    // workbook. Texts that last stay views into the workbook. Throws TransferError naming
    // the row and column of a bad value: a text longer than a workbook cell holds, a
    // number that is not finite or has more digits than a workbook shows, a date that is
    // not one.
    void prepare(int sheetRow, const CellViews &cells, Row &row, SharedNumbers *numbers = nullptr) const;

    // Where a row's message points: "工作表“数据信息”第 12 行".
    QString rowPlace(int sheetRow) const;

private:
    QString m_sheet;
    QList<ColumnInfo> m_columns;
    int m_nameColumn = -1;

    [[noreturn]] void failAt(int sheetRow, int column, const QString &value, const QString &what) const;
};

// The text of a row's text column as stored, or an empty view for another kind.
inline std::string_view rowText(const UploadRowFormat::Row &row, int column)
{
    return column >= 0 && row.kinds[size_t(column)] == UploadRowFormat::Row::Kind::Text ? row.texts[size_t(column)]
                                                                                        : std::string_view();
}

} // namespace kestrova::transfer
