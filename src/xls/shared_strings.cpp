#include "xls/shared_strings.h"

#include "xls/errors.h"

#include <cstring>
#include <functional>

namespace kestrova::xls {

SharedStrings::SharedStrings() : m_offsets{0}, m_slots(1024) {}

uint64_t SharedStrings::prefixOf(std::string_view s)
{
    uint64_t p = 0;
    std::memcpy(&p, s.data(), s.size() < 8 ? s.size() : 8);
    return p;
}

// Short texts (numbers as text, codes) hash by one multiplication of their 8 bytes.
static uint64_t hashOf(std::string_view s, uint64_t prefix)
{
    if (s.size() > 8)
        return std::hash<std::string_view>{}(s);
    const uint64_t h = (prefix ^ (uint64_t(s.size()) << 59)) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// The slot from the hash's well-mixed high bits (Fibonacci hashing).
static size_t slotOf(uint64_t hash, int bits)
{
    return size_t((hash * 0x9E3779B97F4A7C15ull) >> (64 - bits));
}

uint32_t SharedStrings::add(std::string_view utf8)
{
    const uint64_t prefix = prefixOf(utf8);
    const uint64_t hash = hashOf(utf8, prefix);
    const size_t mask = m_slots.size() - 1;
    const int bits = __builtin_ctzll(m_slots.size());
    const uint16_t length = uint16_t(utf8.size() < 0xFFFF ? utf8.size() : 0xFFFF);
    const uint16_t tag = uint16_t(hash >> 48);
    size_t h = slotOf(hash, bits);
    while (m_slots[h].index1 != 0) {
        const Slot &s = m_slots[h];
        if (s.length == length && s.tag == tag && s.prefix == prefix && (utf8.size() <= 8 || at(s.index1 - 1) == utf8))
            return s.index1 - 1;
        h = (h + 1) & mask;
    }
    if (m_arena.size() + utf8.size() > 0xFFFFFFFFull || count() >= 0x7FFFFFFE)
        throw XlsError(ErrorCode::WorkbookTooLarge, "too much text");
    const uint32_t index = count();
    m_arena.append(utf8);
    m_offsets.push_back(uint32_t(m_arena.size()));
    m_slots[h] = Slot{index + 1, length, tag, prefix};
    if (size_t(count()) * 2 > m_slots.size())
        grow();
    return index;
}

void SharedStrings::grow()
{
    std::vector<Slot> slots(m_slots.size() * 2);
    const size_t mask = slots.size() - 1;
    const int bits = __builtin_ctzll(slots.size());
    for (const Slot &s : m_slots) {
        if (s.index1 == 0)
            continue;
        size_t h = slotOf(hashOf(at(s.index1 - 1), s.prefix), bits);
        while (slots[h].index1 != 0)
            h = (h + 1) & mask;
        slots[h] = s;
    }
    m_slots.swap(slots);
}

} // namespace kestrova::xls
