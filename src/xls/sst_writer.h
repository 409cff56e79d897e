#pragma once
// Writes the shared string table (SST, split over CONTINUE records) and its EXTSST index.
#include "xls/byte_io.h"

#include <cstdint>
#include <string_view>

namespace kestrova::xls {

class SstWriter
{
public:
    // `out` holds the Workbook stream from offset 0 (less what drainTo() has moved on), so
    // its size is the SST's stream offset.
    SstWriter(ByteBuffer &out, uint32_t totalRefs, uint32_t uniqueCount);
    // One string: `chars` as stored (1 byte per character, or UTF-16LE when wide), optional
    // formatting runs (4 bytes each) and phonetic block, kept whole from a template.
    void add(std::string_view chars, bool wide, std::string_view runs = {}, std::string_view phonetic = {});
    void addUtf8(std::string_view utf8); // a plain string from UTF-8 already checked
    // Moves what `out` holds before the record being written to `sink` and returns how
    // many bytes that was: a table of a million strings need not be held whole.
    size_t drainTo(ByteSink &sink);
    // Closes the SST and appends the EXTSST.
    void finish();

private:
    void ensure(size_t n);     // starts a CONTINUE unless n more bytes fit in the record
    void closeRecord();
    void beginRecord(uint16_t type);

    ByteBuffer &m_out;
    size_t m_recordStart = 0; // offset of the current record's header in m_out
    uint64_t m_drained = 0;   // bytes moved out of m_out by drainTo()
    uint32_t m_index = 0;
    uint32_t m_bucketSize;
    ByteBuffer m_ext;
    std::string m_scratch;
};

} // namespace kestrova::xls
