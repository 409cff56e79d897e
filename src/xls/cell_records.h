#pragma once
// Builders for the worksheet records both the writer and the template filler emit.
#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/cell_text.h"

#include <cstring>

namespace kestrova::xls {

constexpr uint16_t DefaultCellXf = 15;
constexpr uint16_t DefaultRowTwips = 270; // 13.5 pt, the height of an 11 pt 宋体 row

inline void putRecordHeader(ByteBuffer &b, uint16_t type, uint16_t size)
{
    b.u16(type);
    b.u16(size);
}

inline void putRow(ByteBuffer &b, uint16_t row, uint16_t firstCol, uint16_t lastColPlus1, int32_t twips)
{
    putRecordHeader(b, rec::Row, 16);
    b.u16(row);
    b.u16(firstCol);
    b.u16(lastColPlus1);
    b.u16(twips < 0 ? DefaultRowTwips : uint16_t(twips));
    b.u16(0);
    b.u16(0);
    // bit 8 always set; bit 6 = height set by the user; row XF 15
    b.u32(0x000F0100u | (twips < 0 ? 0 : 0x40));
}

inline void putDimensions(ByteBuffer &b, uint32_t firstRow, uint32_t lastRowPlus1, uint16_t firstCol, uint16_t lastColPlus1)
{
    putRecordHeader(b, rec::Dimensions, 14);
    b.u32(firstRow);
    b.u32(lastRowPlus1);
    b.u16(firstCol);
    b.u16(lastColPlus1);
    b.u16(0);
}

// DIMENSIONS of the range the stored cells use; cellsOf(r) gives row r's cells in
// column order. Empty sheets get the all-zero record.
template <typename CellsOf>
void putUsedDimensions(ByteBuffer &b, size_t rowCount, CellsOf &&cellsOf)
{
    uint32_t firstRow = UINT32_MAX, lastRow = 0;
    uint16_t firstCol = 0xFFFF, lastCol = 0;
    for (size_t r = 0; r < rowCount; ++r) {
        const auto &cells = cellsOf(r);
        if (cells.empty())
            continue;
        firstRow = std::min(firstRow, uint32_t(r));
        lastRow = uint32_t(r);
        firstCol = std::min<uint16_t>(firstCol, cells.front().col);
        lastCol = std::max<uint16_t>(lastCol, cells.back().col);
    }
    if (firstRow == UINT32_MAX)
        putDimensions(b, 0, 0, 0, 0);
    else
        putDimensions(b, firstRow, lastRow + 1, firstCol, uint16_t(lastCol + 1));
}

// A cell record's header and row, column, XF, built in place: these are written millions
// of times for a full sheet.
inline uint8_t *cellHead(uint8_t *p, uint16_t type, uint16_t size, uint16_t row, uint16_t col, uint16_t xf)
{
    put16(p, type);
    put16(p + 2, size);
    put16(p + 4, row);
    put16(p + 6, col);
    put16(p + 8, xf);
    return p + 10;
}

// The cell records written into memory the caller has sized (at most MaxCellRecord
// bytes each); they return the end of what they wrote.
constexpr size_t MaxCellRecord = 18;

inline uint8_t *labelSstAt(uint8_t *p, uint16_t row, uint16_t col, uint16_t xf, uint32_t index)
{
    put32(cellHead(p, rec::LabelSst, 10, row, col, xf), index);
    return p + 14;
}

inline uint8_t *blankAt(uint8_t *p, uint16_t row, uint16_t col, uint16_t xf)
{
    return cellHead(p, rec::Blank, 6, row, col, xf);
}

inline uint8_t *rkAt(uint8_t *p, uint16_t row, uint16_t col, uint16_t xf, uint32_t rk)
{
    put32(cellHead(p, rec::Rk, 10, row, col, xf), rk);
    return p + 14;
}

inline uint8_t *numberAt(uint8_t *p, uint16_t row, uint16_t col, uint16_t xf, double v)
{
    uint32_t rk;
    if (encodeRk(v, rk))
        return rkAt(p, row, col, xf, rk);
    std::memcpy(cellHead(p, rec::Number, 14, row, col, xf), &v, 8); // little-endian IEEE double
    return p + 18;
}

inline void putLabelSst(ByteBuffer &b, uint16_t row, uint16_t col, uint16_t xf, uint32_t index)
{
    uint8_t r[MaxCellRecord];
    b.write(r, size_t(labelSstAt(r, row, col, xf, index) - r));
}

inline void putBlank(ByteBuffer &b, uint16_t row, uint16_t col, uint16_t xf)
{
    uint8_t r[MaxCellRecord];
    b.write(r, size_t(blankAt(r, row, col, xf) - r));
}

inline void putRk(ByteBuffer &b, uint16_t row, uint16_t col, uint16_t xf, uint32_t rk)
{
    uint8_t r[MaxCellRecord];
    b.write(r, size_t(rkAt(r, row, col, xf, rk) - r));
}

inline void putNumber(ByteBuffer &b, uint16_t row, uint16_t col, uint16_t xf, double v)
{
    uint8_t r[MaxCellRecord];
    b.write(r, size_t(numberAt(r, row, col, xf, v) - r));
}

} // namespace kestrova::xls
