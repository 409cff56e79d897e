#pragma once
// Little-endian access to BIFF and compound-file data, and the byte sinks records are written to.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kestrova::xls {

inline uint16_t rd16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t rd32(const uint8_t *p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
inline double rdDouble(const uint8_t *p)
{
    uint64_t bits = uint64_t(rd32(p)) | (uint64_t(rd32(p + 4)) << 32);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}
inline void put16(uint8_t *p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void put32(uint8_t *p, uint32_t v) { put16(p, uint16_t(v)); put16(p + 2, uint16_t(v >> 16)); }

// Where serialized records go: memory or the compound file.
class ByteSink
{
public:
    virtual ~ByteSink() = default;
    virtual void write(const void *data, size_t size) = 0;
    virtual uint64_t size() const = 0;
};

// An append-only byte buffer with little-endian writers.
class ByteBuffer : public ByteSink
{
public:
    std::string bytes;
    void write(const void *data, size_t size) override { bytes.append(static_cast<const char *>(data), size); }
    uint64_t size() const override { return bytes.size(); }
    void u8(uint8_t v) { bytes.push_back(char(v)); }
    void u16(uint16_t v) { u8(uint8_t(v)); u8(uint8_t(v >> 8)); }
    void u32(uint32_t v) { u16(uint16_t(v)); u16(uint16_t(v >> 16)); }
    void f64(double d)
    {
        uint64_t bits;
        std::memcpy(&bits, &d, 8);
        u32(uint32_t(bits));
        u32(uint32_t(bits >> 32));
    }
    void append(std::string_view s) { bytes.append(s); }
    void patch16(size_t at, uint16_t v) { put16(reinterpret_cast<uint8_t *>(&bytes[at]), v); }
    void patch32(size_t at, uint32_t v) { put32(reinterpret_cast<uint8_t *>(&bytes[at]), v); }
    // A whole record: type, length, data (data must be ≤ 8,224 bytes).
    // A record whose data is one 16-bit value.
    void record16(uint16_t type, uint16_t v)
    {
        u16(type);
        u16(2);
        u16(v);
    }
    void record(uint16_t type, std::string_view data)
    {
        u16(type);
        u16(uint16_t(data.size()));
        append(data);
    }
};

} // namespace kestrova::xls
