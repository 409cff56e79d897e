// Template filling, record by record: the globals are copied except the shared string table
// (rebuilt with the new texts appended, so existing indices stay valid) and the sheet
// positions; sheets without new texts are copied byte for byte; a filled sheet keeps every
// record outside its cell table and has its cell table rebuilt from the old records plus
// the new texts.
#include "xls/template_filler.h"

#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/cell_records.h"
#include "xls/cell_rows.h"
#include "xls/compound_file.h"
#include "xls/defined_names.h"
#include "xls/errors.h"
#include "xls/general_number.h"
#include "xls/globals_parser.h"
#include "xls/shared_strings.h"
#include "xls/sheet_cells.h"
#include "xls/sst_writer.h"
#include "xls/unicode.h"
#include "xls/workbook_decryption.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kestrova::xls {

namespace {

constexpr uint16_t MsoDrawing = 0x00EC, Obj = 0x005D, Note = 0x001C, Selection = 0x001D, Pane = 0x0041;

bool isCellTableRecord(uint16_t type)
{
    return isCellRecord(type) || type == rec::Row || type == rec::DbCell || type == rec::String ||
           type == rec::ShrFmla || type == rec::Array || type == rec::Table;
}

// Records that come after the cell table: seeing one first means the sheet has no cells.
bool followsCellTable(uint16_t type)
{
    return type == rec::Window2 || type == rec::Eof || type == rec::MergedCells || type == MsoDrawing ||
           type == Obj || type == Note || type == Selection || type == Pane || type == rec::Bof;
}

struct Span
{
    size_t begin, end;
};

// One cell of a filled sheet: a record of the template (kept byte for byte), a part of a
// template MULRK/MULBLANK (written as RK/BLANK), a new text, or the shown value of a
// template FORMULA whose array formula a write dropped (written as NUMBER or BOOLERR).
struct Cell
{
    enum Kind : uint8_t { Original, MulRkPart, MulBlankPart, NewText, QueuedText, NewNumber, NewRk, CachedNumber, CachedBoolErr };
    uint8_t col;
    Kind kind;
    uint16_t xf;
    uint32_t ref; // the record's stream offset, the string index of a new text, its place in the
                  // queue, the index of a new number, or a new number's RK form
};

// How a kept FORMULA record that used a shared formula is written once a write replaced
// the shared formula's first cell: its PtgExp names the group's new first cell, and that
// cell's record is followed by the group's SHRFMLA record.
struct FormulaPatch
{
    uint16_t row = 0, col = 0; // the cell the PtgExp names
    uint32_t groupRecord = 0;  // the SHRFMLA record to write after this one, 0 for none
    uint8_t uses = 0;          // that SHRFMLA's count of cells using it
};

struct MergeRange
{
    uint16_t firstRow, lastRow, firstCol, lastCol;
};

struct SheetModel
{
    std::vector<Span> before, after; // records kept around the cell table
    bool hadDimensions = false;
    CellRows<Cell> rows;
    std::vector<uint32_t> rowRecord; // offset of the row's ROW record, 0 for none
    std::vector<MergeRange> merges;
    std::vector<int> colXf;
    int formatRow = -1; // rows below it without a cell or ROW of their own take its formats
    std::map<uint32_t, FormulaPatch> formulaPatches; // by FORMULA record offset
    bool edited = false;

    Cell *find(int row, int col)
    {
        if (size_t(row) >= rows.size())
            return nullptr;
        auto &cells = rows[size_t(row)];
        if (cells.empty() || cells.back().col < col) // filling left to right: a new cell
            return nullptr;
        auto it = std::lower_bound(cells.begin(), cells.end(), col, [](const Cell &c, int v) { return c.col < v; });
        return it != cells.end() && it->col == col ? &*it : nullptr;
    }

    // Where put() will put a cell of that column.
    size_t positionFor(int row, int col) const { return positionInRow(rows, row, col); }

    // The cell of that column if it is at `pos`, else none.
    Cell *at(int row, int col, size_t pos)
    {
        if (size_t(row) < rows.size() && pos < rows[size_t(row)].size() && rows[size_t(row)][pos].col == col)
            return &rows[size_t(row)][pos];
        return nullptr;
    }

    // The cell at row, column, looked for at `pos` first.
    Cell *findNear(int row, int col, size_t pos)
    {
        Cell *c = at(row, col, pos);
        return c ? c : find(row, col);
    }

    // A cell stored twice: the later one wins, as in Excel.
    void put(int row, const Cell &cell) { putAt(row, positionFor(row, cell.col), cell); }

    // Puts a cell at the position positionFor() gave for its column.
    void putAt(int row, size_t pos, const Cell &cell) { putInRow(rows, row, pos, cell); }
};

uint8_t *boolErrAt(uint8_t *p, uint16_t row, uint16_t col, uint16_t xf, uint8_t value, bool isError)
{
    uint8_t *v = cellHead(p, rec::BoolErr, 8, row, col, xf);
    v[0] = value;
    v[1] = isError ? 1 : 0;
    return v + 2;
}

void addSpan(std::vector<Span> &spans, size_t begin, size_t end)
{
    if (!spans.empty() && spans.back().end == begin)
        spans.back().end = end;
    else
        spans.push_back({begin, end});
}

} // namespace

class FilledWorkbook : public SharedStringText
{
public:
    struct OldString
    {
        std::u16string chars;
        std::string runs, phonetic;
    };

    std::string path;
    std::string stream;
    GlobalsInfo globals;
    std::vector<OldString> oldStrings;
    uint32_t oldTotalRefs = 0;
    SharedStrings newStrings;
    uint64_t newRefs = 0;
    std::vector<size_t> sheetEnds;        // by BOUNDSHEET
    std::vector<int> worksheets;          // worksheet number -> BOUNDSHEET
    std::vector<std::unique_ptr<SheetModel>> models; // by BOUNDSHEET, parsed on first use
    uint16_t defaultXf = DefaultCellXf;
    std::vector<double> numbers;             // of NewNumber cells
    std::unique_ptr<BuiltinNameEditor> names; // made when a name is set
    CompoundParts parts; // the template's other streams and storages, written back as they were

    uint32_t count() const override { return uint32_t(oldStrings.size()) + newStrings.count(); }
    void append(uint32_t i, std::string &out) const override
    {
        if (i < oldStrings.size())
            appendUtf8FromUtf16(out, oldStrings[i].chars.data(), oldStrings[i].chars.size());
        else
            out.append(newStrings.at(i - uint32_t(oldStrings.size())));
    }

    SheetModel &model(int sheet) // parsed on first use
    {
        const size_t index = size_t(worksheets[size_t(sheet)]);
        return models[index] ? *models[index] : parseModel(index);
    }
    SheetModel &parseModel(size_t index);
    // Gives the queued new texts their string indices (see SharedStrings::queue).
    void flushTexts();
    // Called for every cell: the checks inline, the messages out of the way.
    void checkCell(int sheet, int row, int col) const
    {
        if (size_t(unsigned(sheet)) >= worksheets.size() || unsigned(row) > 65535 || unsigned(col) > 255)
            throwCellRange(sheet, row, col);
    }
    [[noreturn]] __attribute__((noinline, cold)) void throwCellRange(int sheet, int row, int col) const;
    void redirectIntoMerge(const SheetModel &m, int &row, int &col) const;
    // The format a value written into the cell at `pos` takes: the old cell's, else its
    // column's, else the default. A shared or array formula the old cell started is
    // handed on or dropped (see dropFormulaGroup).
    uint16_t formatFor(SheetModel &m, int row, int col, size_t pos);
    // The format of a cell the template does not have: that of its column in the format
    // row when it lies below it, else its column's, else the default.
    uint16_t newCellFormat(SheetModel &m, int row, int col) const;
    // The shown text of a template cell (a MULRK part decoded through its whole record).
    std::string templateText(const Cell &c) const;
    // Before a write replaces `old`, the first cell of a shared formula, an array formula
    // or a table: the cells that go on using the formula are taken care of (see below).
    void dropFormulaGroup(SheetModel &m, int row, int col, const Cell &old);
    size_t formulaGroupRecord(const SheetModel &m, const Cell &c) const;
    bool formulaPointsAt(const SheetModel &m, const Cell &c, uint8_t ptg, int row, int col) const;
    void keepSharedFormula(SheetModel &m, const Record &group, const std::vector<std::pair<int, Cell *>> &users) const;
    void keepShownValue(Cell &c);
    // Writes a FORMULA record the way its patch says; false when it has none.
    bool writePatchedFormula(const SheetModel &m, const Cell &c, ByteBuffer &b) const;
    // Builds the globals in `g`, passing the bulk of the shared strings on to `out` as it
    // goes; sheetOffsetAt gets the stream offsets of the BOUNDSHEET position fields.
    void writeGlobals(ByteBuffer &g, std::vector<size_t> &sheetOffsetAt, ByteSink &out) const;
    void writeSheet(size_t index, uint64_t newOffset, ByteSink &out) const;
    void writeCellTable(const SheetModel &m, ByteBuffer &b, ByteSink &out) const;
    // ROW for a row the template has none for: the format row's height and flags, or the default.
    void putNewRow(const SheetModel &m, ByteBuffer &b, size_t row, uint16_t first, uint16_t last) const;
};

SheetModel &FilledWorkbook::parseModel(size_t index)
{
    auto m = std::make_unique<SheetModel>();
    m->colXf.assign(256, -1);
    const size_t start = globals.sheets[index].offset, end = sheetEnds[index];
    RecordReader reader(std::string_view(stream).substr(0, end), start);
    Record r;
    enum { Before, Table, After } phase = Before;
    int depth = 0;
    bool lastWasTable = false; // a CONTINUE stays with the record it continues
    while (reader.next(r)) {
        if (r.type == rec::Bof)
            ++depth;
        const bool nested = depth > 1 || (r.type == rec::Bof && r.offset != start);
        if (r.type == rec::Eof)
            --depth;
        if (nested) {
            phase = After;
            addSpan(m->after, r.offset, r.end());
            lastWasTable = false;
            continue;
        }
        if (r.type == rec::Continue && lastWasTable)
            continue;
        if (isCellTableRecord(r.type)) {
            phase = Table;
            lastWasTable = true;
            if (r.type == rec::Row) {
                requireSize(r, 2);
                const uint16_t row = rd16(r.data);
                if (m->rowRecord.size() <= row)
                    m->rowRecord.resize(size_t(row) + 1, 0);
                m->rowRecord[row] = uint32_t(r.offset);
            } else if (isCellRecord(r.type)) {
                validateCellRecord(r);
                const uint16_t row = rd16(r.data), col = rd16(r.data + 2);
                if (r.type == rec::MulRk || r.type == rec::MulBlank) {
                    const size_t width = r.type == rec::MulRk ? 6 : 2;
                    const size_t n = (r.size - 6) / width;
                    for (size_t i = 0; i < n; ++i)
                        m->put(row, {uint8_t(col + i), r.type == rec::MulRk ? Cell::MulRkPart : Cell::MulBlankPart,
                                     rd16(r.data + 4 + width * i), uint32_t(r.offset)});
                } else {
                    // The copy must not carry a reference to a string that is not there.
                    if (r.type == rec::LabelSst && (r.size < 10 || rd32(r.data + 6) >= oldStrings.size()))
                        throwBadRecord(r, "string " + std::to_string(r.size < 10 ? 0 : rd32(r.data + 6)) + " beyond the " +
                                       std::to_string(oldStrings.size()) + " of the shared string table");
                    m->put(row, {uint8_t(col), Cell::Original, rd16(r.data + 4), uint32_t(r.offset)});
                }
            }
            continue; // DBCELL is dropped; STRING and the like travel with their formula
        }
        lastWasTable = false;
        if (r.type == rec::Index)
            continue; // it would be stale: the filled sheet goes without INDEX and DBCELL
        if (phase == Before && followsCellTable(r.type) && r.offset != start)
            phase = After;
        if (phase == Table)
            phase = After;
        if (r.type == rec::Dimensions) {
            if (phase == Before)
                m->hadDimensions = true;
            continue; // rewritten from the cells
        }
        if (r.type == rec::MergedCells && r.size >= 2) {
            const size_t n = std::min<size_t>(rd16(r.data), (r.size - 2) / 8);
            for (size_t i = 0; i < n; ++i) {
                const uint8_t *p = r.data + 2 + 8 * i;
                m->merges.push_back({rd16(p), rd16(p + 2), rd16(p + 4), rd16(p + 6)});
            }
        }
        if (r.type == rec::ColInfo && r.size >= 8) {
            const uint16_t xf = rd16(r.data + 6);
            if (xf < globals.xfFormat.size() && !globals.xfIsStyle[xf])
                for (int c = rd16(r.data); c <= std::min<int>(rd16(r.data + 2), 255); ++c)
                    m->colXf[size_t(c)] = xf;
        }
        addSpan(phase == Before ? m->before : m->after, r.offset, r.end());
    }
    models[index] = std::move(m);
    return *models[index];
}

void FilledWorkbook::flushTexts()
{
    const uint32_t first = uint32_t(oldStrings.size());
    newStrings.flush([&](uint64_t tag, uint32_t place, uint32_t index) {
        Cell *c = models[size_t(tag >> 32)]->findNear(int((tag >> 16) & 0xFFFF), int((tag >> 8) & 0xFF), tag & 0xFF);
        // A cell set again since keeps its later text; the earlier one still took its index.
        if (c && c->kind == Cell::QueuedText && c->ref == place) {
            c->kind = Cell::NewText;
            c->ref = first + index;
        }
    });
}

void FilledWorkbook::throwCellRange(int sheet, int row, int col) const
{
    if (sheet < 0 || size_t(sheet) >= worksheets.size())
        throw XlsError(ErrorCode::SheetIndexOutOfRange, std::to_string(sheet));
    if (row < 0 || row > 65535)
        throw XlsError(ErrorCode::RowOutOfRange, "row " + std::to_string(row + 1));
    throw XlsError(ErrorCode::ColumnOutOfRange, "column " + std::to_string(col + 1));
}

void FilledWorkbook::redirectIntoMerge(const SheetModel &m, int &row, int &col) const
{
    for (const MergeRange &g : m.merges)
        if (row >= g.firstRow && row <= g.lastRow && col >= g.firstCol && col <= g.lastCol) {
            row = g.firstRow;
            col = g.firstCol;
            return;
        }
}

std::string FilledWorkbook::templateText(const Cell &c) const
{
    struct Pick : CellSink
    {
        int col;
        std::string *out;
        void cell(const DecodedCell &d) override
        {
            if (d.col == col)
                out->assign(d.text);
        }
    } pick;
    std::string out;
    pick.col = c.col;
    pick.out = &out;
    RecordReader reader(stream, c.ref);
    Record r;
    reader.next(r);
    std::string scratch;
    decodeCellRecord(r, reader, globals, *this, scratch, pick);
    return out;
}

// The SHRFMLA, ARRAY or TABLE record that makes a FORMULA cell the first of a group, or 0.
size_t FilledWorkbook::formulaGroupRecord(const SheetModel &m, const Cell &c) const
{
    if (c.kind != Cell::Original)
        return 0;
    if (const auto patch = m.formulaPatches.find(c.ref); patch != m.formulaPatches.end())
        return patch->second.groupRecord;
    RecordReader reader(stream, c.ref);
    Record r;
    if (!reader.next(r) || !rec::isFormula(r.type))
        return 0;
    while (reader.next(r)) {
        if (r.type == rec::ShrFmla || r.type == rec::Array || r.type == rec::Table)
            return r.offset;
        if (r.type != rec::String && r.type != rec::Continue)
            return 0;
    }
    return 0;
}

// Whether a FORMULA cell's whole formula is one PtgExp (ptg 0x01: shared or array formula)
// or PtgTbl (0x02: table) naming the cell at row, col.
bool FilledWorkbook::formulaPointsAt(const SheetModel &m, const Cell &c, uint8_t ptg, int row, int col) const
{
    if (c.kind != Cell::Original)
        return false;
    if (const auto patch = m.formulaPatches.find(c.ref); patch != m.formulaPatches.end())
        return ptg == 0x01 && patch->second.row == row && patch->second.col == col;
    const auto *p = reinterpret_cast<const uint8_t *>(stream.data()) + c.ref;
    if (rd16(p) != rec::Formula || rd16(p + 2) < 27)
        return false;
    const uint8_t *formula = p + 4 + 20; // cce, then the tokens
    return rd16(formula) == 5 && formula[2] == ptg && rd16(formula + 3) == row && rd16(formula + 5) == col;
}

void FilledWorkbook::dropFormulaGroup(SheetModel &m, int row, int col, const Cell &old)
{
    const size_t groupAt = formulaGroupRecord(m, old);
    if (groupAt == 0)
        return; // a formula of its own: it goes with the cell
    RecordReader reader(stream, groupAt);
    Record group;
    reader.next(group);
    const uint8_t ptg = group.type == rec::Table ? 0x02 : 0x01;
    // The cells using the group's formula, in the order they are written.
    std::vector<std::pair<int, Cell *>> users;
    for (size_t r = 0; r < m.rows.size(); ++r)
        for (Cell &c : m.rows[r])
            if (!(int(r) == row && c.col == col) && formulaPointsAt(m, c, ptg, row, col))
                users.push_back({int(r), &c});
    if (group.type == rec::ShrFmla) {
        keepSharedFormula(m, group, users);
    } else {
        for (const auto &user : users)
            keepShownValue(*user.second);
    }
    m.formulaPatches.erase(old.ref);
}

// A shared formula is the same formula in every cell using it (its references are relative
// to each cell): the first of the remaining cells becomes the one its PtgExp tokens name
// and the SHRFMLA record follows, as the format has it.
void FilledWorkbook::keepSharedFormula(SheetModel &m, const Record &group, const std::vector<std::pair<int, Cell *>> &users) const
{
    if (users.empty())
        return;
    const auto [firstRow, first] = users.front();
    for (const auto &[r, c] : users)
        m.formulaPatches[c->ref] = {uint16_t(firstRow), first->col, 0, 0};
    m.formulaPatches[first->ref] = {uint16_t(firstRow), first->col, uint32_t(group.offset),
                                    uint8_t(std::min<size_t>(users.size(), 255))};
}

// An array formula or table computes every cell of its range at once, from its first
// cell: without that cell the other cells keep the values they show.
void FilledWorkbook::keepShownValue(Cell &c)
{
    const auto *v = reinterpret_cast<const uint8_t *>(stream.data()) + c.ref + 4 + 6;
    if (rd16(v + 6) != 0xFFFF) {
        c.kind = Cell::CachedNumber;
    } else if (v[0] == 1 || v[0] == 2) {
        c.kind = Cell::CachedBoolErr;
    } else {
        const std::string text = templateText(c);
        flushTexts(); // add() may not run while texts are queued
        c.kind = Cell::NewText;
        c.ref = uint32_t(oldStrings.size()) + newStrings.add(text);
        ++newRefs;
    }
}

bool FilledWorkbook::writePatchedFormula(const SheetModel &m, const Cell &c, ByteBuffer &b) const
{
    const auto patch = m.formulaPatches.find(c.ref);
    if (patch == m.formulaPatches.end())
        return false;
    const FormulaPatch &f = patch->second;
    const std::string_view s(stream);
    RecordReader reader(s, c.ref);
    Record r;
    reader.next(r);
    const size_t at = b.bytes.size();
    b.write(s.data() + r.offset, r.end() - r.offset);
    b.patch16(at + 4 + 20 + 3, f.row); // the PtgExp after cce
    b.patch16(at + 4 + 20 + 5, f.col);
    if (f.groupRecord != 0) {
        RecordReader groupReader(s, f.groupRecord);
        Record g;
        groupReader.next(g);
        size_t end = g.end();
        while (groupReader.peek(g) && g.type == rec::Continue) {
            groupReader.next(g);
            end = g.end();
        }
        const size_t groupAt = b.bytes.size();
        b.write(s.data() + f.groupRecord, end - f.groupRecord);
        if (g.size >= 8)
            b.bytes[groupAt + 4 + 7] = char(f.uses); // cUse, after the range and a reserved byte
    }
    // The cell's own STRING record (its cached text) and CONTINUE records.
    const size_t formulaEnd = r.end();
    size_t end = formulaEnd;
    while (reader.peek(r) && (r.type == rec::String || r.type == rec::Continue)) {
        reader.next(r);
        end = r.end();
    }
    b.write(s.data() + formulaEnd, end - formulaEnd);
    return true;
}

void FilledWorkbook::writeGlobals(ByteBuffer &g, std::vector<size_t> &sheetOffsetAt, ByteSink &out) const
{
    const std::string_view s(stream);
    RecordReader reader(s.substr(0, globals.end), 0);
    Record r;
    sheetOffsetAt.assign(globals.sheets.size(), 0);
    size_t nextSheet = 0;
    size_t drained = 0; // bytes of the stream already passed on to `out`
    bool wroteSst = false;
    auto writeSst = [&] {
        SstWriter sst(g, uint32_t(std::min<uint64_t>(uint64_t(oldTotalRefs) + newRefs, 0xFFFFFFFFu)), count());
        std::string chars;
        for (const OldString &o : oldStrings) {
            const bool wide = std::any_of(o.chars.begin(), o.chars.end(), [](char16_t c) { return c > 0xFF; });
            chars.clear();
            for (char16_t c : o.chars) {
                chars.push_back(char(c & 0xFF));
                if (wide)
                    chars.push_back(char(c >> 8));
            }
            sst.add(chars, wide, o.runs, o.phonetic);
            if (g.bytes.size() >= (1 << 16))
                drained += sst.drainTo(out);
        }
        for (uint32_t i = 0; i < newStrings.count(); ++i) {
            sst.addUtf8(newStrings.at(i));
            if (g.bytes.size() >= (1 << 16))
                drained += sst.drainTo(out);
        }
        sst.finish();
        wroteSst = true;
    };
    while (reader.next(r)) {
        if (names && names->write(r, reader, g))
            continue;
        if (r.type == rec::Sst) {
            writeSst();
            Record c;
            while (reader.peek(c) && c.type == rec::Continue)
                reader.next(c);
            continue;
        }
        if (r.type == rec::ExtSst)
            continue; // rebuilt with the SST
        if (r.type == rec::Eof && !wroteSst && count() > 0)
            writeSst();
        if (r.type == rec::BoundSheet && nextSheet < sheetOffsetAt.size())
            sheetOffsetAt[nextSheet++] = drained + g.bytes.size() + 4;
        g.write(s.data() + r.offset, r.end() - r.offset);
    }
}

void FilledWorkbook::writeCellTable(const SheetModel &m, ByteBuffer &b, ByteSink &out) const
{
    const std::string_view s(stream);
    const size_t rowCount = std::max(m.rows.size(), m.rowRecord.size());
    auto rowCells = [&](size_t r) -> const std::vector<Cell> * { return r < m.rows.size() ? &m.rows[r] : nullptr; };
    for (size_t block = 0; block < rowCount; block += 32) {
        const size_t end = std::min(rowCount, block + 32);
        for (size_t r = block; r < end; ++r) {
            const auto *cells = rowCells(r);
            const bool any = cells && !cells->empty();
            const uint16_t first = any ? cells->front().col : 0, last = any ? uint16_t(cells->back().col + 1) : 0;
            const uint32_t at = r < m.rowRecord.size() ? m.rowRecord[r] : 0;
            if (at != 0) {
                // The template's ROW keeps its height and flags; only the column range changes.
                const size_t from = b.bytes.size();
                const size_t len = 4 + rd16(reinterpret_cast<const uint8_t *>(s.data()) + at + 2);
                b.write(s.data() + at, len);
                if (len >= 4 + 6) {
                    b.patch16(from + 6, first);
                    b.patch16(from + 8, last);
                }
            } else if (any) {
                putNewRow(m, b, r, first, last);
            }
        }
        for (size_t r = block; r < end; ++r) {
            const auto *cells = rowCells(r);
            if (!cells)
                continue;
            // The fixed-size records are built in place and appended a row at a time;
            // a template's own record goes straight after those before it.
            uint8_t row[256 * MaxCellRecord];
            uint8_t *p = row;
            for (const Cell &c : *cells) {
                switch (c.kind) {
                case Cell::QueuedText: // none left: save() flushes the queue first
                case Cell::NewText:
                    p = labelSstAt(p, uint16_t(r), c.col, c.xf, c.ref);
                    break;
                case Cell::MulRkPart: {
                    const auto *mulRk = reinterpret_cast<const uint8_t *>(s.data()) + c.ref + 4;
                    const size_t i = c.col - rd16(mulRk + 2);
                    p = rkAt(p, uint16_t(r), c.col, c.xf, rd32(mulRk + 4 + 6 * i + 2));
                    break;
                }
                case Cell::MulBlankPart:
                    p = blankAt(p, uint16_t(r), c.col, c.xf);
                    break;
                case Cell::NewNumber:
                    p = numberAt(p, uint16_t(r), c.col, c.xf, numbers[c.ref]);
                    break;
                case Cell::NewRk:
                    p = rkAt(p, uint16_t(r), c.col, c.xf, c.ref);
                    break;
                case Cell::CachedNumber:
                    p = numberAt(p, uint16_t(r), c.col, c.xf, rdDouble(reinterpret_cast<const uint8_t *>(s.data()) + c.ref + 4 + 6));
                    break;
                case Cell::CachedBoolErr: {
                    const auto *v = reinterpret_cast<const uint8_t *>(s.data()) + c.ref + 4 + 6;
                    p = boolErrAt(p, uint16_t(r), c.col, c.xf, v[2], v[0] == 2);
                    break;
                }
                case Cell::Original: {
                    b.write(row, size_t(p - row));
                    p = row;
                    if (!m.formulaPatches.empty() && writePatchedFormula(m, c, b))
                        break;
                    // The record with what belongs to it: a formula's STRING, shared-formula,
                    // array or table record, and CONTINUE records.
                    RecordReader reader(s, c.ref);
                    Record rr;
                    reader.next(rr);
                    size_t endAt = rr.end();
                    while (reader.peek(rr) && (rr.type == rec::String || rr.type == rec::ShrFmla || rr.type == rec::Array ||
                                               rr.type == rec::Table || rr.type == rec::Continue)) {
                        reader.next(rr);
                        endAt = rr.end();
                    }
                    b.write(s.data() + c.ref, endAt - c.ref);
                    break;
                }
                }
            }
            b.write(row, size_t(p - row));
            if (b.bytes.size() > (1 << 16)) {
                out.write(b.bytes.data(), b.bytes.size());
                b.bytes.clear();
            }
        }
    }
}

void FilledWorkbook::putNewRow(const SheetModel &m, ByteBuffer &b, size_t row, uint16_t first, uint16_t last) const
{
    const uint32_t like = m.formatRow >= 0 && int(row) > m.formatRow && size_t(m.formatRow) < m.rowRecord.size()
                              ? m.rowRecord[size_t(m.formatRow)]
                              : 0;
    const auto *p = reinterpret_cast<const uint8_t *>(stream.data()) + like;
    if (like == 0 || rd16(p + 2) < 16) {
        putRow(b, uint16_t(row), first, last, -1);
        return;
    }
    const size_t from = b.bytes.size();
    b.write(p, 4 + 16);
    b.patch16(from + 4, uint16_t(row));
    b.patch16(from + 6, first);
    b.patch16(from + 8, last);
}

void FilledWorkbook::writeSheet(size_t index, uint64_t newOffset, ByteSink &out) const
{
    const std::string_view s(stream);
    const size_t start = globals.sheets[index].offset, end = sheetEnds[index];
    const SheetModel *m = models[index].get();
    if (!m || !m->edited) {
        // Unchanged: byte for byte, except that INDEX's absolute offsets move with the sheet.
        std::string copy(s.substr(start, end - start));
        RecordReader reader(copy, 0);
        Record r;
        int depth = 0;
        while (reader.next(r)) {
            if (r.type == rec::Bof)
                ++depth;
            if (r.type == rec::Eof)
                --depth;
            if (depth == 1 && r.type == rec::Index && r.size >= 16) {
                auto *p = reinterpret_cast<uint8_t *>(copy.data()) + r.offset + 4;
                const int64_t delta = int64_t(newOffset) - int64_t(start);
                auto shift = [delta](uint8_t *q) {
                    if (rd32(q) != 0)
                        put32(q, uint32_t(int64_t(rd32(q)) + delta));
                };
                shift(p + 12);
                for (size_t k = 16; k + 4 <= r.size; k += 4)
                    shift(p + k);
            }
        }
        out.write(copy.data(), copy.size());
        return;
    }
    ByteBuffer b;
    for (const Span &sp : m->before)
        b.write(s.data() + sp.begin, sp.end - sp.begin);
    putUsedDimensions(b, m->rows.size(), [&](size_t r) -> const auto & { return m->rows[r]; });
    writeCellTable(*m, b, out);
    for (const Span &sp : m->after)
        b.write(s.data() + sp.begin, sp.end - sp.begin);
    out.write(b.bytes.data(), b.bytes.size());
}

TemplateFiller::TemplateFiller(const std::string &templatePath)
    : TemplateFiller(readCompoundFile(templatePath), templatePath)
{
}

TemplateFiller TemplateFiller::fromBytes(const void *data, size_t size, const std::string &what)
{
    return TemplateFiller(readCompoundFileFromMemory(static_cast<const uint8_t *>(data), size, what), what);
}

TemplateFiller::TemplateFiller(CompoundFileContents &&contents, const std::string &what)
    : m_book(std::make_unique<FilledWorkbook>())
{
    FilledWorkbook &b = *m_book;
    b.path = what;
    b.stream = std::move(contents.workbook);
    b.parts = std::move(contents.parts);
    removeBuiltinPasswordEncryption(b.stream, what);
    b.globals = parseGlobals(b.stream, [&b](const SstString &s) {
        b.oldStrings.push_back({s.chars, s.runs, s.phonetic});
    }, true);
    if (b.globals.sstOffset != SIZE_MAX && b.globals.sstOffset + 8 <= b.stream.size())
        b.oldTotalRefs = rd32(reinterpret_cast<const uint8_t *>(b.stream.data()) + b.globals.sstOffset + 4);
    for (size_t i = 0; i < b.globals.sheets.size(); ++i) {
        b.sheetEnds.push_back(sheetEnd(b.stream, b.globals.sheets[i]));
        if (b.globals.sheets[i].type == 0)
            b.worksheets.push_back(int(i));
    }
    b.models.resize(b.globals.sheets.size());
    // New cells get XF 15, the default cell format, when the template has it as a cell XF.
    const auto &isStyle = b.globals.xfIsStyle;
    if (isStyle.size() <= DefaultCellXf || isStyle[DefaultCellXf]) {
        auto it = std::find(isStyle.begin(), isStyle.end(), false);
        b.defaultXf = it == isStyle.end() ? 0 : uint16_t(it - isStyle.begin());
    }
}

TemplateFiller::~TemplateFiller() = default;
TemplateFiller::TemplateFiller(TemplateFiller &&) noexcept = default;
TemplateFiller &TemplateFiller::operator=(TemplateFiller &&) noexcept = default;

int TemplateFiller::sheetCount() const
{
    return int(m_book->worksheets.size());
}

std::string TemplateFiller::sheetName(int i) const
{
    if (i < 0 || i >= sheetCount())
        throw XlsError(ErrorCode::SheetIndexOutOfRange, std::to_string(i));
    return m_book->globals.sheets[size_t(m_book->worksheets[size_t(i)])].name;
}

int TemplateFiller::sheetIndex(std::string_view name) const
{
    auto lower = [](std::string_view v) {
        std::string out(v);
        for (char &c : out)
            if (c >= 'A' && c <= 'Z')
                c = char(c + 32);
        return out;
    };
    const std::string wanted = lower(name);
    for (int i = 0; i < sheetCount(); ++i)
        if (lower(sheetName(i)) == wanted)
            return i;
    return -1;
}

void TemplateFiller::setText(int sheet, int row, int col, std::string_view text)
{
    FilledWorkbook &b = *m_book;
    b.checkCell(sheet, row, col);
    size_t units = 0;
    bool latin1 = false;
    if (!measureUtf8(text, units, latin1))
        throw XlsError(ErrorCode::InvalidText, "row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1));
    if (units > 32767)
        throw XlsError(ErrorCode::TextTooLong, std::to_string(units) + " characters in row " + std::to_string(row + 1) +
                       ", column " + std::to_string(col + 1));
    SheetModel &m = b.model(sheet);
    b.redirectIntoMerge(m, row, col);
    const size_t pos = m.positionFor(row, col);
    const uint16_t xf = b.formatFor(m, row, col, pos);
    // A full batch goes first, so a failure to store it leaves this cell unchanged.
    if (b.newStrings.queued() >= SharedStrings::BatchSize)
        b.flushTexts();
    // Where the index goes: sheet, row, column and the cell's position in its row.
    const uint64_t tag = (uint64_t(b.worksheets[size_t(sheet)]) << 32) | (uint64_t(row) << 16) | (uint64_t(col) << 8) |
                         uint64_t(pos & 0xFF);
    m.putAt(row, pos, {uint8_t(col), Cell::QueuedText, xf, b.newStrings.queue(text, tag)});
    m.edited = true;
    ++b.newRefs;
}

uint16_t FilledWorkbook::formatFor(SheetModel &m, int row, int col, size_t pos)
{
    const Cell *old = m.at(row, col, pos);
    if (!old)
        return newCellFormat(m, row, col);
    const uint16_t xf = old->xf;
    dropFormulaGroup(m, row, col, *old);
    return xf;
}

uint16_t FilledWorkbook::newCellFormat(SheetModel &m, int row, int col) const
{
    if (m.formatRow >= 0 && row > m.formatRow)
        if (const Cell *above = m.find(m.formatRow, col))
            return above->xf;
    return m.colXf[size_t(col)] >= 0 ? uint16_t(m.colXf[size_t(col)]) : defaultXf;
}

void TemplateFiller::extendRowFormats(int sheet, int row)
{
    FilledWorkbook &b = *m_book;
    b.checkCell(sheet, row, 0);
    b.model(sheet).formatRow = row;
}

void TemplateFiller::setNumber(int sheet, int row, int col, double value)
{
    FilledWorkbook &b = *m_book;
    b.checkCell(sheet, row, col);
    if (!std::isfinite(value))
        throw XlsError(ErrorCode::NumberNotFinite, "row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1));
    SheetModel &m = b.model(sheet);
    b.redirectIntoMerge(m, row, col);
    const size_t pos = m.positionFor(row, col);
    const uint16_t xf = b.formatFor(m, row, col, pos);
    // Most numbers have an exact RK form, which the cell holds itself.
    uint32_t rk = 0;
    if (encodeRk(value, rk)) {
        m.putAt(row, pos, {uint8_t(col), Cell::NewRk, xf, rk});
    } else {
        if (b.numbers.size() >= 0xFFFFFFFEu)
            throw XlsError(ErrorCode::WorkbookTooLarge);
        b.numbers.push_back(value);
        m.putAt(row, pos, {uint8_t(col), Cell::NewNumber, xf, uint32_t(b.numbers.size() - 1)});
    }
    m.edited = true;
}

void TemplateFiller::setNumberOrText(int sheet, int row, int col, std::string_view text)
{
    if (const auto v = generalNumberValue(text))
        setNumber(sheet, row, col, *v);
    else
        setText(sheet, row, col, text);
}

void TemplateFiller::setPrintArea(int sheet, int firstRow, int lastRow, int firstCol, int lastCol)
{
    FilledWorkbook &b = *m_book;
    b.checkCell(sheet, firstRow, firstCol);
    b.checkCell(sheet, lastRow, lastCol);
    if (firstRow > lastRow || firstCol > lastCol)
        throw XlsError(ErrorCode::PageSetupOutOfRange, "print area rows " + std::to_string(firstRow + 1) + "-" +
                       std::to_string(lastRow + 1) + ", columns " + std::to_string(firstCol + 1) + "-" +
                       std::to_string(lastCol + 1));
    if (!b.names)
        b.names = std::make_unique<BuiltinNameEditor>(b.stream, b.globals.end, uint16_t(b.globals.sheets.size()));
    b.names->set(BuiltinName::PrintArea, uint16_t(b.worksheets[size_t(sheet)]),
                 {uint16_t(firstRow), uint16_t(lastRow), uint16_t(firstCol), uint16_t(lastCol)});
}

std::string TemplateFiller::text(int sheet, int row, int col) const
{
    FilledWorkbook &b = *m_book;
    b.checkCell(sheet, row, col);
    b.flushTexts();
    SheetModel &m = b.model(sheet);
    b.redirectIntoMerge(m, row, col);
    const Cell *c = m.find(row, col);
    if (!c || c->kind == Cell::MulBlankPart)
        return {};
    std::string out;
    if (c->kind == Cell::NewText) {
        b.append(c->ref, out);
        return out;
    }
    if (c->kind == Cell::NewNumber || c->kind == Cell::NewRk)
        return formatGeneral(c->kind == Cell::NewRk ? decodeRk(c->ref) : b.numbers[c->ref]);
    return b.templateText(*c);
}

void TemplateFiller::save(const std::string &outPath) const
{
    m_book->flushTexts();
    const FilledWorkbook &b = *m_book;
    std::vector<size_t> order(b.globals.sheets.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&b](size_t x, size_t y) { return b.globals.sheets[x].offset < b.globals.sheets[y].offset; });
    // Sheets are streamed after the globals; each BOUNDSHEET gets its sheet's new position
    // once that sheet is written.
    CompoundFileWriter file(outPath);
    file.keepParts(b.parts);
    ByteBuffer globals;
    std::vector<size_t> sheetOffsetAt;
    b.writeGlobals(globals, sheetOffsetAt, file);
    file.write(globals.bytes.data(), globals.bytes.size());
    for (size_t i : order) {
        if (file.size() > 0xFFFFFFF0u)
            throw XlsError(ErrorCode::WorkbookTooLarge, outPath);
        if (sheetOffsetAt[i]) {
            uint8_t offset[4];
            put32(offset, uint32_t(file.size()));
            file.patch(sheetOffsetAt[i], offset, 4);
        }
        b.writeSheet(i, file.size(), file);
    }
    file.commit();
}

} // namespace kestrova::xls
