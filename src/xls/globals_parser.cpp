#include "xls/globals_parser.h"

#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/cell_text.h"
#include "xls/errors.h"
#include "xls/unicode.h"

namespace kestrova::xls {

namespace {

void parseSst(const Record &first, RecordReader &reader, const SstVisitor &visit, bool keepRich)
{
    ContinuedData d(first, reader);
    d.u32(); // total references: no reader trusts it
    const uint32_t unique = d.u32();
    std::u16string chars;
    std::string runs, phonetic;
    // The count may lie: the strings end where the data ends.
    for (uint32_t i = 0; i < unique && !d.atEnd(); ++i) {
        const uint16_t count = d.u16();
        const uint8_t flags = d.u8();
        const size_t runCount = (flags & 0x08) ? d.u16() : 0;
        const size_t phoneticSize = (flags & 0x04) ? d.u32() : 0;
        chars.clear();
        runs.clear();
        phonetic.clear();
        d.characters(count, flags & 1, chars);
        if (keepRich) {
            d.bytes(runCount * 4, runs);
            d.bytes(phoneticSize, phonetic);
        } else {
            d.skip(runCount * 4);
            d.skip(phoneticSize);
        }
        if (visit)
            visit(SstString{chars, (flags & 1) != 0, runs, phonetic});
    }
}

// A sheet's BIFF8 BOF record at the offset: type, length 16, version, a sheet's kind.
bool sheetBofAt(std::string_view stream, size_t at)
{
    if (at > stream.size() || stream.size() - at < 10)
        return false;
    const auto *p = reinterpret_cast<const uint8_t *>(stream.data()) + at;
    return rd16(p) == rec::Bof && rd16(p + 2) == 16 && rd16(p + 4) == 0x0600 && rd16(p + 6) != 0x0005;
}

// Some writers put a sheet's position a few bytes past its BOF; the BOF just before it is
// the sheet's, as long as it lies after the globals. Any other wrong position stays wrong,
// for the walk to report.
void findSheetBof(std::string_view stream, size_t globalsEnd, SheetEntry &sheet)
{
    constexpr size_t MaxSlip = 32;
    if (sheetBofAt(stream, sheet.offset) || sheet.offset > stream.size())
        return;
    for (size_t back = 1; back <= MaxSlip && sheet.offset >= globalsEnd + back; ++back)
        if (sheetBofAt(stream, sheet.offset - back)) {
            sheet.offset = uint32_t(sheet.offset - back);
            return;
        }
}

} // namespace

GlobalsInfo parseGlobals(std::string_view stream, const SstVisitor &sst, bool keepRich)
{
    GlobalsInfo g;
    g.dateFormat.assign(65536, false);
    for (uint16_t id : builtinDateFormats())
        g.dateFormat[id] = true;
    RecordReader reader(stream, 0);
    Record r;
    if (!reader.next(r))
        throw XlsError(ErrorCode::Truncated, "工作簿数据流为空");
    if (r.type == rec::Bof5 || r.type == 0x0409 || r.type == 0x0009 ||
        (r.type == rec::Bof && r.size >= 2 && rd16(r.data) != 0x0600))
        throw XlsError(ErrorCode::OldExcelVersion);
    if (r.type != rec::Bof || r.size < 4 || rd16(r.data + 2) != 0x0005)
        throw XlsError(ErrorCode::BadRecord, "工作簿数据流不以工作簿的BOF记录开头");
    for (;;) {
        if (!reader.next(r))
            throw XlsError(ErrorCode::Truncated, "工作簿全局部分没有EOF记录");
        switch (r.type) {
        case rec::Eof:
            g.end = r.end();
            for (SheetEntry &sheet : g.sheets)
                findSheetBof(stream, g.end, sheet);
            return g;
        case rec::FilePass:
            throw XlsError(ErrorCode::Encrypted);
        case rec::DateMode:
            requireSize(r, 2);
            g.date1904 = rd16(r.data) != 0;
            break;
        case rec::BoundSheet: {
            requireSize(r, 8);
            SheetEntry s;
            s.offset = rd32(r.data);
            s.visibility = r.data[4];
            s.type = r.data[5];
            s.recordOffset = r.offset;
            size_t at = 6;
            s.name = readShortString(r, at);
            g.sheets.push_back(std::move(s));
            break;
        }
        case rec::Format: {
            requireSize(r, 4);
            const uint16_t id = rd16(r.data);
            size_t at = 2;
            g.dateFormat[id] = isDateFormatCode(readCutLongString(r, at));
            break;
        }
        case rec::Xf:
            requireSize(r, 6);
            g.xfFormat.push_back(rd16(r.data + 2));
            g.xfIsStyle.push_back((rd16(r.data + 4) & 0x0004) != 0);
            break;
        case rec::Sst:
            g.sstOffset = r.offset;
            parseSst(r, reader, sst, keepRich);
            break;
        case rec::Bof:
            throw XlsError(ErrorCode::BadRecord, "工作簿全局部分没有EOF记录");
        default:
            break;
        }
    }
}

size_t sheetEnd(std::string_view stream, const SheetEntry &sheet)
{
    return walkSheetRecords(stream, sheet, [](const Record &, const RecordReader &) {});
}

} // namespace kestrova::xls
