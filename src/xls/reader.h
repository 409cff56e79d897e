#pragma once
#include "xls/sheet_cells.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::xls {

struct ParsedWorkbook;

// Reads the cells of Excel 97-2003 workbooks made by any program, as text:
// strings as stored; numbers in the general format ("12", "0.5", "1.5E-06"); numbers with a
// date format as yyyy-MM-dd, or yyyy-MM-dd H:mm:ss with a time part; formulas by their cached
// result; booleans "TRUE"/"FALSE"; errors "#DIV/0!" and the like; empty cells "".
// Numbers with an elapsed-time format ([h]:mm) read as numbers. Workbooks encrypted with
// Excel's built-in password are decrypted; one that needs a password of its own, and
// damaged or foreign files, throw XlsError saying what is wrong.
class WorkbookReader
{
public:
    static WorkbookReader open(const std::string &path); // throws XlsError
    // The same from the bytes of an .xls file in memory (`what` names it in messages).
    static WorkbookReader fromBytes(const void *data, size_t size, const std::string &what = "workbook");
    ~WorkbookReader();
    WorkbookReader(WorkbookReader &&) noexcept;
    WorkbookReader &operator=(WorkbookReader &&) noexcept;

    std::vector<std::string> sheetNames() const; // worksheets only, in workbook order

    // Calls fn once per stored row in row order; `cells` runs from column 0 to the row's
    // last cell holding a value. Rows with no value (nothing, or only formatted blanks) are
    // skipped. Throws XlsError if the sheet is
    // missing (name compared ignoring letter case) or its records are damaged.
    void forEachRow(std::string_view sheet,
                    const std::function<void(int row, const std::vector<std::string> &cells)> &fn) const;
    // A cell as forEachRowView gives it: its text, and the number of the shared string it
    // shows (kNotShared for any other cell). The text stays valid as long as the reader
    // when the cell shows a shared string, and during the call otherwise.
    struct CellView
    {
        std::string_view text;
        uint32_t sharedString = kNotShared;
    };
    // forEachRow without copying a text: the fast way through a large sheet.
    void forEachRowView(std::string_view sheet,
                        const std::function<void(int row, const std::vector<CellView> &cells)> &fn) const;
    uint32_t sharedStringCount() const;
    // How many rows hold cell records, counted without decoding any cell: a progress
    // bar's length, which rows of formatted blanks only make a little too long.
    size_t rowsWithCells(std::string_view sheet) const;
    // One row's cells as forEachRow gives them; empty when the row holds no value.
    std::vector<std::string> readRow(std::string_view sheet, int row) const;
    // The texts of one column, indexed by row ("" where it has no cell), and how many
    // rows hold cell records, from one pass that decodes no other cell: what an import
    // needs to know before it reads the rows themselves.
    struct ColumnSurvey
    {
        size_t rowsWithCells = 0;
        std::vector<std::string> texts;
    };
    ColumnSurvey surveyColumn(std::string_view sheet, int column) const;
    // All rows from row 0 to the last stored one, missing rows as empty vectors.
    std::vector<std::vector<std::string>> readSheet(std::string_view sheet) const;

private:
    explicit WorkbookReader(std::unique_ptr<ParsedWorkbook> book);
    static WorkbookReader fromStream(std::string stream, const std::string &path);
    std::unique_ptr<ParsedWorkbook> m_book;
};

// Convenience: WorkbookReader::open(path).readSheet(sheet).
std::vector<std::vector<std::string>> readSheetCells(const std::string &path, std::string_view sheet);

} // namespace kestrova::xls
