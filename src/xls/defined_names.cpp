#include "xls/defined_names.h"

#include "xls/biff_records.h"
#include "xls/errors.h"

#include <algorithm>

namespace kestrova::xls {

namespace {

constexpr uint16_t ExternSheet = 0x0017, Name = 0x0018, ExternName = 0x0023, Xct = 0x0059, Crn = 0x005A,
                   SupBook = 0x01AE, NameCmt = 0x0894;
constexpr uint16_t SelfReference = 0x0401; // SUPBOOK's cch for this workbook
constexpr uint16_t BuiltinFlag = 0x0020;
constexpr uint8_t PtgArea3d = 0x3B;
constexpr size_t MaxEntries = (rec::MaxData - 2) / 6;

// The records around which names live: sheets, links, names.
bool nameAreaRecord(uint16_t type)
{
    return type == rec::BoundSheet || type == rec::Country || type == SupBook || type == ExternName ||
           type == Xct || type == Crn || type == ExternSheet || type == Name || type == NameCmt;
}

void skipContinues(RecordReader &reader)
{
    Record c;
    while (reader.peek(c) && c.type == rec::Continue)
        reader.next(c);
}

} // namespace

void putSelfSupBook(ByteBuffer &b, uint16_t sheetCount)
{
    b.u16(SupBook);
    b.u16(4);
    b.u16(sheetCount);
    b.u16(SelfReference);
}

void putExternSheet(ByteBuffer &b, const std::vector<ExternSheetEntry> &entries)
{
    b.u16(ExternSheet);
    b.u16(uint16_t(2 + 6 * entries.size()));
    b.u16(uint16_t(entries.size()));
    for (const ExternSheetEntry &e : entries) {
        b.u16(e.supBook);
        b.u16(e.firstSheet);
        b.u16(e.lastSheet);
    }
}

void putBuiltinName(ByteBuffer &b, BuiltinName name, uint16_t sheet, uint16_t entry, const CellBlock &block)
{
    b.u16(Name);
    b.u16(14 + 2 + 11);
    b.u16(BuiltinFlag);
    b.u8(0);  // no shortcut key
    b.u8(1);  // the name is one character, the built-in name's code
    b.u16(11); // formula length
    b.u16(0);
    b.u16(uint16_t(sheet + 1)); // local to the sheet
    b.u32(0); // no menu, description, help or status texts
    b.u8(0);  // one-byte characters
    b.u8(uint8_t(name));
    // One absolute 3-D area reference.
    b.u8(PtgArea3d);
    b.u16(entry);
    b.u16(block.firstRow);
    b.u16(block.lastRow);
    b.u16(block.firstCol);
    b.u16(block.lastCol);
}

BuiltinNameEditor::BuiltinNameEditor(std::string_view stream, size_t globalsEnd, uint16_t sheetCount)
    : m_sheetCount(sheetCount)
{
    RecordReader reader(stream.substr(0, globalsEnd), 0);
    Record r;
    bool externSheetContinued = false;
    size_t firstName = SIZE_MAX;
    uint16_t previous = 0;
    bool afterNameArea = false;
    while (reader.next(r)) {
        if (r.type == rec::Continue) {
            if (previous == ExternSheet)
                externSheetContinued = true;
            continue; // belongs to the record before it
        }
        if (afterNameArea) {
            m_newRecordsAt = r.offset;
            afterNameArea = false;
        }
        previous = r.type;
        if (nameAreaRecord(r.type))
            afterNameArea = true;
        if (r.type == SupBook) {
            if (r.size >= 4 && rd16(r.data + 2) == SelfReference && m_selfSupBook < 0)
                m_selfSupBook = m_supBooks;
            ++m_supBooks;
        } else if (r.type == ExternSheet && m_externSheet == SIZE_MAX) {
            m_externSheet = r.offset;
            const size_t n = r.size >= 2 ? std::min<size_t>(rd16(r.data), (r.size - 2) / 6) : 0;
            for (size_t i = 0; i < n; ++i) {
                const uint8_t *p = r.data + 2 + 6 * i;
                m_entries.push_back({rd16(p), rd16(p + 2), rd16(p + 4)});
            }
        } else if (r.type == Name) {
            firstName = std::min(firstName, r.offset);
            OldName n{r.offset, 0, 0};
            if (r.size >= 16 && (rd16(r.data) & BuiltinFlag)) {
                n.builtin = r.data[15]; // the name's first character, whatever its width
                n.sheet = rd16(r.data + 8);
            }
            m_names.push_back(n);
        }
    }
    if (externSheetContinued)
        m_entries.resize(MaxEntries + 1); // no room to add to it: set() refuses
    // Links go before the names that use them.
    m_linksAt = m_externSheet != SIZE_MAX ? m_externSheet : std::min(firstName, m_newRecordsAt);
}

void BuiltinNameEditor::set(BuiltinName name, uint16_t sheet, const CellBlock &block)
{
    const uint16_t self = uint16_t(m_selfSupBook >= 0 ? m_selfSupBook : m_supBooks);
    auto e = std::find_if(m_entries.begin(), m_entries.end(), [&](const ExternSheetEntry &x) {
        return x.supBook == self && x.firstSheet == sheet && x.lastSheet == sheet;
    });
    if (e == m_entries.end()) {
        if (m_entries.size() >= MaxEntries)
            throw XlsError(ErrorCode::WorkbookTooLarge, "no room for another sheet reference");
        e = m_entries.insert(m_entries.end(), ExternSheetEntry{self, sheet, sheet});
    }
    const uint16_t entry = uint16_t(e - m_entries.begin());
    for (Wanted &w : m_wanted)
        if (w.name == name && w.sheet == sheet) {
            w.entry = entry;
            w.block = block;
            return;
        }
    size_t replaces = SIZE_MAX;
    for (const OldName &n : m_names)
        if (n.builtin == uint8_t(name) && n.sheet == sheet + 1) {
            replaces = n.offset;
            break;
        }
    m_wanted.push_back({name, sheet, entry, block, replaces});
}

bool BuiltinNameEditor::write(const Record &r, RecordReader &reader, ByteBuffer &out) const
{
    if (m_wanted.empty())
        return false;
    if (r.offset == m_linksAt) {
        if (m_selfSupBook < 0)
            putSelfSupBook(out, m_sheetCount);
        if (m_externSheet == SIZE_MAX)
            putExternSheet(out, m_entries);
    }
    if (r.offset == m_externSheet) {
        putExternSheet(out, m_entries);
        skipContinues(reader);
        return true;
    }
    for (const Wanted &w : m_wanted)
        if (w.replaces == r.offset) {
            putBuiltinName(out, w.name, w.sheet, w.entry, w.block);
            skipContinues(reader);
            return true;
        }
    if (r.offset == m_newRecordsAt)
        for (const Wanted &w : m_wanted)
            if (w.replaces == SIZE_MAX)
                putBuiltinName(out, w.name, w.sheet, w.entry, w.block);
    return false;
}

} // namespace kestrova::xls
