#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::xls {

class SharedStrings;
class Workbook;

// How a cell looks. Format 0 of every workbook is CellFormat{} (11 pt 宋体, general alignment).
struct CellFormat
{
    enum class HAlign { General, Left, Center, Right };
    enum class VAlign { Top, Center, Bottom };

    double fontHeightPt = 11; // 1 to 409 points
    bool bold = false;
    std::string fontName = "宋体"; // 1 to 31 characters
    HAlign hAlign = HAlign::General;
    VAlign vAlign = VAlign::Bottom;
    bool wrap = false;
    bool border = false; // thin lines on all four sides

    bool operator==(const CellFormat &) const = default;
};

// How a sheet prints. Without one a sheet prints on A4 portrait at 100 %.
struct PageSetup
{
    bool landscape = false;
    // Fit to so many pages across and down; 0 leaves that direction to as many pages as it
    // needs. With both 0 the sheet prints at `scale` per cent.
    int fitWidth = 0, fitHeight = 0; // 0 to 32,767
    int scale = 100;                 // 10 to 400
    bool centerHorizontally = false;
    double leftMargin = 0.75, rightMargin = 0.75, topMargin = 1, bottomMargin = 1; // inches, 0 to 49
    // Rows printed at the top of every page, 0-based and inclusive; -1 for none.
    int titleFirstRow = -1, titleLastRow = -1;
};

// One worksheet of a Workbook; made by Workbook::addSheet and owned by it.
// Rows 0..65535, columns 0..255. Every setter checks its arguments first and throws
// XlsError without changing the sheet. Setting a cell again replaces it.
class Sheet
{
public:
    Sheet(const Sheet &) = delete;
    Sheet &operator=(const Sheet &) = delete;
    ~Sheet();

    const std::string &name() const { return m_name; }

    void setText(int row, int col, std::string_view text, int format = 0); // ≤ 32,767 UTF-16 units
    void setNumber(int row, int col, double v, int format = 0);            // finite numbers
    void setBlank(int row, int col, int format);
    // The block shows as one cell; ranges may not overlap earlier merges. Put the value in
    // the top-left cell; the other cells of the block are given blanks of its format on save.
    void merge(int firstRow, int firstCol, int lastRow, int lastCol);
    void setColumnWidth(int col, double characters); // 0 to 255 characters
    void setRowHeight(int row, double points);       // 0 to 409 points
    void setPageSetup(const PageSetup &setup);

    // internal representation, public for the record writer
    struct Cell
    {
        uint8_t col;
        uint8_t kind; // Kind
        uint16_t xf;
        uint32_t value; // SST index, index into m_numbers, or place in the queued texts
    };
    // A text cell is QueuedText until its string's batch goes into the table.
    enum Kind : uint8_t { Blank = 0, Text = 1, Number = 2, QueuedText = 3 };
    struct Merge { uint16_t firstRow, lastRow; uint8_t firstCol, lastCol; };

private:
    friend class Workbook;
    friend class WorkbookRecordWriter;
    Sheet(std::string name, Workbook &book, uint32_t index);
    void putCell(int row, int col, uint8_t kind, int format, uint32_t value);
    size_t positionFor(int row, int col) const; // where a cell of that column goes in its row
    void putCellAt(int row, size_t pos, const Cell &cell);
    void resolveText(uint64_t tag, uint32_t place, uint32_t index);

    std::string m_name;
    Workbook &m_book;
    uint32_t m_index; // in the workbook
    const int &m_formatCount;
    std::vector<std::vector<Cell>> m_rows; // by row, cells sorted by column
    std::vector<double> m_numbers;
    std::vector<Merge> m_merges;
    std::vector<int32_t> m_columnWidths; // by column: 1/256 characters, -1 = default
    std::vector<int32_t> m_rowHeights;   // by row: twips, -1 = default
    std::optional<PageSetup> m_pageSetup;
};

// A new Excel 97-2003 workbook built in memory and written in one go.
class Workbook
{
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // Names: 1 to 31 characters, none of []:*?/\, unique ignoring letter case.
    Sheet &addSheet(std::string_view name);
    int sheetCount() const { return int(m_sheets.size()); }
    Sheet &sheet(int index);

    // Returns the number to pass as `format`; an identical format gives the same number.
    int addFormat(const CellFormat &format);

    // Writes to a temporary file beside `path` and renames it into place, so a failure
    // never leaves a half-written workbook under that name. Needs at least one sheet.
    void save(const std::string &path) const;

private:
    friend class Sheet;
    friend class WorkbookRecordWriter;
    // Gives the queued text cells of every sheet their string indices.
    void flushTexts() const;

    std::unique_ptr<SharedStrings> m_strings;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
    std::vector<CellFormat> m_formats; // [0] = default
    int m_formatCount = 1;
};

} // namespace kestrova::xls
