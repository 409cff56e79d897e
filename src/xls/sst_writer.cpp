#include "xls/sst_writer.h"

#include "xls/biff_records.h"
#include "xls/unicode.h"

#include <algorithm>

namespace kestrova::xls {

SstWriter::SstWriter(ByteBuffer &out, uint32_t totalRefs, uint32_t uniqueCount)
    : m_out(out), m_bucketSize(std::max<uint32_t>(uniqueCount / 128 + 1, 8))
{
    beginRecord(rec::Sst);
    m_out.u32(totalRefs);
    m_out.u32(uniqueCount);
    m_ext.u16(uint16_t(m_bucketSize));
}

void SstWriter::beginRecord(uint16_t type)
{
    m_recordStart = m_out.bytes.size();
    m_out.u16(type);
    m_out.u16(0);
}

void SstWriter::closeRecord()
{
    m_out.patch16(m_recordStart + 2, uint16_t(m_out.bytes.size() - m_recordStart - 4));
}

void SstWriter::ensure(size_t n)
{
    if (m_out.bytes.size() - m_recordStart - 4 + n > rec::MaxData) {
        closeRecord();
        beginRecord(rec::Continue);
    }
}

void SstWriter::add(std::string_view chars, bool wide, std::string_view runs, std::string_view phonetic)
{
    const size_t width = wide ? 2 : 1;
    const size_t count = chars.size() / width;
    const size_t header = 3 + (runs.empty() ? 0 : 2) + (phonetic.empty() ? 0 : 4);
    // The header and the first character stay together in one record.
    ensure(header + (count ? width : 0));
    if (m_index % m_bucketSize == 0) {
        m_ext.u32(uint32_t(m_drained + m_out.bytes.size()));
        m_ext.u16(uint16_t(m_out.bytes.size() - m_recordStart));
        m_ext.u16(0);
    }
    ++m_index;
    uint8_t head[9];
    put16(head, uint16_t(count));
    head[2] = uint8_t((wide ? 1 : 0) | (runs.empty() ? 0 : 0x08) | (phonetic.empty() ? 0 : 0x04));
    size_t headSize = 3;
    if (!runs.empty()) {
        put16(head + headSize, uint16_t(runs.size() / 4));
        headSize += 2;
    }
    if (!phonetic.empty()) {
        put32(head + headSize, uint32_t(phonetic.size()));
        headSize += 4;
    }
    m_out.write(head, headSize);
    size_t done = 0;
    while (done < count) {
        size_t room = (rec::MaxData - (m_out.bytes.size() - m_recordStart - 4)) / width;
        if (room == 0) {
            // Characters go on in a CONTINUE that starts with the flag byte giving their width.
            closeRecord();
            beginRecord(rec::Continue);
            m_out.u8(wide ? 1 : 0);
            room = (rec::MaxData - 1) / width;
        }
        const size_t take = std::min(room, count - done);
        m_out.append(chars.substr(done * width, take * width));
        done += take;
    }
    for (size_t i = 0; i + 4 <= runs.size(); i += 4) { // runs stay whole, no flag byte
        ensure(4);
        m_out.append(runs.substr(i, 4));
    }
    size_t p = 0;
    while (p < phonetic.size()) {
        ensure(1);
        const size_t room = rec::MaxData - (m_out.bytes.size() - m_recordStart - 4);
        const size_t take = std::min(room, phonetic.size() - p);
        m_out.append(phonetic.substr(p, take));
        p += take;
    }
}

void SstWriter::addUtf8(std::string_view utf8)
{
    const bool latin1 = workbookChars(utf8, m_scratch);
    add(m_scratch, !latin1);
}

size_t SstWriter::drainTo(ByteSink &sink)
{
    const size_t n = m_recordStart;
    sink.write(m_out.bytes.data(), n);
    m_out.bytes.erase(0, n);
    m_recordStart = 0;
    m_drained += n;
    return n;
}

void SstWriter::finish()
{
    closeRecord();
    m_out.record(rec::ExtSst, m_ext.bytes);
}

} // namespace kestrova::xls
