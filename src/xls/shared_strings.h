#pragma once
// The deduplicated store of new cell texts, kept compact: one byte arena and an
// open-addressing hash table of indices (no per-string allocation), so a full upload
// sheet of texts stays small.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova::xls {

class SharedStrings
{
public:
    SharedStrings();
    // The index of an equal text already stored, else stores it. Throws WorkbookTooLarge
    // when the arena would pass 4 GB.
    uint32_t add(std::string_view utf8);
    uint32_t count() const { return uint32_t(m_offsets.size() - 1); }
    std::string_view at(uint32_t i) const
    {
        return std::string_view(m_arena.data() + m_offsets[i], m_offsets[i + 1] - m_offsets[i]);
    }

private:
    // A slot keeps the string's length and first 8 bytes, so a short text (most cells of
    // an upload sheet) is found or ruled out without touching the arena.
    struct Slot
    {
        uint32_t index1 = 0; // index + 1, 0 = empty
        uint16_t length = 0; // clamped at 0xFFFF
        uint16_t tag = 0;    // 16 more bits of the hash
        uint64_t prefix = 0;
    };
    static uint64_t prefixOf(std::string_view s);
    void grow();
    std::string m_arena;
    std::vector<uint32_t> m_offsets; // count + 1 entries
    std::vector<Slot> m_slots;
};

} // namespace kestrova::xls
