#include "xls/shared_strings.h"

#include "xls/errors.h"

#include <bit>
#include <cstring>

namespace kestrova::xls {

namespace {

constexpr uint64_t K0 = 0x9E3779B97F4A7C15ull, K1 = 0xA0761D6478BD642Full, K2 = 0xE7037ED1A0B428DBull;

// A 64x64 -> 128-bit multiply folded back to 64 bits: one instruction of good mixing.
inline uint64_t mix(uint64_t a, uint64_t b)
{
    const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    return uint64_t(r) ^ uint64_t(r >> 64);
}

inline uint64_t load64(const char *p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline uint32_t load32(const char *p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// The text of up to 8 bytes zero-padded to a word, built from overlapping loads rather
// than a memcpy of variable length (a library call, for every cell).
inline uint64_t shortKey(std::string_view s)
{
    const char *p = s.data();
    const size_t n = s.size();
    if (n >= 4)
        return uint64_t(load32(p)) | (uint64_t(load32(p + n - 4)) << (8 * (n - 4)));
    if (n == 0)
        return 0;
    const auto byte = [p](size_t i) { return uint64_t(uint8_t(p[i])); };
    return byte(0) | (byte(n / 2) << (8 * (n / 2))) | (byte(n - 1) << (8 * (n - 1)));
}

// A short text's key word holds its bytes in order, so the text can be read back from it.
static_assert(std::endian::native == std::endian::little);

inline uint64_t shortHash(uint64_t bytes, size_t length)
{
    return mix(bytes ^ (K1 + length * K0), K2);
}

// The slot for a hash: its high bits (the table sizes are powers of two).
inline size_t place(uint64_t hash, int bits)
{
    return size_t(hash >> (64 - bits));
}

inline int bitsOf(size_t tableSize)
{
    return __builtin_ctzll(tableSize);
}

} // namespace

SharedStrings::SharedStrings() : m_offsets{0}, m_short(1024), m_long(1024)
{
    m_queued.reserve(BatchSize + 1);
}

uint64_t SharedStrings::longHash(std::string_view s)
{
    // Words of 8 bytes, the last one ending at the text's end (it may overlap the one
    // before: the length is mixed in, so that is harmless). Callers pass more than 8 bytes.
    const char *p = s.data();
    const size_t n = s.size();
    uint64_t h = mix(uint64_t(n) ^ K0, K1);
    for (size_t i = 0; i + 8 < n; i += 8)
        h = mix(h ^ load64(p + i), K2);
    return mix(h ^ load64(p + n - 8), K0);
}

uint64_t SharedStrings::hashOf(std::string_view s)
{
    return s.size() <= 8 ? shortHash(shortKey(s), s.size()) : longHash(s);
}

uint32_t SharedStrings::add(std::string_view utf8)
{
    if (utf8.size() <= 8) {
        const uint64_t bytes = shortKey(utf8);
        return addShort(utf8, bytes, shortHash(bytes, utf8.size()));
    }
    return addLong(utf8, longHash(utf8));
}

uint32_t SharedStrings::queue(std::string_view utf8, uint64_t tag)
{
    if (utf8.size() <= 8) {
        m_queued.push_back({shortKey(utf8), utf8.size(), tag});
    } else {
        m_queued.push_back({m_queueBytes.size(), utf8.size(), tag});
        m_queueBytes.append(utf8);
    }
    return uint32_t(m_queued.size() - 1);
}

std::string_view SharedStrings::queuedText(const Queued &q) const
{
    if (q.length <= 8)
        return std::string_view(reinterpret_cast<const char *>(&q.bytes), q.length);
    return std::string_view(m_queueBytes).substr(q.bytes, q.length);
}

void SharedStrings::resolveQueue()
{
    const size_t n = m_queued.size();
    m_queueHashes.resize(n);
    m_resolved.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const Queued &q = m_queued[i];
        m_queueHashes[i] = q.length <= 8 ? shortHash(q.bytes, q.length) : longHash(queuedText(q));
    }
    // Each text's slot is fetched a few texts ahead of its lookup. A table that grows
    // meanwhile only makes a fetch useless, never a lookup wrong. (The prefetch stays in
    // the loop body: GCC drops calls to a helper that does nothing else.)
    constexpr size_t Ahead = 16;
    for (size_t i = 0; i < n + Ahead; ++i) {
        if (i < n) {
            const uint64_t hash = m_queueHashes[i];
            if (m_queued[i].length <= 8)
                __builtin_prefetch(m_short.data() + place(hash, bitsOf(m_short.size())));
            else
                __builtin_prefetch(m_long.data() + place(hash, bitsOf(m_long.size())));
        }
        if (i < Ahead)
            continue;
        const size_t k = i - Ahead;
        const Queued &q = m_queued[k];
        m_resolved[k] = q.length <= 8 ? addShort(queuedText(q), q.bytes, m_queueHashes[k])
                                      : addLong(queuedText(q), m_queueHashes[k]);
    }
}

uint32_t SharedStrings::store(std::string_view s)
{
    if (m_arena.size() + s.size() > 0xFFFFFFFFull || count() >= 0x7FFFFFFE)
        throw XlsError(ErrorCode::WorkbookTooLarge, "too much text");
    const uint32_t index = count();
    m_arena.append(s);
    m_offsets.push_back(uint32_t(m_arena.size()));
    return index;
}

uint32_t SharedStrings::addShort(std::string_view s, uint64_t bytes, uint64_t hash)
{
    const size_t mask = m_short.size() - 1;
    size_t h = place(hash, bitsOf(m_short.size()));
    for (;; h = (h + 1) & mask) {
        const ShortSlot &slot = m_short[h];
        if (slot.index1 == 0)
            break;
        if (slot.bytes == bytes && slot.length == s.size())
            return slot.index1 - 1;
    }
    const uint32_t index = store(s);
    m_short[h] = ShortSlot{bytes, index + 1, uint32_t(s.size())};
    if (size_t(++m_shortCount) * 2 > m_short.size())
        growShort();
    return index;
}

uint32_t SharedStrings::addLong(std::string_view s, uint64_t hash)
{
    const uint32_t high = uint32_t(hash >> 32);
    const size_t mask = m_long.size() - 1;
    size_t h = place(hash, bitsOf(m_long.size()));
    for (;; h = (h + 1) & mask) {
        const LongSlot &slot = m_long[h];
        if (slot.index1 == 0)
            break;
        if (slot.hash == high && at(slot.index1 - 1) == s)
            return slot.index1 - 1;
    }
    const uint32_t index = store(s);
    m_long[h] = LongSlot{index + 1, high};
    // Up to 5/8 full: mostly misses probe here, and they stop at the first empty slot.
    if (size_t(++m_longCount) * 8 > m_long.size() * 5)
        growLong();
    return index;
}

void SharedStrings::growShort()
{
    std::vector<ShortSlot> slots(m_short.size() * 2);
    const size_t mask = slots.size() - 1;
    const int bits = bitsOf(slots.size());
    for (const ShortSlot &s : m_short) {
        if (s.index1 == 0)
            continue;
        size_t h = place(shortHash(s.bytes, s.length), bits);
        while (slots[h].index1 != 0)
            h = (h + 1) & mask;
        slots[h] = s;
    }
    m_short.swap(slots);
}

void SharedStrings::growLong()
{
    // The stored high hash bits place each entry again without reading its text; they
    // suffice while the table has at most 2^32 slots, more than the index range needs.
    std::vector<LongSlot> slots(m_long.size() * 2);
    const size_t mask = slots.size() - 1;
    const int bits = bitsOf(slots.size());
    for (const LongSlot &s : m_long) {
        if (s.index1 == 0)
            continue;
        size_t h = place(uint64_t(s.hash) << 32, bits);
        while (slots[h].index1 != 0)
            h = (h + 1) & mask;
        slots[h] = s;
    }
    m_long.swap(slots);
}

} // namespace kestrova::xls
