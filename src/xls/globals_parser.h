#pragma once
// The workbook globals substream as the reader and the template filler need it: sheets,
// formats (to tell dates), the date system and the shared string table.
#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/errors.h"
#include "xls/record_reader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::xls {

struct SheetEntry
{
    std::string name;
    uint32_t offset = 0;        // of the sheet's BOF in the stream
    uint8_t visibility = 0;
    uint8_t type = 0;           // 0 worksheet, 2 chart, 6 VB module
    size_t recordOffset = 0;    // of the BOUNDSHEET record
};

struct GlobalsInfo
{
    std::vector<SheetEntry> sheets;
    std::vector<uint16_t> xfFormat;  // format id of each XF
    std::vector<bool> xfIsStyle;
    std::vector<bool> dateFormat;    // by format id (65,536 entries)
    bool date1904 = false;
    size_t sstOffset = SIZE_MAX;     // the SST record, SIZE_MAX without one
    size_t end = 0;                  // just past the globals' EOF

    bool isDateXf(uint16_t xf) const { return xf < xfFormat.size() && dateFormat[xfFormat[xf]]; }
};

// One string of the SST as stored: its characters (with the width it started with), and
// its formatting runs and phonetic block when keepRich was asked for.
struct SstString
{
    const std::u16string &chars;
    bool wide;
    const std::string &runs;
    const std::string &phonetic;
};
using SstVisitor = std::function<void(const SstString &)>;

// Parses the globals from the stream's start. Refuses BIFF5 (told by the BOF's version)
// and encrypted workbooks (see removeBuiltinPasswordEncryption). A sheet position a few
// bytes past the sheet's BOF is moved back onto it.
// Calls `sst` for each shared string when given.
GlobalsInfo parseGlobals(std::string_view stream, const SstVisitor &sst = {}, bool keepRich = false);

// Walks the sheet's substream from its BOF to just past its EOF, handing each record of
// the sheet itself (embedded charts' nested BOF/EOF pairs skipped) and the reader after
// it to onRecord; returns the offset just past the EOF. Throws BadSheetOffset when no
// sheet BOF stands at the offset, Truncated when the EOF is missing.
template <typename Fn>
size_t walkSheetRecords(std::string_view stream, const SheetEntry &sheet, Fn &&onRecord)
{
    RecordReader reader(stream, sheet.offset);
    Record r;
    if (sheet.offset >= stream.size() || !reader.next(r) || r.type != rec::Bof || r.size < 4 ||
        rd16(r.data + 2) == 0x0005) // a sheet's BOF, not the globals'
        throw XlsError(ErrorCode::BadSheetOffset, "工作表" + sheet.name + "（偏移" + std::to_string(sheet.offset) + "）");
    int depth = 1;
    while (depth > 0) {
        if (!reader.next(r))
            throw XlsError(ErrorCode::Truncated, "工作表" + sheet.name + "没有EOF记录");
        if (r.type == rec::Bof)
            ++depth;
        else if (r.type == rec::Eof)
            --depth;
        else if (depth == 1)
            onRecord(r, reader);
    }
    return reader.position();
}

// The sheet's substream: from its BOF to just past its EOF.
size_t sheetEnd(std::string_view stream, const SheetEntry &sheet);

} // namespace kestrova::xls
