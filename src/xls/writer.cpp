#include "xls/writer.h"

#include "xls/cell_rows.h"
#include "xls/errors.h"
#include "xls/shared_strings.h"
#include "xls/unicode.h"

#include <algorithm>
#include <cmath>

namespace kestrova::xls {

namespace {

constexpr int MaxRow = 65535, MaxCol = 255, MaxFormats = 3900;

[[noreturn]] __attribute__((noinline, cold)) void throwCellRange(int row, int col)
{
    if (row < 0 || row > MaxRow)
        throw XlsError(ErrorCode::RowOutOfRange, "row " + std::to_string(row + 1));
    throw XlsError(ErrorCode::ColumnOutOfRange, "column " + std::to_string(col + 1));
}

// Called for every cell: the checks inline, the messages out of the way.
inline void checkCell(int row, int col)
{
    if (unsigned(row) > unsigned(MaxRow) || unsigned(col) > unsigned(MaxCol))
        throwCellRange(row, col);
}

[[noreturn]] __attribute__((noinline, cold)) void throwFormatRange(int format)
{
    throw XlsError(ErrorCode::FormatOutOfRange, "format " + std::to_string(format));
}

inline void checkFormat(int format, int count)
{
    if (format < 0 || format >= count)
        throwFormatRange(format);
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

Sheet::Sheet(std::string name, Workbook &book, uint32_t index)
    : m_name(std::move(name)), m_book(book), m_index(index), m_formatCount(book.m_formatCount)
{
}

Sheet::~Sheet() = default;

void Sheet::putCell(int row, int col, uint8_t kind, int format, uint32_t value)
{
    putCellAt(row, positionFor(row, col), Cell{uint8_t(col), kind, uint16_t(format), value});
}

size_t Sheet::positionFor(int row, int col) const
{
    return positionInRow(m_rows, row, col);
}

void Sheet::putCellAt(int row, size_t pos, const Cell &cell)
{
    putInRow(m_rows, row, pos, cell);
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
    SharedStrings &strings = *m_book.m_strings;
    // A full batch goes first, so a failure to store it leaves this cell unchanged.
    if (strings.queued() >= SharedStrings::BatchSize)
        m_book.flushTexts();
    // The tag says where the index goes: sheet, row, column and the cell's position in
    // its row, which saves a search unless cells are put before it later.
    const size_t pos = positionFor(row, col);
    const uint64_t tag = (uint64_t(m_index) << 32) | (uint64_t(row) << 16) | (uint64_t(col) << 8) | uint64_t(pos & 0xFF);
    const uint32_t place = strings.queue(text, tag);
    putCellAt(row, pos, Cell{uint8_t(col), QueuedText, uint16_t(format), place});
}

void Sheet::resolveText(uint64_t tag, uint32_t place, uint32_t index)
{
    const size_t row = (tag >> 16) & 0xFFFF, pos = tag & 0xFF;
    const int col = int((tag >> 8) & 0xFF);
    if (row >= m_rows.size())
        return;
    auto &cells = m_rows[row];
    Cell *c = pos < cells.size() && cells[pos].col == col ? &cells[pos] : nullptr;
    if (!c) {
        auto it = std::lower_bound(cells.begin(), cells.end(), col, [](const Cell &x, int v) { return x.col < v; });
        if (it == cells.end() || it->col != col)
            return;
        c = &*it;
    }
    // A cell set again since keeps its later value; its earlier text still took its index.
    if (c->kind == QueuedText && c->value == place) {
        c->kind = Text;
        c->value = index;
    }
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

void Sheet::setPageSetup(const PageSetup &p)
{
    auto margin = [](double m) { return m >= 0 && m <= 49; };
    const bool titlesOk = (p.titleFirstRow == -1 && p.titleLastRow == -1) ||
                          (p.titleFirstRow >= 0 && p.titleFirstRow <= p.titleLastRow && p.titleLastRow <= MaxRow);
    if (p.fitWidth < 0 || p.fitWidth > 32767 || p.fitHeight < 0 || p.fitHeight > 32767 || p.scale < 10 ||
        p.scale > 400 || !margin(p.leftMargin) || !margin(p.rightMargin) || !margin(p.topMargin) ||
        !margin(p.bottomMargin) || !titlesOk)
        throw XlsError(ErrorCode::PageSetupOutOfRange, "sheet " + m_name);
    m_pageSetup = p;
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
    m_sheets.push_back(std::unique_ptr<Sheet>(new Sheet(std::string(name), *this, uint32_t(m_sheets.size()))));
    return *m_sheets.back();
}

void Workbook::flushTexts() const
{
    m_strings->flush([this](uint64_t tag, uint32_t place, uint32_t index) {
        m_sheets[size_t(tag >> 32)]->resolveText(tag, place, index);
    });
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
