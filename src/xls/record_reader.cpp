#include "xls/record_reader.h"

#include "xls/biff_records.h"
#include "xls/byte_io.h"
#include "xls/errors.h"
#include "xls/unicode.h"

#include <algorithm>
#include <cstdio>

namespace kestrova::xls {

void throwBadRecord(const Record &r, const std::string &what)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, "记录0x%04X（偏移%zu）：", unsigned(r.type), r.offset);
    throw XlsError(ErrorCode::BadRecord, buf + what);
}

bool RecordReader::peek(Record &r) const
{
    if (m_pos >= m_stream.size())
        return false;
    if (m_stream.size() - m_pos < 4) {
        // Zero padding after the last record is common; anything else is a cut record.
        for (size_t i = m_pos; i < m_stream.size(); ++i)
            if (m_stream[i] != 0)
                throw XlsError(ErrorCode::BadRecord, "记录头在偏移" + std::to_string(m_pos) + "处被截断");
        return false;
    }
    const auto *p = reinterpret_cast<const uint8_t *>(m_stream.data()) + m_pos;
    r.type = rd16(p);
    r.size = rd16(p + 2);
    r.data = p + 4;
    r.offset = m_pos;
    if (r.size > m_stream.size() - m_pos - 4)
        throwBadRecord(r, "长度" + std::to_string(r.size) + "超出数据流末尾");
    return true;
}

bool RecordReader::next(Record &r)
{
    if (!peek(r))
        return false;
    m_pos = r.end();
    return true;
}

ContinuedData::ContinuedData(const Record &first, RecordReader &reader)
{
    m_segments.push_back({first.data, first.size, first.offset + 4});
    Record r;
    while (reader.peek(r) && r.type == rec::Continue) {
        reader.next(r);
        m_segments.push_back({r.data, r.size, r.offset + 4});
    }
}

ContinuedData::ContinuedData(const Record &only)
{
    m_segments.push_back({only.data, only.size, only.offset + 4});
}

bool ContinuedData::atEnd() const
{
    for (size_t s = m_seg; s < m_segments.size(); ++s)
        if (m_segments[s].size > (s == m_seg ? m_pos : 0))
            return false;
    return true;
}

size_t ContinuedData::offset() const
{
    if (m_seg >= m_segments.size())
        return m_segments.empty() ? 0 : m_segments.back().offset + m_segments.back().size;
    return m_segments[m_seg].offset + m_pos;
}

void ContinuedData::need(size_t n)
{
    while (m_seg < m_segments.size() && m_pos == m_segments[m_seg].size) {
        ++m_seg;
        m_pos = 0;
    }
    if (m_seg >= m_segments.size() || m_segments[m_seg].size - m_pos < n)
        throw XlsError(ErrorCode::BadRecord, "数据在偏移" + std::to_string(offset()) + "处被截断");
}

uint8_t ContinuedData::u8()
{
    need(1);
    return m_segments[m_seg].data[m_pos++];
}

uint16_t ContinuedData::u16()
{
    const uint8_t a = u8();
    return uint16_t(a | (u8() << 8));
}

uint32_t ContinuedData::u32()
{
    const uint32_t a = u16();
    return a | (uint32_t(u16()) << 16);
}

void ContinuedData::skip(size_t n)
{
    while (n > 0) {
        need(1);
        const size_t take = std::min(n, m_segments[m_seg].size - m_pos);
        m_pos += take;
        n -= take;
    }
}

void ContinuedData::bytes(size_t n, std::string &out)
{
    while (n > 0) {
        need(1);
        const size_t take = std::min(n, m_segments[m_seg].size - m_pos);
        out.append(reinterpret_cast<const char *>(m_segments[m_seg].data + m_pos), take);
        m_pos += take;
        n -= take;
    }
}

void ContinuedData::characters(size_t count, bool wide, std::u16string &out)
{
    while (count > 0) {
        // Characters going on in the next CONTINUE start with a flag byte giving their width.
        if (m_seg < m_segments.size() && m_pos == m_segments[m_seg].size) {
            ++m_seg;
            m_pos = 0;
            if (m_seg >= m_segments.size())
                break;
            need(1);
            wide = (m_segments[m_seg].data[m_pos++] & 1) != 0;
        }
        if (m_seg >= m_segments.size())
            break;
        const Segment &s = m_segments[m_seg];
        const size_t width = wide ? 2 : 1;
        const size_t avail = (s.size - m_pos) / width;
        if (avail == 0)
            throw XlsError(ErrorCode::BadStringTable, "偏移" + std::to_string(offset()) + "处只有半个字符");
        const size_t take = std::min(count, avail);
        const uint8_t *p = s.data + m_pos;
        if (wide) {
            for (size_t i = 0; i < take; ++i)
                out.push_back(char16_t(rd16(p + 2 * i)));
        } else {
            for (size_t i = 0; i < take; ++i)
                out.push_back(char16_t(p[i]));
        }
        m_pos += take * width;
        count -= take;
    }
    if (count > 0)
        throw XlsError(ErrorCode::BadStringTable, "字符串在偏移" + std::to_string(offset()) + "处被截断");
}

void ContinuedData::unicodeString(std::u16string &out)
{
    const uint16_t count = u16();
    const uint8_t flags = u8();
    size_t runs = 0, phonetic = 0;
    if (flags & 0x08)
        runs = u16();
    if (flags & 0x04)
        phonetic = u32();
    characters(count, flags & 1, out);
    skip(runs * 4);
    skip(phonetic);
}

namespace {

std::string readString(const Record &r, size_t &at, size_t count, bool mayBeCut = false)
{
    if (at >= r.size)
        throwBadRecord(r, "字符串被截断");
    const uint8_t flags = r.data[at++];
    size_t runs = 0, phonetic = 0;
    if (flags & 0x08) {
        if (r.size - at < 2)
            throwBadRecord(r, "字符串被截断");
        runs = rd16(r.data + at);
        at += 2;
    }
    if (flags & 0x04) {
        if (r.size - at < 4)
            throwBadRecord(r, "字符串被截断");
        phonetic = rd32(r.data + at);
        at += 4;
    }
    const size_t width = (flags & 1) ? 2 : 1;
    if (mayBeCut)
        count = std::min(count, (r.size - at) / width);
    const size_t bytes = count * width;
    if (r.size - at < bytes)
        throwBadRecord(r, "字符串超出所在记录");
    std::string out;
    if (flags & 1) {
        std::u16string u(count, u'\0');
        for (size_t i = 0; i < count; ++i)
            u[i] = char16_t(rd16(r.data + at + 2 * i));
        appendUtf8FromUtf16(out, u.data(), u.size());
    } else {
        appendUtf8FromLatin1(out, r.data + at, count);
    }
    at += bytes;
    // Runs and phonetic data of a rich string may be cut by the record end; they are not needed.
    at = std::min<size_t>(r.size, at + runs * 4 + phonetic);
    return out;
}

} // namespace

std::string readShortString(const Record &r, size_t &at)
{
    if (at >= r.size)
        throwBadRecord(r, "字符串被截断");
    const size_t count = r.data[at++];
    return readString(r, at, count);
}

std::string readLongString(const Record &r, size_t &at)
{
    if (r.size < 2 || at > size_t(r.size) - 2)
        throwBadRecord(r, "字符串被截断");
    const size_t count = rd16(r.data + at);
    at += 2;
    if (count == 0 && at == r.size)
        return {}; // an empty string without its flags byte
    return readString(r, at, count);
}

std::string readCutLongString(const Record &r, size_t &at)
{
    if (r.size < 2 || at > size_t(r.size) - 2)
        throwBadRecord(r, "字符串被截断");
    const size_t count = rd16(r.data + at);
    at += 2;
    if (at == r.size)
        return {};
    return readString(r, at, count, true);
}

} // namespace kestrova::xls
