#include "xls/writer.h"

#include "xls/errors.h"
#include "xls/shared_strings.h"
#include "xls/unicode.h"

#include <algorithm>
#include <cmath>

namespace kestrova::xls {

namespace {

constexpr int MaxRow = 65535, MaxCol = 255, MaxFormats = 3900;

void checkCell(int row, int col)
{
    if (row < 0 || row > MaxRow)
        throw XlsError(ErrorCode::RowOutOfRange, "row " + std::to_string(row + 1));
    if (col < 0 || col > MaxCol)
        throw XlsError(ErrorCode::ColumnOutOfRange, "column " + std::to_string(col + 1));
}

void checkFormat(int format, int count)
{
    if (format < 0 || format >= count)
        throw XlsError(ErrorCode::FormatOutOfRange, "format " + std::to_string(format));
}

// Sheet names as Excel allows them; returns the name's UTF-16 length.
void checkSheetName(std::string_view name)
{
    if (name.empty())
        throw XlsError(ErrorCode::SheetNameEmpty);
    size_t units = 0;
    bool latin1 = false;
    if (!measureUtf8(name, units, latin1))
        throw XlsError(ErrorCode::InvalidText, "sheet name");
    if (units > 31)
        throw XlsError(ErrorCode::SheetNameTooLong, std::string(name));
    if (name.find_first_of("[]:*?/\\") != std::string_view::npos)
        throw XlsError(ErrorCode::SheetNameInvalidChar, std::string(name));
}

std::string asciiLower(std::string_view s)
{
    std::string out(s);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return out;
}

} // namespace

Sheet::Sheet(std::string name, SharedStrings &strings, const int &formatCount)
    : m_name(std::move(name)), m_strings(strings), m_formatCount(formatCount)
{
}

Sheet::~Sheet() = default;

void Sheet::putCell(int row, int col, uint8_t kind, int format, uint32_t value)
{
    if (m_rows.size() <= size_t(row))
        m_rows.resize(size_t(row) + 1);
    auto &cells = m_rows[size_t(row)];
    const Cell cell{uint8_t(col), kind, uint16_t(format), value};
    if (cells.empty() && row > 0)
        cells.reserve(m_rows[size_t(row) - 1].size()); // rows tend to be as wide as the one before
    if (cells.empty() || cells.back().col < col) { // the usual case: filling left to right
        cells.push_back(cell);
        return;
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), col, [](const Cell &c, int v) { return c.col < v; });
    if (it != cells.end() && it->col == col)
        *it = cell;
    else
        cells.insert(it, cell);
}

void Sheet::setText(int row, int col, std::string_view text, int format)
{
    checkCell(row, col);
    checkFormat(format, m_formatCount);
    size_t units = 0;
    bool latin1 = false;
    if (!measureUtf8(text, units, latin1))
        throw XlsError(ErrorCode::InvalidText, "row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1));
    if (units > 32767)
        throw XlsError(ErrorCode::TextTooLong, std::to_string(units) + " characters in row " + std::to_string(row + 1) +
                       ", column " + std::to_string(col + 1));
    putCell(row, col, Text, format, m_strings.add(text));
}

void Sheet::setNumber(int row, int col, double v, int format)
{
    checkCell(row, col);
    checkFormat(format, m_formatCount);
    if (!std::isfinite(v))
        throw XlsError(ErrorCode::NumberNotFinite, "row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1));
    if (m_numbers.size() >= 0xFFFFFFFEu)
        throw XlsError(ErrorCode::WorkbookTooLarge);
    m_numbers.push_back(v);
    putCell(row, col, Number, format, uint32_t(m_numbers.size() - 1));
}

void Sheet::setBlank(int row, int col, int format)
{
    checkCell(row, col);
    checkFormat(format, m_formatCount);
    putCell(row, col, Blank, format, 0);
}

void Sheet::merge(int firstRow, int firstCol, int lastRow, int lastCol)
{
    checkCell(firstRow, firstCol);
    checkCell(lastRow, lastCol);
    const std::string range = "rows " + std::to_string(firstRow + 1) + "-" + std::to_string(lastRow + 1) +
                              ", columns " + std::to_string(firstCol + 1) + "-" + std::to_string(lastCol + 1);
    if (firstRow > lastRow || firstCol > lastCol)
        throw XlsError(ErrorCode::BadMergeRange, range);
    for (const Merge &m : m_merges)
        if (firstRow <= m.lastRow && m.firstRow <= lastRow && firstCol <= m.lastCol && m.firstCol <= lastCol)
            throw XlsError(ErrorCode::MergeOverlap, range);
    if (firstRow == lastRow && firstCol == lastCol)
        return; // one cell is already shown as one
    m_merges.push_back({uint16_t(firstRow), uint16_t(lastRow), uint8_t(firstCol), uint8_t(lastCol)});
}

void Sheet::setColumnWidth(int col, double characters)
{
    checkCell(0, col);
    if (!(characters >= 0 && characters <= 255))
        throw XlsError(ErrorCode::ColumnWidthOutOfRange, std::to_string(characters));
    if (m_columnWidths.empty())
        m_columnWidths.assign(MaxCol + 1, -1);
    m_columnWidths[size_t(col)] = int32_t(std::lround(characters * 256));
}

void Sheet::setRowHeight(int row, double points)
{
    checkCell(row, 0);
    if (!(points >= 0 && points <= 409))
        throw XlsError(ErrorCode::RowHeightOutOfRange, std::to_string(points));
    if (m_rowHeights.size() <= size_t(row))
        m_rowHeights.resize(size_t(row) + 1, -1);
    m_rowHeights[size_t(row)] = int32_t(std::lround(points * 20));
}

Workbook::Workbook() : m_strings(std::make_unique<SharedStrings>()), m_formats{CellFormat{}} {}

Workbook::~Workbook() = default;

Sheet &Workbook::addSheet(std::string_view name)
{
    checkSheetName(name);
    const std::string lower = asciiLower(name);
    for (const auto &s : m_sheets)
        if (asciiLower(s->name()) == lower)
            throw XlsError(ErrorCode::SheetNameDuplicate, std::string(name));
    m_sheets.push_back(std::unique_ptr<Sheet>(new Sheet(std::string(name), *m_strings, m_formatCount)));
    return *m_sheets.back();
}

Sheet &Workbook::sheet(int index)
{
    if (index < 0 || index >= sheetCount())
        throw XlsError(ErrorCode::SheetIndexOutOfRange, std::to_string(index));
    return *m_sheets[size_t(index)];
}

int Workbook::addFormat(const CellFormat &format)
{
    if (!(format.fontHeightPt >= 1 && format.fontHeightPt <= 409))
        throw XlsError(ErrorCode::FontSizeOutOfRange, std::to_string(format.fontHeightPt));
    size_t units = 0;
    bool latin1 = false;
    if (!measureUtf8(format.fontName, units, latin1) || units < 1 || units > 31)
        throw XlsError(ErrorCode::FontNameInvalid, format.fontName);
    for (size_t i = 0; i < m_formats.size(); ++i)
        if (m_formats[i] == format)
            return int(i);
    if (m_formats.size() >= MaxFormats)
        throw XlsError(ErrorCode::TooManyFormats);
    m_formats.push_back(format);
    m_formatCount = int(m_formats.size());
    return m_formatCount - 1;
}

} // namespace kestrova::xls
