#pragma once
// Helpers shared by the workbook tests: a private temporary folder, running the python
// oracles, and building Workbook streams record by record for the cases no program writes
// on demand (CONTINUE splits, cached formula results, damaged files).
#include "xls/byte_io.h"
#include "xls/compound_file.h"
#include "xls/unicode.h"

#include <cstdio>
#include <filesystem>
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

inline Walk walkWorkbook(const std::string &path)
{
    using namespace kestrova::xls;
    Walk w;
    const std::string stream = readWorkbookStream(path);
    RecordReader globals(stream, 0);
    Record r;
    std::vector<uint32_t> offsets;
    while (globals.next(r) && r.type != 0x000A)
        if (r.type == 0x0085)
            offsets.push_back(rd32(r.data));
    for (uint32_t off : offsets) {
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
