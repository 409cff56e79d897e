#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace kestrova::xls {

class FilledWorkbook;
struct CompoundFileContents;

// Fills a copy of a template workbook (.xls made by our writer, by LibreOffice or by Excel):
// the given cells get texts or numbers, everything else is kept as the template has it (other cells
// and their formats, merges, column widths, row heights, other sheets, page setup, names).
// An existing cell keeps its format; a new cell gets its column's format, else the default
// (or that of a row chosen with extendRowFormats).
// The copy keeps the template's other streams and storages (macros, document properties,
// embedded objects). A template encrypted with Excel's built-in password is filled into a
// copy without encryption. Rows 0..65535, columns 0..255, 0-based.
class TemplateFiller
{
public:
    explicit TemplateFiller(const std::string &templatePath); // throws XlsError
    // The same from the bytes of an .xls file in memory (`what` names it in messages).
    static TemplateFiller fromBytes(const void *data, size_t size, const std::string &what = "template");
    ~TemplateFiller();
    TemplateFiller(TemplateFiller &&) noexcept;
    TemplateFiller &operator=(TemplateFiller &&) noexcept;

    int sheetCount() const;
    std::string sheetName(int i) const;
    int sheetIndex(std::string_view name) const; // -1 if absent; letter case ignored

    // Checks its arguments first (sheet index, row, column, ≤ 32,767 characters, UTF-8)
    // and throws XlsError without changing anything. A cell inside a merged block other
    // than its top-left one is written to the top-left cell, where the block shows it.
    // A cell holding a formula loses it; when other cells share that formula they keep
    // theirs, and the other cells of an array formula or table keep the values they show.
    void setText(int sheet, int row, int col, std::string_view text);
    // The same checks and merge rule as setText; the cell becomes a number (RK or NUMBER)
    // in the format the cell had. Throws NumberNotFinite for infinities and NaN.
    void setNumber(int sheet, int row, int col, double value);
    // A number cell when `text` is the general-format text of a number (so the cell shows
    // exactly that text and sums), else a text cell.
    void setNumberOrText(int sheet, int row, int col, std::string_view text);
    // Rows below `row` that the template leaves without cells of their own take that
    // row's height and, column by column, its cells' formats: a table written on past the
    // template's last row keeps its look.
    void extendRowFormats(int sheet, int row);
    // The block of the sheet that prints (the built-in name Print_Area), rows and columns
    // 0-based and inclusive, replacing one the template has.
    void setPrintArea(int sheet, int firstRow, int lastRow, int firstCol, int lastCol);

    // The cell's current text (after earlier setText calls), as the reader would give it.
    std::string text(int sheet, int row, int col) const;

    // Writes the filled copy to a temporary file beside outPath, then renames it into place.
    void save(const std::string &outPath) const;

private:
    TemplateFiller(CompoundFileContents &&contents, const std::string &what);
    std::unique_ptr<FilledWorkbook> m_book;
};

} // namespace kestrova::xls
