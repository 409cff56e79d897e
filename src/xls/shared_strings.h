#pragma once
// The deduplicated store of new cell texts, kept compact: one byte arena and two
// open-addressing hash tables of indices (no per-string allocation), so a full upload
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

    // The same in batches, for callers that add a text per cell: queue() keeps a text with
    // the caller's tag (where the index should go) and returns its place in the batch;
    // flush() adds the queued texts in queue order, so they get the indices add() would
    // have given, calls deliver(tag, place, index) for each and empties the queue. Working
    // on a whole batch lets the table lookups' cache misses overlap instead of queueing up
    // one per cell. If flush() throws (WorkbookTooLarge) the queue is kept, and a later
    // flush() throws again. add() may only be called while nothing is queued.
    static constexpr size_t BatchSize = 256;
    uint32_t queue(std::string_view utf8, uint64_t tag);
    size_t queued() const { return m_queued.size(); }
    template <typename Deliver>
    void flush(Deliver &&deliver)
    {
        if (m_queued.empty())
            return;
        resolveQueue();
        for (size_t i = 0; i < m_queued.size(); ++i)
            deliver(m_queued[i].tag, uint32_t(i), m_resolved[i]);
        m_queued.clear();
        m_queueBytes.clear();
    }

    // The hash that places a text (exposed so tests can build colliding texts).
    static uint64_t hashOf(std::string_view s);

private:
    // Texts of up to 8 bytes (numbers as text, codes, flags) are most of an upload sheet's
    // cells but few distinct values: their own small table holds them whole, so a lookup
    // is one cache line that stays hot and never touches the arena.
    struct ShortSlot
    {
        uint64_t bytes = 0;  // the text, zero-padded
        uint32_t index1 = 0; // index + 1, 0 = empty
        uint32_t length = 0;
    };
    // Longer texts (names, addresses) are mostly distinct: a slot is 8 bytes, so the table
    // stays small, and its hash bits rule out other texts without reading the arena.
    struct LongSlot
    {
        uint32_t index1 = 0; // index + 1, 0 = empty
        uint32_t hash = 0;   // the hash's high 32 bits, which also place the slot
    };
    struct Queued
    {
        uint64_t bytes; // a short text itself (its key word), else its offset in m_queueBytes
        uint64_t length;
        uint64_t tag;
    };
    std::string_view queuedText(const Queued &q) const;
    uint32_t addShort(std::string_view s, uint64_t bytes, uint64_t hash);
    uint32_t addLong(std::string_view s, uint64_t hash);
    static uint64_t longHash(std::string_view s);
    void resolveQueue();
    uint32_t store(std::string_view s);
    void growShort();
    void growLong();

    std::string m_arena;
    std::vector<uint32_t> m_offsets; // count + 1 entries
    std::vector<ShortSlot> m_short;
    std::vector<LongSlot> m_long;
    uint32_t m_shortCount = 0, m_longCount = 0;
    std::vector<Queued> m_queued;
    std::string m_queueBytes;
    std::vector<uint64_t> m_queueHashes;
    std::vector<uint32_t> m_resolved;
};

} // namespace kestrova::xls
