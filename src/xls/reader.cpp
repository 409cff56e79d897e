#include "xls/reader.h"

#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/compound_file.h"
#include "xls/errors.h"
#include "xls/globals_parser.h"
#include "xls/sheet_cells.h"
#include "xls/unicode.h"

#include <algorithm>

namespace kestrova::xls {

// The Workbook stream kept whole, its globals, and the shared strings as UTF-8 in one arena.
struct ParsedWorkbook : public SharedStringText
{
    std::string path;
    std::string stream;
    GlobalsInfo globals;
    std::string arena;
    std::vector<uint32_t> offsets{0};

    uint32_t count() const override { return uint32_t(offsets.size() - 1); }
    void append(uint32_t i, std::string &out) const override
    {
        out.append(arena, offsets[i], offsets[i + 1] - offsets[i]);
    }

    const SheetEntry &sheet(std::string_view name) const;
};

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x + 32);
        if (y >= 'A' && y <= 'Z') y = char(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

// Walks the cell records of a sheet (embedded chart substreams skipped).
template <typename Fn>
void walkSheet(const ParsedWorkbook &book, const SheetEntry &sheet, Fn &&onRecord)
{
    walkSheetRecords(book.stream, sheet, onRecord);
}

// Gathers cells into rows and hands each finished row on.
class RowAssembler : public CellSink
{
public:
    using Fn = std::function<void(int, const std::vector<std::string> &)>;
    explicit RowAssembler(const Fn &fn) : m_fn(fn) {}

    void cell(uint16_t row, uint16_t col, const std::string &text, bool hasValue) override
    {
        if (row != m_row) {
            flush();
            m_row = row;
        }
        if (m_cells.size() <= col)
            m_cells.resize(size_t(col) + 1);
        m_cells[col] = text;
        if (hasValue && m_used <= col)
            m_used = size_t(col) + 1;
    }

    void flush()
    {
        if (m_row >= 0 && m_used > 0) {
            m_cells.resize(m_used);
            m_fn(m_row, m_cells);
        }
        for (auto &c : m_cells)
            c.clear();
        m_used = 0;
        m_row = -1;
    }

private:
    const Fn &m_fn;
    int m_row = -1;
    size_t m_used = 0;
    std::vector<std::string> m_cells;
};

// Collects every cell when a sheet stores its rows out of order.
class CellCollector : public CellSink
{
public:
    struct Cell { uint16_t row, col; bool hasValue; std::string text; };
    std::vector<Cell> cells;
    void cell(uint16_t row, uint16_t col, const std::string &text, bool hasValue) override
    {
        cells.push_back({row, col, hasValue, text});
    }
};

} // namespace

const SheetEntry &ParsedWorkbook::sheet(std::string_view name) const
{
    for (const SheetEntry &s : globals.sheets)
        if (s.type == 0 && sameName(s.name, name))
            return s;
    throw XlsError(ErrorCode::SheetMissing, std::string(name) + " in " + path);
}

WorkbookReader::WorkbookReader(std::unique_ptr<ParsedWorkbook> book) : m_book(std::move(book)) {}
WorkbookReader::~WorkbookReader() = default;
WorkbookReader::WorkbookReader(WorkbookReader &&) noexcept = default;
WorkbookReader &WorkbookReader::operator=(WorkbookReader &&) noexcept = default;

WorkbookReader WorkbookReader::open(const std::string &path)
{
    return fromStream(readWorkbookStream(path), path);
}

WorkbookReader WorkbookReader::fromBytes(const void *data, size_t size, const std::string &what)
{
    return fromStream(readWorkbookStreamFromMemory(static_cast<const uint8_t *>(data), size, what), what);
}

WorkbookReader WorkbookReader::fromStream(std::string stream, const std::string &path)
{
    auto book = std::make_unique<ParsedWorkbook>();
    book->path = path;
    book->stream = std::move(stream);
    ParsedWorkbook &b = *book;
    b.globals = parseGlobals(b.stream, [&b](const SstString &s) {
        appendUtf8FromUtf16(b.arena, s.chars.data(), s.chars.size());
        if (b.arena.size() > 0xFFFFFFFFull)
            throw XlsError(ErrorCode::WorkbookTooLarge, b.path);
        b.offsets.push_back(uint32_t(b.arena.size()));
    });
    return WorkbookReader(std::move(book));
}

std::vector<std::string> WorkbookReader::sheetNames() const
{
    std::vector<std::string> names;
    for (const SheetEntry &s : m_book->globals.sheets)
        if (s.type == 0)
            names.push_back(s.name);
    return names;
}

void WorkbookReader::forEachRow(std::string_view sheetName,
                                const std::function<void(int, const std::vector<std::string> &)> &fn) const
{
    const ParsedWorkbook &book = *m_book;
    const SheetEntry &sheet = book.sheet(sheetName);
    // Writers store rows in order; check first, so the usual case streams row by row.
    bool ordered = true;
    int last = -1;
    walkSheet(book, sheet, [&](const Record &r, const RecordReader &) {
        if (!isCellRecord(r.type))
            return;
        requireSize(r, 6);
        const int row = rd16(r.data);
        if (row < last)
            ordered = false;
        last = row;
    });
    std::string scratch;
    if (ordered) {
        RowAssembler rows(fn);
        walkSheet(book, sheet, [&](const Record &r, const RecordReader &after) {
            decodeCellRecord(r, after, book.globals, book, scratch, rows);
        });
        rows.flush();
        return;
    }
    CellCollector all;
    walkSheet(book, sheet, [&](const Record &r, const RecordReader &after) {
        decodeCellRecord(r, after, book.globals, book, scratch, all);
    });
    std::stable_sort(all.cells.begin(), all.cells.end(),
                     [](const CellCollector::Cell &a, const CellCollector::Cell &b) { return a.row < b.row; });
    RowAssembler rows(fn);
    for (const auto &c : all.cells)
        rows.cell(c.row, c.col, c.text, c.hasValue);
    rows.flush();
}

size_t WorkbookReader::rowsWithCells(std::string_view sheetName) const
{
    const ParsedWorkbook &book = *m_book;
    size_t rows = 0;
    int last = -1;
    walkSheet(book, book.sheet(sheetName), [&](const Record &r, const RecordReader &) {
        if (!isCellRecord(r.type))
            return;
        requireSize(r, 6);
        const int row = rd16(r.data);
        rows += row != last ? 1 : 0;
        last = row;
    });
    return rows;
}

std::vector<std::vector<std::string>> WorkbookReader::readSheet(std::string_view sheet) const
{
    std::vector<std::vector<std::string>> rows;
    forEachRow(sheet, [&rows](int row, const std::vector<std::string> &cells) {
        if (rows.size() <= size_t(row))
            rows.resize(size_t(row) + 1);
        rows[size_t(row)] = cells;
    });
    return rows;
}

std::vector<std::vector<std::string>> readSheetCells(const std::string &path, std::string_view sheet)
{
    return WorkbookReader::open(path).readSheet(sheet);
}

} // namespace kestrova::xls
