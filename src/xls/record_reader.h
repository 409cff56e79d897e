#pragma once
// Walking the records of a Workbook stream, every length checked against the stream.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::xls {

struct Record
{
    uint16_t type = 0;
    uint16_t size = 0;
    const uint8_t *data = nullptr;
    size_t offset = 0; // of the record header in the stream
    size_t end() const { return offset + 4 + size; }
};

class RecordReader
{
public:
    RecordReader(std::string_view stream, size_t start) : m_stream(stream), m_pos(start) {}
    // False at the end of the stream; throws BadRecord when a record runs past it.
    bool next(Record &r);
    // The record at the position without moving; false at the end.
    bool peek(Record &r) const;
    size_t position() const { return m_pos; }
    void seek(size_t pos) { m_pos = pos; }

private:
    std::string_view m_stream;
    size_t m_pos;
};

[[noreturn]] void throwBadRecord(const Record &r, const std::string &what);
// Throws BadRecord unless the record has at least `size` bytes of data.
inline void requireSize(const Record &r, size_t size)
{
    if (r.size < size)
        throwBadRecord(r, "太短");
}

// A record's data followed by that of its CONTINUE records, read as one sequence of bytes
// that knows where each CONTINUE began (strings repeat their flag byte there).
class ContinuedData
{
public:
    // Collects `first` and the CONTINUE records after it; leaves the reader past them.
    ContinuedData(const Record &first, RecordReader &reader);
    // Only the given record (the CONTINUE records that may follow are not part of it).
    explicit ContinuedData(const Record &only);

    bool atEnd() const; // no byte left in this record or its CONTINUE records
    size_t offset() const; // stream offset of the next byte, for messages
    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    void skip(size_t n);
    void bytes(size_t n, std::string &out); // appends n bytes, crossing record boundaries
    // Reads `count` characters starting with the given width; at each record boundary a new
    // flag byte gives the width of the rest. Appends UTF-16 units.
    void characters(size_t count, bool wide, std::u16string &out);
    // An XLUnicodeString (2-byte length, flags, characters), as in LABEL, FORMAT and STRING.
    void unicodeString(std::u16string &out);

private:
    void need(size_t n); // makes n bytes available in the current segment or throws
    struct Segment { const uint8_t *data; size_t size; size_t offset; };
    std::vector<Segment> m_segments;
    size_t m_seg = 0, m_pos = 0;
};

// A ShortXLUnicodeString (1-byte length) or XLUnicodeString inside one record, as UTF-8.
// `at` advances past it; throws BadRecord when it runs past the record.
// An empty XLUnicodeString may lack its flags byte at the end of its record.
std::string readShortString(const Record &r, size_t &at);
std::string readLongString(const Record &r, size_t &at);
// An XLUnicodeString that some writers cut short at the end of its record (a FORMAT
// record a byte short): the characters that are there.
std::string readCutLongString(const Record &r, size_t &at);

} // namespace kestrova::xls
