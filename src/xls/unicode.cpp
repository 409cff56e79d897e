#include "xls/unicode.h"

#include <cstring>

namespace kestrova::xls {

namespace {

// Decodes one code point; returns its length or 0 when the sequence is invalid.
inline size_t decode(const unsigned char *p, size_t left, uint32_t &cp)
{
    const unsigned char c = p[0];
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    size_t len;
    uint32_t min;
    if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; min = 0x80; }
    else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; min = 0x800; }
    else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; min = 0x10000; }
    else return 0;
    if (left < len)
        return 0;
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

inline void putUtf8(std::string &out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

inline uint64_t load64(const unsigned char *p)
{
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

inline bool allAscii(const unsigned char *p, size_t n)
{
    constexpr uint64_t High = 0x8080808080808080ull;
    auto word = [p](size_t i) { return load64(p + i); };
    if (n >= 8) {
        for (size_t i = 0; i + 8 <= n; i += 8)
            if (word(i) & High)
                return false;
        return !(word(n - 8) & High); // the tail, overlapping the last whole word
    }
    if (n >= 4) {
        uint32_t a, b;
        std::memcpy(&a, p, 4);
        std::memcpy(&b, p + n - 4, 4);
        return !((a | b) & uint32_t(High));
    }
    for (size_t i = 0; i < n; ++i)
        if (p[i] >= 0x80)
            return false;
    return true;
}

} // namespace

bool measureUtf8(std::string_view utf8, size_t &utf16Units, bool &latin1)
{
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const size_t n = utf8.size();
    if (allAscii(p, n)) { // most cell texts: numbers, codes, dates
        utf16Units = n;
        latin1 = true;
        return true;
    }
    size_t units = 0;
    bool narrow = true;
    size_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) { // fast path for ASCII, a word at a time where it can
            while (i + 8 <= n && !(load64(p + i) & 0x8080808080808080ull)) {
                i += 8;
                units += 8;
            }
            while (i < n && p[i] < 0x80) {
                ++i;
                ++units;
            }
            continue;
        }
        uint32_t cp;
        const size_t len = decode(p + i, n - i, cp);
        if (len == 0)
            return false;
        i += len;
        units += cp >= 0x10000 ? 2 : 1;
        if (cp > 0xFF)
            narrow = false;
    }
    utf16Units = units;
    latin1 = narrow;
    return true;
}

void appendWorkbookChars(std::string &out, std::string_view utf8, bool latin1)
{
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        uint32_t cp;
        size_t len = p[i] < 0x80 ? (cp = p[i], 1) : decode(p + i, n - i, cp);
        if (len == 0) { // cannot happen after measureUtf8; keep the output well-formed anyway
            cp = 0xFFFD;
            len = 1;
        }
        i += len;
        if (latin1) {
            out.push_back(char(cp));
        } else if (cp >= 0x10000) {
            const uint32_t v = cp - 0x10000;
            const uint16_t hi = uint16_t(0xD800 + (v >> 10)), lo = uint16_t(0xDC00 + (v & 0x3FF));
            out.push_back(char(hi & 0xFF));
            out.push_back(char(hi >> 8));
            out.push_back(char(lo & 0xFF));
            out.push_back(char(lo >> 8));
        } else {
            out.push_back(char(cp & 0xFF));
            out.push_back(char(cp >> 8));
        }
    }
}

bool workbookChars(std::string_view utf8, std::string &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    if (allAscii(p, utf8.size())) {
        out.assign(utf8);
        return true;
    }
    // UTF-16LE first (never more than two bytes per UTF-8 byte), narrowed in place after.
    out.resize(utf8.size() * 2);
    auto *o = reinterpret_cast<unsigned char *>(out.data());
    const size_t n = utf8.size();
    bool narrow = true;
    size_t i = 0, w = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            // ASCII runs (the digits in names and codes) eight characters at a time
            while (i + 8 <= n && !(load64(p + i) & 0x8080808080808080ull)) {
                for (size_t k = 0; k < 8; ++k) {
                    o[w + 2 * k] = p[i + k];
                    o[w + 2 * k + 1] = 0;
                }
                i += 8;
                w += 16;
            }
            for (; i < n && p[i] < 0x80; ++i, w += 2) {
                o[w] = p[i];
                o[w + 1] = 0;
            }
            continue;
        }
        uint32_t cp;
        size_t len = decode(p + i, n - i, cp);
        if (len == 0) { // cannot happen after measureUtf8; keep the output well-formed anyway
            cp = 0xFFFD;
            len = 1;
        }
        i += len;
        if (cp > 0xFF)
            narrow = false;
        if (cp >= 0x10000) {
            const uint32_t v = cp - 0x10000;
            const uint16_t hi = uint16_t(0xD800 + (v >> 10)), lo = uint16_t(0xDC00 + (v & 0x3FF));
            o[w] = uint8_t(hi);
            o[w + 1] = uint8_t(hi >> 8);
            o[w + 2] = uint8_t(lo);
            o[w + 3] = uint8_t(lo >> 8);
            w += 4;
        } else {
            o[w] = uint8_t(cp);
            o[w + 1] = uint8_t(cp >> 8);
            w += 2;
        }
    }
    if (narrow) {
        for (size_t k = 0; k < w / 2; ++k)
            o[k] = o[2 * k];
        w /= 2;
    }
    out.resize(w);
    return narrow;
}

void appendUtf8FromUtf16(std::string &out, const char16_t *units, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        uint32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            u = 0xFFFD;
        }
        putUtf8(out, u);
    }
}

void appendUtf8FromLatin1(std::string &out, const uint8_t *bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        putUtf8(out, bytes[i]);
}

} // namespace kestrova::xls
