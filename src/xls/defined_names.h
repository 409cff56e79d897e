#pragma once
// The built-in defined names that say how a sheet prints (the rows repeated on every
// page, the range printed), with the link records they refer to the sheet through:
// record builders for the writer, and an editor that adds or replaces such names in the
// globals of a template being filled.
#include "xls/byte_io.h"
#include "xls/record_reader.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrova::xls {

enum class BuiltinName : uint8_t { PrintArea = 0x06, PrintTitles = 0x07 };

// A block of cells, 0-based and inclusive.
struct CellBlock
{
    uint16_t firstRow = 0, lastRow = 0;
    uint16_t firstCol = 0, lastCol = 0;
};

// One entry of EXTERNSHEET: a supporting workbook and a range of its sheets.
struct ExternSheetEntry
{
    uint16_t supBook = 0;
    uint16_t firstSheet = 0, lastSheet = 0;
};

// SUPBOOK for references into this workbook, which has `sheetCount` sheets.
void putSelfSupBook(ByteBuffer &b, uint16_t sheetCount);
void putExternSheet(ByteBuffer &b, const std::vector<ExternSheetEntry> &entries);
// NAME of a built-in name belonging to sheet `sheet` (0-based, in BOUNDSHEET order),
// referring to `block` of it through EXTERNSHEET entry `entry`.
void putBuiltinName(ByteBuffer &b, BuiltinName name, uint16_t sheet, uint16_t entry, const CellBlock &block);

// Adds or replaces built-in names in a workbook's globals while they are copied record
// by record. Existing names and EXTERNSHEET entries keep their positions, so formulas
// that refer to them by number stay right; a sheet's name that is set again replaces
// the old one in place.
class BuiltinNameEditor
{
public:
    // Reads the SUPBOOK, EXTERNSHEET and NAME records of the globals, stream[0, globalsEnd).
    BuiltinNameEditor(std::string_view stream, size_t globalsEnd, uint16_t sheetCount);

    // Throws XlsError (WorkbookTooLarge) when EXTERNSHEET has no room for the sheet.
    void set(BuiltinName name, uint16_t sheet, const CellBlock &block);
    bool empty() const { return m_wanted.empty(); }

    // Called with each globals record in order, before it is copied: writes to `out` what
    // goes before it, and returns true when it wrote a replacement for it, which the caller
    // then skips (its CONTINUE records are passed over through `reader`).
    bool write(const Record &r, RecordReader &reader, ByteBuffer &out) const;

private:
    struct Wanted
    {
        BuiltinName name;
        uint16_t sheet;
        uint16_t entry;
        CellBlock block;
        size_t replaces; // offset of the NAME it replaces, SIZE_MAX for a new one
    };
    struct OldName
    {
        size_t offset;
        uint8_t builtin; // 0 for a name of the user's
        uint16_t sheet;  // 1-based, 0 for the whole workbook
    };

    std::vector<ExternSheetEntry> m_entries;
    std::vector<OldName> m_names;
    std::vector<Wanted> m_wanted;
    uint16_t m_sheetCount;
    int m_selfSupBook = -1;          // among the SUPBOOK records, -1 without one
    int m_supBooks = 0;
    size_t m_externSheet = SIZE_MAX; // offset of EXTERNSHEET
    size_t m_newRecordsAt = SIZE_MAX; // the record the new names go before
    size_t m_linksAt = SIZE_MAX;      // the record a new SUPBOOK or EXTERNSHEET goes before
};

} // namespace kestrova::xls
