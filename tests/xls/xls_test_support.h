#pragma once
// Helpers shared by the workbook tests: a private temporary folder, running the python
// oracles, and building Workbook streams record by record for the cases no program writes
// on demand (CONTINUE splits, cached formula results, damaged files).
#include "xls/byte_io.h"
#include "xls/compound_file.h"
#include "xls/unicode.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <fstream>
#include <string>
#include <vector>

namespace xlstest {

namespace fs = std::filesystem;

class TempDir
{
public:
    TempDir()
    {
        char tmpl[] = "/tmp/kestrova-xls-test-XXXXXX";
        m_path = ::mkdtemp(tmpl);
    }
    ~TempDir() { std::error_code ec; fs::remove_all(m_path, ec); }
    std::string file(const std::string &name) const { return (m_path / name).string(); }
    const fs::path &path() const { return m_path; }

private:
    fs::path m_path;
};

inline std::string python()
{
    return fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
}

inline std::string script(const std::string &name)
{
    return std::string(KESTROVA_TEST_DATA_DIR) + "/xls/" + name;
}

// Runs a shell command; returns its standard output, or sets ok to false on failure.
// The command gets a UTF-8 locale whatever the caller's: LibreOffice and Python decode
// the Chinese file and sheet names by it.
inline std::string run(const std::string &command, bool &ok)
{
    std::string out;
    FILE *p = ::popen(("export LC_ALL=C.UTF-8; " + command).c_str(), "r");
    if (!p) {
        ok = false;
        return out;
    }
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    ok = ::pclose(p) == 0;
    return out;
}

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Splits the lines of tab-separated output; \t, \n and \\ arrive escaped.
inline std::vector<std::vector<std::string>> parseTsv(const std::string &text)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            rows.push_back(row);
            row.assign(1, {});
        } else if (c == '\t') {
            row.emplace_back();
        } else if (c == '\\' && i + 1 < text.size()) {
            const char e = text[++i];
            row.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e;
        } else {
            row.back() += c;
        }
    }
    return rows;
}

// A Workbook stream built record by record.
class StreamBuilder
{
public:
    kestrova::xls::ByteBuffer b;

    void record(uint16_t type, const std::string &data) { b.record(type, data); }
    static std::string u16(uint16_t v) { return std::string{char(v & 0xFF), char(v >> 8)}; }
    static std::string u32(uint32_t v) { return u16(uint16_t(v)) + u16(uint16_t(v >> 16)); }
    static std::string f64(double d)
    {
        kestrova::xls::ByteBuffer x;
        x.f64(d);
        return x.bytes;
    }
    static std::string cell(uint16_t row, uint16_t col, uint16_t xf) { return u16(row) + u16(col) + u16(xf); }
    static std::string latin(const std::string &s) { return u16(uint16_t(s.size())) + std::string(1, '\0') + s; }
    static std::string wide(const std::u16string &s)
    {
        std::string out;
        for (char16_t c : s)
            out += u16(c);
        return out;
    }

    // Globals: BOF, [DATEMODE], FORMAT records, 16 style/cell XFs plus one XF per extra
    // format id, one BOUNDSHEET per name (offsets patched by finish), the given SST bytes.
    void globals(const std::vector<std::string> &sheetNames, const std::vector<std::pair<uint16_t, std::string>> &formats,
                 const std::vector<uint16_t> &xfFormats, bool date1904, const std::string &sstRecords)
    {
        record(0x0809, u16(0x0600) + u16(5) + std::string(12, '\0'));
        if (date1904)
            record(0x0022, u16(1));
        for (const auto &[id, code] : formats)
            record(0x041E, u16(id) + latin(code));
        for (int i = 0; i < 16; ++i)
            record(0x00E0, u16(0) + u16(0) + u16(i < 15 ? 0xFFF5 : 0x0001) + std::string(14, '\0'));
        for (uint16_t f : xfFormats)
            record(0x00E0, u16(0) + u16(f) + u16(0x0001) + std::string(14, '\0'));
        for (const auto &name : sheetNames) {
            m_boundSheetAt.push_back(b.bytes.size() + 4);
            size_t units = 0;
            bool latin1 = false;
            kestrova::xls::measureUtf8(name, units, latin1);
            std::string chars;
            kestrova::xls::appendWorkbookChars(chars, name, false);
            record(0x0085, u32(0) + std::string(2, '\0') + char(units) + '\1' + chars);
        }
        b.append(sstRecords);
        record(0x000A, "");
    }
    // One worksheet substream around the given records.
    void sheet(const std::string &records)
    {
        b.patch32(m_boundSheetAt.at(m_sheets++), uint32_t(b.bytes.size()));
        record(0x0809, u16(0x0600) + u16(0x10) + std::string(12, '\0'));
        b.append(records);
        record(0x000A, "");
    }
    static std::string rec(uint16_t type, const std::string &data)
    {
        kestrova::xls::ByteBuffer x;
        x.record(type, data);
        return x.bytes;
    }
    // The stream in a compound file, as every program writes it (normal sectors).
    void save(const std::string &path) const
    {
        kestrova::xls::CompoundFileWriter w(path);
        w.write(b.bytes.data(), b.bytes.size());
        w.commit();
    }

private:
    std::vector<size_t> m_boundSheetAt;
    size_t m_sheets = 0;
};

// A compound file keeping a stream below 4,096 bytes in the mini stream, as LibreOffice does
// for small workbooks: header, FAT, mini FAT, directory, then the mini stream's sectors.
inline std::string miniStreamFile(const std::string &stream, const std::string &streamName = "Workbook")
{
    using kestrova::xls::ByteBuffer;
    const uint32_t miniSectors = uint32_t((stream.size() + 63) / 64);
    const uint32_t rootBytes = miniSectors * 64;
    const uint32_t rootSectors = (rootBytes + 511) / 512;
    // sectors: 0 FAT, 1 mini FAT, 2 directory, 3.. mini stream data
    ByteBuffer f;
    const char sig[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    f.write(sig, 8);
    f.bytes.resize(0x18, '\0');
    f.u16(0x3E); f.u16(3); f.u16(0xFFFE); f.u16(9); f.u16(6);
    f.bytes.resize(0x2C, '\0');
    f.u32(1); f.u32(2); f.u32(0); f.u32(4096); f.u32(1); f.u32(1); f.u32(0xFFFFFFFE); f.u32(0);
    f.u32(0);
    for (int i = 1; i < 109; ++i)
        f.u32(0xFFFFFFFF);
    // FAT
    f.u32(0xFFFFFFFD); f.u32(0xFFFFFFFE); f.u32(0xFFFFFFFE);
    for (uint32_t s = 0; s < rootSectors; ++s)
        f.u32(s + 1 < rootSectors ? 3 + s + 1 : 0xFFFFFFFE);
    f.bytes.resize(1024, '\xFF');
    // mini FAT
    for (uint32_t s = 0; s < miniSectors; ++s)
        f.u32(s + 1 < miniSectors ? s + 1 : 0xFFFFFFFE);
    f.bytes.resize(1536, '\xFF');
    auto entry = [&f](const std::u16string &name, uint8_t type, uint32_t child, uint32_t start, uint32_t size) {
        const size_t at = f.bytes.size();
        for (char16_t c : name)
            f.u16(c);
        f.bytes.resize(at + 64, '\0');
        f.u16(uint16_t(name.empty() ? 0 : (name.size() + 1) * 2));
        f.u8(type); f.u8(1);
        f.u32(0xFFFFFFFF); f.u32(0xFFFFFFFF); f.u32(child);
        f.bytes.resize(at + 0x74, '\0');
        f.u32(start); f.u32(size); f.u32(0);
    };
    std::u16string name(streamName.begin(), streamName.end());
    entry(u"Root Entry", 5, 1, 3, rootBytes);
    entry(name, 2, 0xFFFFFFFF, 0, uint32_t(stream.size()));
    entry(u"", 0, 0xFFFFFFFF, 0, 0);
    entry(u"", 0, 0xFFFFFFFF, 0, 0);
    f.append(stream);
    f.bytes.resize(2048 + size_t(rootSectors) * 512, '\0');
    return f.bytes;
}

// A compound file built from a tree of storages and streams, independently of the
// library's writer: entries numbered in the order given, depth first, each
// storage's children in a balanced tree ordered by name length then upper-cased name, as
// the format asks. Streams below 4,096 bytes go to the mini stream.
struct CfbNode
{
    std::u16string name;
    bool storage = false;
    std::string data;
    std::string classId = std::string(16, '\0');
    std::vector<CfbNode> children;

    static CfbNode stream(std::u16string name, std::string data)
    {
        CfbNode n;
        n.name = std::move(name);
        n.data = std::move(data);
        return n;
    }
    static CfbNode folder(std::u16string name, std::vector<CfbNode> children, std::string classId = std::string(16, '\0'))
    {
        CfbNode n;
        n.name = std::move(name);
        n.storage = true;
        n.children = std::move(children);
        n.classId = std::move(classId);
        return n;
    }
};

inline std::string buildCompoundFile(const std::vector<CfbNode> &rootChildren)
{
    using kestrova::xls::ByteBuffer;
    struct Entry { const CfbNode *node; uint32_t left = 0xFFFFFFFF, right = 0xFFFFFFFF, child = 0xFFFFFFFF; uint32_t start = 0xFFFFFFFE; };
    std::vector<Entry> entries{{nullptr}};
    // Entries numbered depth first: a storage, then everything in it, then its next sibling.
    std::function<void(size_t, const std::vector<CfbNode> &)> add = [&](size_t parent, const std::vector<CfbNode> &kids) {
        std::vector<uint32_t> ids;
        for (const CfbNode &k : kids) {
            ids.push_back(uint32_t(entries.size()));
            entries.push_back({&k});
            if (k.storage)
                add(ids.back(), k.children);
        }
        auto key = [&](uint32_t id) {
            std::u16string n = entries[id].node->name;
            for (auto &c : n)
                if (c >= u'a' && c <= u'z')
                    c = char16_t(c - 32);
            return std::make_pair(n.size(), n);
        };
        std::sort(ids.begin(), ids.end(), [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
        std::function<uint32_t(size_t, size_t)> tree = [&](size_t lo, size_t hi) -> uint32_t {
            if (lo >= hi)
                return 0xFFFFFFFF;
            const size_t mid = (lo + hi) / 2;
            entries[ids[mid]].left = tree(lo, mid);
            entries[ids[mid]].right = tree(mid + 1, hi);
            return ids[mid];
        };
        entries[parent].child = tree(0, ids.size());
    };
    add(0, rootChildren);
    // Sectors: mini stream data, big streams, mini FAT, directory, FAT (one sector).
    std::string mini, big;
    std::vector<uint32_t> miniFat, fat;
    auto chainOf = [](std::vector<uint32_t> &table, uint32_t first, uint32_t count) {
        for (uint32_t k = 0; k < count; ++k)
            table.push_back(k + 1 < count ? first + k + 1 : 0xFFFFFFFE);
    };
    for (Entry &e : entries) {
        if (!e.node || e.node->storage || e.node->data.empty())
            continue;
        const std::string &d = e.node->data;
        if (d.size() < 4096) {
            e.start = uint32_t(mini.size() / 64);
            chainOf(miniFat, e.start, uint32_t((d.size() + 63) / 64));
            mini += d;
            mini.resize((mini.size() + 63) / 64 * 64, '\0');
        } else {
            e.start = uint32_t(big.size() / 512); // shifted once the mini stream's sectors are known
            big += d;
            big.resize((big.size() + 511) / 512 * 512, '\0');
        }
    }
    const uint32_t miniSectors = uint32_t((mini.size() + 511) / 512), bigSectors = uint32_t(big.size() / 512);
    const uint32_t miniFatSectors = uint32_t((miniFat.size() + 127) / 128);
    const uint32_t dirSectors = uint32_t((entries.size() + 3) / 4);
    const uint32_t miniFatAt = miniSectors + bigSectors, dirAt = miniFatAt + miniFatSectors, fatAt = dirAt + dirSectors;
    chainOf(fat, 0, miniSectors);
    for (const Entry &e : entries)
        if (e.node && !e.node->storage && e.node->data.size() >= 4096) {
            const uint32_t n = uint32_t((e.node->data.size() + 511) / 512);
            chainOf(fat, miniSectors + e.start, n);
        }
    chainOf(fat, miniFatAt, miniFatSectors);
    chainOf(fat, dirAt, dirSectors);
    fat.push_back(0xFFFFFFFD);
    if (fat.size() > 128)
        throw std::runtime_error("test compound file too large");
    fat.resize(128, 0xFFFFFFFF);
    miniFat.resize(size_t(miniFatSectors) * 128, 0xFFFFFFFF);
    ByteBuffer f;
    f.write("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    f.bytes.resize(0x18, '\0');
    f.u16(0x3E); f.u16(3); f.u16(0xFFFE); f.u16(9); f.u16(6);
    f.bytes.resize(0x2C, '\0');
    f.u32(1); f.u32(dirAt); f.u32(0); f.u32(4096);
    f.u32(miniFatSectors ? miniFatAt : 0xFFFFFFFE); f.u32(miniFatSectors); f.u32(0xFFFFFFFE); f.u32(0);
    f.u32(fatAt);
    for (int i = 1; i < 109; ++i)
        f.u32(0xFFFFFFFF);
    f.append(mini);
    f.bytes.resize(512 + size_t(miniSectors) * 512, '\0');
    f.append(big);
    for (uint32_t v : miniFat)
        f.u32(v);
    for (size_t i = 0; i < size_t(dirSectors) * 4; ++i) {
        const size_t at = f.bytes.size();
        const Entry *e = i < entries.size() ? &entries[i] : nullptr;
        const std::u16string name = !e ? u"" : e->node ? e->node->name : u"Root Entry";
        for (char16_t c : name)
            f.u16(c);
        f.bytes.resize(at + 64, '\0');
        f.u16(uint16_t(name.empty() ? 0 : (name.size() + 1) * 2));
        f.u8(!e ? 0 : !e->node ? 5 : e->node->storage ? 1 : 2);
        f.u8(1);
        f.u32(e ? e->left : 0xFFFFFFFF); f.u32(e ? e->right : 0xFFFFFFFF); f.u32(e ? e->child : 0xFFFFFFFF);
        f.append(e && e->node ? e->node->classId : std::string(16, '\0'));
        f.bytes.resize(at + 0x74, '\0');
        const bool bigStream = e && e->node && e->node->data.size() >= 4096;
        f.u32(!e ? 0 : !e->node ? (mini.empty() ? 0xFFFFFFFE : 0) : bigStream ? miniSectors + e->start : e->start);
        f.u32(!e ? 0 : !e->node ? uint32_t(mini.size()) : uint32_t(e->node->data.size()));
        f.u32(0);
    }
    for (uint32_t v : fat)
        f.u32(v);
    return f.bytes;
}

} // namespace xlstest

#include "xls/record_reader.h"

#include <map>
#include <set>

namespace xlstest {

// A test-only walk over a written Workbook stream checking the structural rules readers
// rely on: every BOUNDSHEET offset lands on a sheet BOF, no cell is stored twice, DIMENSIONS
// covers every cell. Gives each sheet's cell XFs, by (row, column).
struct Walk
{
    std::vector<std::map<std::pair<int, int>, int>> xfs; // per sheet
    std::vector<std::string> problems;
};

// The stream offsets the BOUNDSHEET records give, in their order.
inline std::vector<uint32_t> sheetOffsets(const std::string &stream)
{
    using namespace kestrova::xls;
    RecordReader globals(stream, 0);
    Record r;
    std::vector<uint32_t> offsets;
    while (globals.next(r) && r.type != 0x000A)
        if (r.type == 0x0085)
            offsets.push_back(rd32(r.data));
    return offsets;
}

inline Walk walkWorkbook(const std::string &path)
{
    using namespace kestrova::xls;
    Walk w;
    const std::string stream = readWorkbookStream(path);
    Record r;
    for (uint32_t off : sheetOffsets(stream)) {
        auto &cells = w.xfs.emplace_back();
        RecordReader sheet(stream, off);
        if (!sheet.next(r) || r.type != 0x0809) {
            w.problems.push_back("BOUNDSHEET offset " + std::to_string(off) + " is not a BOF");
            continue;
        }
        uint32_t dimRows[2] = {0, 0};
        uint16_t dimCols[2] = {0, 0};
        bool haveDimensions = false;
        int depth = 1;
        auto add = [&](int row, int col, int xf) {
            if (!cells.emplace(std::make_pair(row, col), xf).second)
                w.problems.push_back("cell " + std::to_string(row) + "," + std::to_string(col) + " stored twice");
            if (haveDimensions && (uint32_t(row) < dimRows[0] || uint32_t(row) >= dimRows[1] || col < dimCols[0] || col >= dimCols[1]))
                w.problems.push_back("cell " + std::to_string(row) + "," + std::to_string(col) + " outside DIMENSIONS");
        };
        while (depth > 0 && sheet.next(r)) {
            if (r.type == 0x0809)
                ++depth;
            else if (r.type == 0x000A)
                --depth;
            else if (depth == 1 && r.type == 0x0200) {
                haveDimensions = true;
                dimRows[0] = rd32(r.data);
                dimRows[1] = rd32(r.data + 4);
                dimCols[0] = rd16(r.data + 8);
                dimCols[1] = rd16(r.data + 10);
            } else if (depth == 1 && (r.type == 0x00BD || r.type == 0x00BE)) {
                const size_t width = r.type == 0x00BD ? 6 : 2;
                for (size_t i = 0; i < (r.size - 6u) / width; ++i)
                    add(rd16(r.data), rd16(r.data + 2) + int(i), rd16(r.data + 4 + width * i));
            } else if (depth == 1 && (r.type == 0x00FD || r.type == 0x0203 || r.type == 0x027E || r.type == 0x0201 ||
                                      r.type == 0x0204 || r.type == 0x0205 || r.type == 0x0006 || r.type == 0x00D6)) {
                add(rd16(r.data), rd16(r.data + 2), rd16(r.data + 4));
            }
        }
    }
    return w;
}

} // namespace xlstest
