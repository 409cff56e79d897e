#pragma once
// Turning a worksheet's cell records into texts; shared by the reader and the template filler.
#include "xls/globals_parser.h"
#include "xls/record_reader.h"

#include <cstdint>
#include <string>

namespace kestrova::xls {

// The shared strings as text, whichever way they are kept.
class SharedStringText
{
public:
    virtual ~SharedStringText() = default;
    virtual uint32_t count() const = 0;
    virtual void append(uint32_t index, std::string &out) const = 0;
};

bool isCellRecord(uint16_t type);

// Receives each cell of a record: row, column, text and whether the cell holds a value
// (false for formatted blanks).
class CellSink
{
public:
    virtual ~CellSink() = default;
    virtual void cell(uint16_t row, uint16_t col, const std::string &text, bool hasValue) = 0;
};

// Checks a cell record's length (and a MULRK/MULBLANK's column range) before any field is read.
void validateCellRecord(const Record &r);

// Decodes one cell record. `after` stands just past it, where a formula's STRING follows.
// Returns false when the record holds no cell. Throws XlsError for a damaged record.
bool decodeCellRecord(const Record &r, const RecordReader &after, const GlobalsInfo &globals,
                      const SharedStringText &sst, std::string &scratch, CellSink &sink);

} // namespace kestrova::xls
