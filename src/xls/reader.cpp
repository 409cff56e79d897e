#include "xls/reader.h"

#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/compound_file.h"
#include "xls/errors.h"
#include "xls/globals_parser.h"
#include "xls/sheet_cells.h"
#include "xls/unicode.h"
#include "xls/workbook_decryption.h"

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
    std::optional<std::string_view> lastingUtf8(uint32_t i) const override
    {
        return std::string_view(arena).substr(offsets[i], offsets[i + 1] - offsets[i]);
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

// Gathers cells into rows and hands each finished row on. Texts that last are passed
// as they are; the others are copied into a string per column, kept for the row.
class RowAssembler : public CellSink
{
public:
    using Fn = std::function<void(int, const std::vector<WorkbookReader::CellView> &)>;
    explicit RowAssembler(const Fn &fn) : m_fn(fn), m_owned(256) {}

    void cell(const DecodedCell &c) override
    {
        if (c.row != m_row) {
            flush();
            m_row = c.row;
        }
        if (m_cells.size() <= c.col)
            m_cells.resize(size_t(c.col) + 1);
        WorkbookReader::CellView &cell = m_cells[c.col];
        cell.sharedString = c.sharedString;
        if (c.lasting) {
            cell.text = c.text;
        } else {
            std::string &own = m_owned[c.col]; // 256 strings made once: they never move
            own.assign(c.text);
            cell.text = own;
        }
        if (c.hasValue && m_used <= c.col)
            m_used = size_t(c.col) + 1;
    }

    void flush()
    {
        if (m_row >= 0 && m_used > 0) {
            m_cells.resize(m_used);
            m_fn(m_row, m_cells);
        }
        for (auto &c : m_cells)
            c = {};
        m_used = 0;
        m_row = -1;
    }

private:
    const Fn &m_fn;
    int m_row = -1;
    size_t m_used = 0;
    std::vector<WorkbookReader::CellView> m_cells;
    std::vector<std::string> m_owned;
};

// Collects every cell when a sheet stores its rows out of order.
class CellCollector : public CellSink
{
public:
    struct Cell { uint16_t row, col; bool hasValue; uint32_t sharedString; std::string text; };
    std::vector<Cell> cells;
    void cell(const DecodedCell &c) override
    {
        cells.push_back({c.row, c.col, c.hasValue, c.sharedString, std::string(c.text)});
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
    removeBuiltinPasswordEncryption(book->stream, path);
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

void WorkbookReader::forEachRowView(std::string_view sheetName,
                                    const std::function<void(int, const std::vector<CellView> &)> &fn) const
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
    for (const auto &c : all.cells) {
        // A shared string is taken from the book, where it outlives this call; any other
        // text from the collector, which outlives the rows.
        const auto kept = c.sharedString != kNotShared ? book.lastingUtf8(c.sharedString) : std::nullopt;
        rows.cell({c.row, c.col, kept ? *kept : std::string_view(c.text), c.hasValue, c.sharedString, true});
    }
    rows.flush();
}

void WorkbookReader::forEachRow(std::string_view sheetName,
                                const std::function<void(int, const std::vector<std::string> &)> &fn) const
{
    std::vector<std::string> texts;
    forEachRowView(sheetName, [&](int row, const std::vector<CellView> &cells) {
        texts.resize(cells.size());
        for (size_t i = 0; i < cells.size(); ++i)
            texts[i].assign(cells[i].text);
        fn(row, texts);
    });
}

uint32_t WorkbookReader::sharedStringCount() const
{
    return m_book->count();
}

size_t WorkbookReader::rowsWithCells(std::string_view sheetName) const
{
    return surveyColumn(sheetName, -1).rowsWithCells;
}

std::vector<std::string> WorkbookReader::readRow(std::string_view sheetName, int row) const
{
    // The whole sheet is walked: a sheet stored out of order may hold cells of the row
    // anywhere, and forEachRow would gather them all.
    const ParsedWorkbook &book = *m_book;
    std::vector<std::string> found;
    const RowAssembler::Fn keep = [&found](int, const std::vector<CellView> &cells) {
        for (const CellView &c : cells)
            found.emplace_back(c.text);
    };
    RowAssembler rows(keep);
    std::string scratch;
    walkSheet(book, book.sheet(sheetName), [&](const Record &r, const RecordReader &after) {
        if (!isCellRecord(r.type))
            return;
        requireSize(r, 6);
        if (rd16(r.data) == row)
            decodeCellRecord(r, after, book.globals, book, scratch, rows);
    });
    rows.flush();
    return found;
}

WorkbookReader::ColumnSurvey WorkbookReader::surveyColumn(std::string_view sheetName, int column) const
{
    const ParsedWorkbook &book = *m_book;
    ColumnSurvey survey;
    // Keeps the column's text of each cell decoded; a repeated cell overwrites, as in forEachRow.
    class ColumnCell : public CellSink
    {
    public:
        ColumnCell(std::vector<std::string> &texts, int column) : m_texts(texts), m_column(column) {}
        void cell(const DecodedCell &c) override
        {
            if (c.col != m_column)
                return;
            if (m_texts.size() <= c.row)
                m_texts.resize(size_t(c.row) + 1);
            m_texts[c.row].assign(c.text);
        }

    private:
        std::vector<std::string> &m_texts;
        int m_column;
    } sink(survey.texts, column);
    std::string scratch;
    int last = -1;
    walkSheet(book, book.sheet(sheetName), [&](const Record &r, const RecordReader &after) {
        if (!isCellRecord(r.type))
            return;
        requireSize(r, 6);
        const int row = rd16(r.data);
        survey.rowsWithCells += row != last ? 1 : 0;
        last = row;
        if (column < 0)
            return;
        // Only records that can hold the column are decoded: one cell at it, or a range.
        const bool range = r.type == rec::MulRk || r.type == rec::MulBlank;
        if (range || rd16(r.data + 2) == column)
            decodeCellRecord(r, after, book.globals, book, scratch, sink);
    });
    return survey;
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
