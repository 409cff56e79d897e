#pragma once
// Turning a worksheet's cell records into texts; shared by the reader and the template filler.
#include "xls/globals_parser.h"
#include "xls/record_reader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrova::xls {

// The shared strings as text, whichever way they are kept.
class SharedStringText
{
public:
    virtual ~SharedStringText() = default;
    virtual uint32_t count() const = 0;
    virtual void append(uint32_t index, std::string &out) const = 0;
    // The string as UTF-8 where it is kept so for as long as the workbook, to be read
    // without a copy; nothing where it is not.
    virtual std::optional<std::string_view> lastingUtf8(uint32_t) const { return std::nullopt; }
};

// A cell record's number for a cell that is no shared string.
inline constexpr uint32_t kNotShared = 0xFFFFFFFFu;

// One decoded cell. hasValue is false for formatted blanks. sharedString numbers the
// shared string a LABELSST cell shows, so a caller can work out what a text means once
// per distinct string. The text is valid during the call only, unless lasting: then it
// stays as long as the workbook.
struct DecodedCell
{
    uint16_t row = 0, col = 0;
    std::string_view text;
    bool hasValue = false;
    uint32_t sharedString = kNotShared;
    bool lasting = false;
};

bool isCellRecord(uint16_t type);

// Receives each cell of a record.
class CellSink
{
public:
    virtual ~CellSink() = default;
    virtual void cell(const DecodedCell &cell) = 0;
};

// Checks a cell record's length (and a MULRK/MULBLANK's column range) before any field is read.
void validateCellRecord(const Record &r);

// Decodes one cell record. `after` stands just past it, where a formula's STRING follows.
// Returns false when the record holds no cell. Throws XlsError for a damaged record.
bool decodeCellRecord(const Record &r, const RecordReader &after, const GlobalsInfo &globals,
                      const SharedStringText &sst, std::string &scratch, CellSink &sink);

} // namespace kestrova::xls
