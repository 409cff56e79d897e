// Serializes a Workbook: the globals (fonts, XFs, sheets, shared strings) in memory, then
// each sheet streamed straight into the compound file.
#include "xls/writer.h"

#include "xls/biff_records.h"
#include "xls/cell_records.h"
#include "xls/compound_file.h"
#include "xls/defined_names.h"
#include "xls/errors.h"
#include "xls/shared_strings.h"
#include "xls/sst_writer.h"
#include "xls/unicode.h"

#include <algorithm>
#include <cmath>

namespace kestrova::xls {

class WorkbookRecordWriter
{
public:
    explicit WorkbookRecordWriter(const Workbook &book) : m_book(book) {}

    void save(const std::string &path)
    {
        if (m_book.m_sheets.empty())
            throw XlsError(ErrorCode::NoSheets, path);
        m_book.flushTexts();
        // The globals and then the sheets are streamed; each BOUNDSHEET gets its sheet's
        // position once that sheet is written.
        CompoundFileWriter file(path);
        ByteBuffer globals;
        std::vector<size_t> sheetOffsetAt;
        writeGlobals(globals, sheetOffsetAt, file);
        file.write(globals.bytes.data(), globals.bytes.size());
        for (size_t i = 0; i < m_book.m_sheets.size(); ++i) {
            if (file.size() > 0xFFFFFFF0u)
                throw XlsError(ErrorCode::WorkbookTooLarge, path);
            uint8_t offset[4];
            put32(offset, uint32_t(file.size()));
            file.patch(sheetOffsetAt[i], offset, 4);
            writeSheet(*m_book.m_sheets[i], i == 0, file);
        }
        file.commit();
    }

private:
    struct FontKey
    {
        std::string name;
        uint16_t twips;
        bool bold;
        bool operator==(const FontKey &) const = default;
    };

    static FontKey fontOf(const CellFormat &f)
    {
        return {f.fontName, uint16_t(std::lround(f.fontHeightPt * 20)), f.bold};
    }

    static void putShortString(ByteBuffer &b, std::string_view utf8)
    {
        size_t units = 0;
        bool latin1 = true;
        measureUtf8(utf8, units, latin1);
        b.u8(uint8_t(units));
        b.u8(latin1 ? 0 : 1);
        appendWorkbookChars(b.bytes, utf8, latin1);
    }

    static void putFont(ByteBuffer &g, const FontKey &f)
    {
        ByteBuffer b;
        b.u16(f.twips);
        b.u16(f.bold ? 0x0001 : 0x0000); // the old bold bit, which some readers still use
        b.u16(0x7FFF);
        b.u16(f.bold ? 700 : 400);
        b.u16(0);
        b.u8(0);
        b.u8(0);
        size_t units = 0;
        bool latin1 = true;
        measureUtf8(f.name, units, latin1);
        b.u8(latin1 ? 0 : 134); // GB2312 for 宋体 and other Chinese fonts
        b.u8(0);
        putShortString(b, f.name);
        g.record(rec::Font, b.bytes);
    }

    static void putXf(ByteBuffer &g, uint16_t font, bool style, const CellFormat &f)
    {
        ByteBuffer b;
        b.u16(font);
        b.u16(0); // General
        b.u16(style ? 0xFFF5 : 0x0001);
        const uint8_t h = uint8_t(f.hAlign);
        const uint8_t v = uint8_t(f.vAlign == CellFormat::VAlign::Top ? 0 : f.vAlign == CellFormat::VAlign::Center ? 1 : 2);
        b.u8(uint8_t(h | (f.wrap ? 0x08 : 0) | (v << 4)));
        b.u8(0);
        b.u8(0);
        b.u8(style ? 0xF4 : 0xF8);
        if (f.border) {
            b.u32(0x1111u | (8u << 16) | (8u << 23)); // thin left, right, top, bottom; black
            b.u32(8u | (8u << 7));
        } else {
            b.u32(0);
            b.u32(0);
        }
        b.u16(uint16_t(64 | (65 << 7)));
        g.record(rec::Xf, b.bytes);
    }

    // Builds the globals in `g`, passing the bulk of the shared strings on to `out` as it
    // goes (the BOUNDSHEET offsets come before them, so they are stream offsets).
    void writeGlobals(ByteBuffer &g, std::vector<size_t> &sheetOffsetAt, ByteSink &out)
    {
        g.record(rec::Bof, std::string_view("\x00\x06\x05\x00\xBB\x0D\xCC\x07\x00\x00\x00\x00\x06\x00\x00\x00", 16));
        g.record16(rec::InterfaceHdr, 1200);
        g.record16(rec::Mms, 0);
        g.record(rec::InterfaceEnd, {});
        {
            ByteBuffer b;
            b.u16(8);
            b.u8(0);
            b.append("Kestrova");
            b.bytes.resize(112, ' ');
            g.record(rec::WriteAccess, b.bytes);
        }
        g.record16(rec::CodePage, 1200);
        g.record16(rec::Dsf, 0);
        {
            ByteBuffer b;
            for (size_t i = 0; i < m_book.m_sheets.size() && i < 4000; ++i)
                b.u16(uint16_t(i + 1));
            g.record(rec::TabId, b.bytes);
        }
        for (const auto &[type, value] : {std::pair{rec::FnGroupCount, 14}, {rec::WindowProtect, 0}, {rec::Protect, 0},
                                         {rec::Password, 0}, {rec::Prot4Rev, 0}, {rec::Prot4RevPass, 0}})
            g.record16(type, uint16_t(value));
        {
            ByteBuffer b;
            b.u16(0x0168);
            b.u16(0x001E);
            b.u16(0x3A5C);
            b.u16(0x2328);
            b.u16(0x0038);
            b.u16(0); // active sheet
            b.u16(0); // first visible tab
            b.u16(1); // selected tabs
            b.u16(0x0258);
            g.record(rec::Window1, b.bytes);
        }
        for (const auto &[type, value] : {std::pair{rec::Backup, 0}, {rec::HideObj, 0}, {rec::DateMode, 0},
                                         {rec::Precision, 1}, {rec::RefreshAll, 0}, {rec::BookBool, 0}})
            g.record16(type, uint16_t(value));

        // Fonts: four copies of the default, then ours from index 5 (there is no font 4).
        const FontKey defaultFont = fontOf(CellFormat{});
        std::vector<FontKey> fonts;
        std::vector<uint16_t> fontOfFormat;
        for (const CellFormat &f : m_book.m_formats) {
            const FontKey k = fontOf(f);
            if (k == defaultFont) {
                fontOfFormat.push_back(0);
                continue;
            }
            auto it = std::find(fonts.begin(), fonts.end(), k);
            if (it == fonts.end())
                it = fonts.insert(fonts.end(), k);
            fontOfFormat.push_back(uint16_t(5 + (it - fonts.begin())));
        }
        for (int i = 0; i < 4; ++i)
            putFont(g, defaultFont);
        for (const FontKey &k : fonts)
            putFont(g, k);

        // XFs 0-14 are the style XFs every workbook has; 15 is format 0, 16 on the others.
        for (int i = 0; i < 15; ++i)
            putXf(g, 0, true, CellFormat{});
        for (size_t i = 0; i < m_book.m_formats.size(); ++i)
            putXf(g, fontOfFormat[i], false, m_book.m_formats[i]);
        g.record(rec::Style, std::string_view("\x00\x80\x00\xFF", 4));
        g.record16(rec::UsesElfs, 0);

        for (const auto &sheet : m_book.m_sheets) {
            ByteBuffer b;
            b.u32(0); // patched once the sheets are laid out
            b.u8(0);
            b.u8(0);
            putShortString(b, sheet->name());
            sheetOffsetAt.push_back(g.bytes.size() + 4);
            g.record(rec::BoundSheet, b.bytes);
        }
        {
            ByteBuffer b;
            b.u16(86);
            b.u16(86);
            g.record(rec::Country, b.bytes);
        }
        writePrintTitles(g);

        const SharedStrings &strings = *m_book.m_strings;
        uint64_t refs = 0;
        for (const auto &sheet : m_book.m_sheets)
            for (const auto &row : sheet->m_rows)
                for (const Sheet::Cell &c : row)
                    refs += c.kind == Sheet::Text;
        SstWriter sst(g, uint32_t(std::min<uint64_t>(refs, 0xFFFFFFFFu)), strings.count());
        for (uint32_t i = 0; i < strings.count(); ++i) {
            sst.addUtf8(strings.at(i));
            if (g.bytes.size() >= (1 << 16))
                sst.drainTo(out);
        }
        sst.finish();
        g.record(rec::Eof, {});
    }

    // The link records and one Print_Titles name per sheet that repeats rows on its pages.
    void writePrintTitles(ByteBuffer &g) const
    {
        std::vector<ExternSheetEntry> entries;
        for (size_t i = 0; i < m_book.m_sheets.size(); ++i) {
            const auto &p = m_book.m_sheets[i]->m_pageSetup;
            if (p && p->titleFirstRow >= 0)
                entries.push_back({0, uint16_t(i), uint16_t(i)});
        }
        if (entries.empty())
            return;
        putSelfSupBook(g, uint16_t(m_book.m_sheets.size()));
        putExternSheet(g, entries);
        for (size_t e = 0; e < entries.size(); ++e) {
            const PageSetup &p = *m_book.m_sheets[entries[e].firstSheet]->m_pageSetup;
            putBuiltinName(g, BuiltinName::PrintTitles, entries[e].firstSheet, uint16_t(e),
                           {uint16_t(p.titleFirstRow), uint16_t(p.titleLastRow), 0, 255});
        }
    }

    // WSBOOL and the page setup block, from HEADER to SETUP.
    static void writePageSetup(ByteBuffer &b, const std::optional<PageSetup> &setup)
    {
        constexpr uint16_t LeftMargin = 0x0026, RightMargin = 0x0027, TopMargin = 0x0028, BottomMargin = 0x0029;
        const PageSetup p = setup.value_or(PageSetup{});
        const bool fit = p.fitWidth > 0 || p.fitHeight > 0;
        b.record16(rec::WsBool, uint16_t(0x04C1 | (fit ? 0x0100 : 0))); // 0x0100: fit to pages
        b.record(rec::Header, {});
        b.record(rec::Footer, {});
        b.record16(rec::HCenter, p.centerHorizontally ? 1 : 0);
        b.record16(rec::VCenter, 0);
        if (setup) {
            for (const auto &[type, inches] : {std::pair{LeftMargin, p.leftMargin}, {RightMargin, p.rightMargin},
                                              {TopMargin, p.topMargin}, {BottomMargin, p.bottomMargin}}) {
                b.u16(type);
                b.u16(8);
                b.f64(inches);
            }
        }
        ByteBuffer s;
        s.u16(9); // A4
        s.u16(uint16_t(p.scale));
        s.u16(1); // first page number
        s.u16(uint16_t(fit ? p.fitWidth : 1)); // 1 × 1 is what a spreadsheet offers when fitting is turned on
        s.u16(uint16_t(fit ? p.fitHeight : 1));
        s.u16(p.landscape ? 0x0000 : 0x0002);
        s.u16(300);
        s.u16(300);
        s.f64(0.5); // header and footer margins
        s.f64(0.5);
        s.u16(1);
        b.record(rec::Setup, s.bytes);
    }

    // Streams one sheet's records to `out` through a small buffer.
    void writeSheet(const Sheet &sheet, bool selected, ByteSink &out) const
    {
        ByteBuffer b;
        b.bytes.reserve(1 << 17);
        auto flush = [&] {
            out.write(b.bytes.data(), b.bytes.size());
            b.bytes.clear();
        };
        b.record(rec::Bof, std::string_view("\x00\x06\x10\x00\xBB\x0D\xCC\x07\x00\x00\x00\x00\x06\x00\x00\x00", 16));
        b.record16(rec::CalcMode, 1);
        b.record16(rec::CalcCount, 100);
        b.record16(rec::RefMode, 1);
        b.record16(rec::Iteration, 0);
        b.u16(rec::Delta);
        b.u16(8);
        b.f64(0.001);
        b.record16(rec::SaveRecalc, 1);
        b.record16(rec::PrintHeaders, 0);
        b.record16(rec::PrintGridlines, 0);
        b.record16(rec::GridSet, 1);
        b.record(rec::Guts, std::string_view("\0\0\0\0\0\0\0\0", 8));
        b.u16(rec::DefaultRowHeight);
        b.u16(4);
        b.u16(0);
        b.u16(DefaultRowTwips);
        writePageSetup(b, sheet.m_pageSetup);
        b.record16(rec::DefColWidth, 8);
        for (size_t c = 0; c < sheet.m_columnWidths.size(); ++c) {
            if (sheet.m_columnWidths[c] < 0)
                continue;
            putRecordHeader(b, rec::ColInfo, 12);
            b.u16(uint16_t(c));
            b.u16(uint16_t(c));
            b.u16(uint16_t(sheet.m_columnWidths[c]));
            b.u16(DefaultCellXf);
            b.u16(0);
            b.u16(0);
        }

        // The hidden cells of a merged block get blanks of the block's format, so its
        // borders show all round.
        std::vector<std::vector<Sheet::Cell>> extra;
        for (const Sheet::Merge &m : sheet.m_merges) {
            uint16_t format = 0;
            if (m.firstRow < sheet.m_rows.size())
                for (const Sheet::Cell &c : sheet.m_rows[m.firstRow])
                    if (c.col == m.firstCol)
                        format = c.xf;
            if (extra.size() <= m.lastRow)
                extra.resize(size_t(m.lastRow) + 1);
            for (int r = m.firstRow; r <= m.lastRow; ++r)
                for (int c = m.firstCol; c <= m.lastCol; ++c)
                    if (r != m.firstRow || c != m.firstCol)
                        extra[size_t(r)].push_back({uint8_t(c), Sheet::Blank, format, 0});
        }
        std::vector<Sheet::Cell> merged;
        auto cellsOf = [&](size_t r) -> const std::vector<Sheet::Cell> & {
            static const std::vector<Sheet::Cell> none;
            const auto &own = r < sheet.m_rows.size() ? sheet.m_rows[r] : none;
            if (r >= extra.size() || extra[r].empty())
                return own;
            merged.clear();
            auto a = own.begin();
            auto e = extra[r];
            std::sort(e.begin(), e.end(), [](const Sheet::Cell &x, const Sheet::Cell &y) { return x.col < y.col; });
            auto bIt = e.begin();
            while (a != own.end() || bIt != e.end()) {
                if (bIt == e.end() || (a != own.end() && a->col <= bIt->col)) {
                    if (bIt != e.end() && a->col == bIt->col)
                        ++bIt; // the sheet's own cell wins
                    merged.push_back(*a++);
                } else {
                    merged.push_back(*bIt++);
                }
            }
            return merged;
        };

        const size_t rowCount = std::max({sheet.m_rows.size(), sheet.m_rowHeights.size(), extra.size()});
        auto height = [&](size_t r) { return r < sheet.m_rowHeights.size() ? sheet.m_rowHeights[r] : -1; };
        putUsedDimensions(b, rowCount, cellsOf);

        // Row blocks: up to 32 ROW records, then the cells of those rows.
        for (size_t block = 0; block < rowCount; block += 32) {
            const size_t end = std::min(rowCount, block + 32);
            for (size_t r = block; r < end; ++r) {
                const auto &cells = cellsOf(r);
                if (cells.empty() && height(r) < 0)
                    continue;
                putRow(b, uint16_t(r), cells.empty() ? 0 : cells.front().col,
                       cells.empty() ? 0 : uint16_t(cells.back().col + 1), height(r));
            }
            for (size_t r = block; r < end; ++r) {
                // A row's records are built in place and appended at once (a row has at
                // most 256 cells).
                const auto &cells = cellsOf(r);
                uint8_t row[256 * MaxCellRecord];
                uint8_t *p = row;
                for (const Sheet::Cell &c : cells) {
                    const uint16_t xf = uint16_t(DefaultCellXf + c.xf);
                    switch (c.kind) {
                    case Sheet::Text: p = labelSstAt(p, uint16_t(r), c.col, xf, c.value); break;
                    case Sheet::Number: p = numberAt(p, uint16_t(r), c.col, xf, sheet.m_numbers[c.value]); break;
                    default: p = blankAt(p, uint16_t(r), c.col, xf); break;
                    }
                }
                b.write(row, size_t(p - row));
                if (b.bytes.size() > (1 << 16))
                    flush();
            }
        }

        {
            putRecordHeader(b, rec::Window2, 18);
            b.u16(selected ? 0x06B6 : 0x00B6); // grid, headers, zeros, outline; the first sheet selected and shown
            b.u16(0);
            b.u16(0);
            b.u16(64);
            b.u16(0);
            b.u16(0);
            b.u16(0);
            b.u32(0);
        }
        for (size_t i = 0; i < sheet.m_merges.size(); i += 1026) {
            const size_t n = std::min<size_t>(1026, sheet.m_merges.size() - i);
            putRecordHeader(b, rec::MergedCells, uint16_t(2 + 8 * n));
            b.u16(uint16_t(n));
            for (size_t k = i; k < i + n; ++k) {
                const Sheet::Merge &m = sheet.m_merges[k];
                b.u16(m.firstRow);
                b.u16(m.lastRow);
                b.u16(m.firstCol);
                b.u16(m.lastCol);
            }
        }
        b.record(rec::Eof, {});
        flush();
    }

    const Workbook &m_book;
};

void Workbook::save(const std::string &path) const
{
    WorkbookRecordWriter(*this).save(path);
}

} // namespace kestrova::xls
