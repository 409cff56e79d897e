#include "xls/compound_file.h"

#include "xls/errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace kestrova::xls {

namespace {

constexpr uint32_t FreeSect = 0xFFFFFFFF;
constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t FatSect = 0xFFFFFFFD;
constexpr uint32_t DifSect = 0xFFFFFFFC;
constexpr uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Where the container's bytes come from: a file read piecewise (large workbooks are never
// loaded whole) or a buffer.
class Source
{
public:
    virtual ~Source() = default;
    virtual uint64_t size() const = 0;
    // Reads size bytes at offset; bytes past the end of the file read as zero (a last
    // sector written short).
    virtual void read(uint64_t offset, void *out, size_t size) const = 0;
};

class FileSource : public Source
{
public:
    explicit FileSource(const std::string &path) : m_path(path)
    {
        // Opened without waiting, so a pipe under a workbook's name cannot block the read
        // forever; only a regular file is read.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            throw XlsError(ErrorCode::CannotOpenFile, path + " (" + std::strerror(errno) + ")");
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            throw XlsError(ErrorCode::NotRegularFile, path);
        }
        m_file = ::fdopen(fd, "rb");
        if (!m_file) {
            ::close(fd);
            throw XlsError(ErrorCode::CannotOpenFile, path + " (" + std::strerror(errno) + ")");
        }
        if (fseeko(m_file, 0, SEEK_END) != 0)
            throw XlsError(ErrorCode::CannotOpenFile, path);
        m_size = uint64_t(ftello(m_file));
    }
    ~FileSource() override { std::fclose(m_file); }
    uint64_t size() const override { return m_size; }
    void read(uint64_t offset, void *out, size_t size) const override
    {
        // Past the end of the file reads as zeros.
        const size_t avail = offset >= m_size ? 0 : size_t(std::min<uint64_t>(size, m_size - offset));
        std::memset(static_cast<char *>(out) + avail, 0, size - avail);
        if (avail == 0)
            return;
        if (fseeko(m_file, off_t(offset), SEEK_SET) != 0 || std::fread(out, 1, avail, m_file) != avail)
            throw XlsError(ErrorCode::CannotOpenFile, m_path + ": read error");
    }

private:
    std::string m_path;
    std::FILE *m_file = nullptr;
    uint64_t m_size = 0;
};

class MemorySource : public Source
{
public:
    MemorySource(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    uint64_t size() const override { return m_size; }
    void read(uint64_t offset, void *out, size_t size) const override
    {
        std::memset(out, 0, size);
        if (offset >= m_size)
            return;
        const size_t avail = size_t(std::min<uint64_t>(size, m_size - offset));
        std::memcpy(out, m_data + offset, avail);
    }

private:
    const uint8_t *m_data;
    size_t m_size;
};

class ContainerReader
{
public:
    ContainerReader(const Source &src, const std::string &what) : m_src(src), m_what(what) {}

    std::string workbookStream()
    {
        readHeader();
        readFat();
        readDirectory();
        return m_streamSize < m_miniCutoff ? readMiniStream() : readNormalStream();
    }

private:
    [[noreturn]] void fail(ErrorCode code, const std::string &detail = {}) const
    {
        throw XlsError(code, detail.empty() ? m_what : m_what + ": " + detail);
    }

    uint64_t sectorOffset(uint32_t sector) const { return uint64_t(sector + 1) << m_shift; }

    void readHeader()
    {
        uint8_t h[512];
        if (m_src.size() < 8)
            fail(m_src.size() == 0 ? ErrorCode::Truncated : ErrorCode::BadSignature);
        m_src.read(0, h, sizeof h);
        if (std::memcmp(h, Signature, 8) != 0)
            fail(ErrorCode::BadSignature);
        if (m_src.size() < 512)
            fail(ErrorCode::Truncated, "shorter than its header");
        m_shift = rd16(h + 0x1E);
        if ((m_shift != 9 && m_shift != 12) || rd16(h + 0x20) != 6 || rd16(h + 0x1C) != 0xFFFE)
            fail(ErrorCode::BadSignature, "unknown sector size or byte order");
        m_sectorSize = 1u << m_shift;
        const uint64_t fileSize = m_src.size();
        if (fileSize <= m_sectorSize)
            fail(ErrorCode::Truncated, "no sectors after the header");
        m_sectorCount = uint32_t(std::min<uint64_t>((fileSize - m_sectorSize + m_sectorSize - 1) >> m_shift, 0xFFFFFFF0u));
        m_fatSectors = rd32(h + 0x2C);
        m_firstDir = rd32(h + 0x30);
        m_miniCutoff = rd32(h + 0x38);
        m_firstMiniFat = rd32(h + 0x3C);
        m_miniFatSectors = rd32(h + 0x40);
        m_firstDifat = rd32(h + 0x44);
        m_difatSectors = rd32(h + 0x48);
        if (m_fatSectors == 0 || m_fatSectors > m_sectorCount)
            fail(ErrorCode::BadSectorChain, "FAT sector count " + std::to_string(m_fatSectors));
        for (int i = 0; i < 109 && m_fatList.size() < m_fatSectors; ++i)
            m_fatList.push_back(rd32(h + 0x4C + 4 * i));
    }

    void checkSector(uint32_t s, const char *what) const
    {
        if (s >= m_sectorCount)
            fail(ErrorCode::BadSectorChain, std::string(what) + " sector " + std::to_string(s) + " is outside the file");
    }

    void readFat()
    {
        // Further FAT sector numbers come from the DIFAT chain; it can loop, so it is walked
        // at most as many steps as the file has sectors.
        uint32_t difat = m_firstDifat;
        const uint32_t perDifat = m_sectorSize / 4 - 1;
        std::vector<uint8_t> buf(m_sectorSize);
        uint32_t steps = 0;
        while (m_fatList.size() < m_fatSectors) {
            if (difat == EndOfChain || difat == FreeSect)
                fail(ErrorCode::BadSectorChain, "the DIFAT lists fewer FAT sectors than the header says");
            checkSector(difat, "DIFAT");
            if (++steps > m_sectorCount)
                fail(ErrorCode::BadSectorChain, "the DIFAT chain loops");
            m_src.read(sectorOffset(difat), buf.data(), m_sectorSize);
            for (uint32_t i = 0; i < perDifat && m_fatList.size() < m_fatSectors; ++i)
                m_fatList.push_back(rd32(buf.data() + 4 * i));
            difat = rd32(buf.data() + 4 * perDifat);
        }
        m_fat.resize(size_t(m_fatSectors) * (m_sectorSize / 4));
        for (size_t i = 0; i < m_fatList.size(); ++i) {
            checkSector(m_fatList[i], "FAT");
            m_src.read(sectorOffset(m_fatList[i]), buf.data(), m_sectorSize);
            for (uint32_t j = 0; j < m_sectorSize / 4; ++j)
                m_fat[i * (m_sectorSize / 4) + j] = rd32(buf.data() + 4 * j);
        }
    }

    // Follows a chain in the FAT (or the mini FAT); every sector must exist and be visited once.
    std::vector<uint32_t> chain(uint32_t start, const std::vector<uint32_t> &fat, uint32_t limit,
                                size_t wanted, const char *what) const
    {
        std::vector<uint32_t> out;
        std::vector<bool> seen;
        uint32_t s = start;
        while (s != EndOfChain && out.size() < wanted) {
            if (s >= limit || s >= fat.size())
                fail(ErrorCode::BadSectorChain, std::string(what) + " chain points to sector " + std::to_string(s) + " outside the file");
            if (seen.empty())
                seen.resize(std::min<size_t>(fat.size(), limit));
            if (seen[s])
                fail(ErrorCode::BadSectorChain, std::string(what) + " chain loops");
            seen[s] = true;
            out.push_back(s);
            s = fat[s];
        }
        if (wanted != SIZE_MAX && out.size() < wanted)
            fail(ErrorCode::BadSectorChain, std::string(what) + " chain is shorter than its stream");
        return out;
    }

    void readDirectory()
    {
        const auto dirSectors = chain(m_firstDir, m_fat, m_sectorCount, SIZE_MAX, "directory");
        if (dirSectors.empty())
            fail(ErrorCode::BadDirectory, "empty directory");
        std::vector<uint8_t> buf(m_sectorSize);
        bool haveRoot = false, haveBook = false, haveWorkbook = false;
        for (size_t i = 0; i < dirSectors.size(); ++i) {
            m_src.read(sectorOffset(dirSectors[i]), buf.data(), m_sectorSize);
            for (uint32_t e = 0; e < m_sectorSize / 128; ++e) {
                const uint8_t *d = buf.data() + e * 128;
                const uint8_t type = d[0x42];
                const uint16_t nameBytes = rd16(d + 0x40);
                const uint32_t start = rd32(d + 0x74);
                const uint64_t size = m_shift == 9 ? rd32(d + 0x78) : (uint64_t(rd32(d + 0x78)) | (uint64_t(rd32(d + 0x7C)) << 32));
                if (i == 0 && e == 0) {
                    if (type != 5)
                        fail(ErrorCode::BadDirectory, "the first entry is not the root");
                    haveRoot = true;
                    m_rootStart = start;
                    m_rootSize = size;
                    continue;
                }
                if (type != 2 || nameBytes < 2 || nameBytes > 64)
                    continue;
                std::u16string name;
                for (uint16_t k = 0; k + 2 < nameBytes; k += 2) // nameBytes counts the terminator
                    name.push_back(char16_t(rd16(d + k)));
                auto upper = [](std::u16string s) {
                    for (auto &c : s)
                        if (c >= u'a' && c <= u'z')
                            c = char16_t(c - 32);
                    return s;
                };
                const auto n = upper(name);
                if (n == u"WORKBOOK" && !haveWorkbook) {
                    haveWorkbook = true;
                    m_streamStart = start;
                    m_streamSize = size;
                } else if (n == u"BOOK") {
                    haveBook = true;
                }
            }
        }
        if (!haveRoot)
            fail(ErrorCode::BadDirectory);
        if (!haveWorkbook)
            fail(haveBook ? ErrorCode::OldExcelVersion : ErrorCode::NoWorkbookStream);
        // A stream cannot be longer than the file that holds it.
        if (m_streamSize > m_src.size())
            fail(ErrorCode::Truncated, "the Workbook stream (" + std::to_string(m_streamSize) +
                 " bytes) is longer than the file");
    }

    std::string readNormalStream()
    {
        const size_t sectors = size_t((m_streamSize + m_sectorSize - 1) >> m_shift);
        const auto list = chain(m_streamStart, m_fat, m_sectorCount, sectors, "Workbook stream");
        std::string out(m_streamSize, '\0');
        size_t i = 0;
        while (i < list.size()) {
            size_t j = i + 1; // read runs of consecutive sectors at once
            while (j < list.size() && list[j] == list[j - 1] + 1)
                ++j;
            const uint64_t from = uint64_t(i) << m_shift;
            const uint64_t bytes = std::min<uint64_t>(uint64_t(j - i) << m_shift, m_streamSize - from);
            m_src.read(sectorOffset(list[i]), out.data() + from, size_t(bytes));
            i = j;
        }
        return out;
    }

    std::string readMiniStream()
    {
        if (m_rootSize > m_src.size())
            fail(ErrorCode::Truncated, "the mini stream is longer than the file");
        const auto rootSectors = chain(m_rootStart, m_fat, m_sectorCount,
                                       size_t((m_rootSize + m_sectorSize - 1) >> m_shift), "mini stream");
        if (m_miniFatSectors > m_sectorCount)
            fail(ErrorCode::BadSectorChain, "mini FAT sector count");
        const auto miniFatList = chain(m_firstMiniFat, m_fat, m_sectorCount, m_miniFatSectors, "mini FAT");
        std::vector<uint32_t> miniFat(miniFatList.size() * (m_sectorSize / 4));
        std::vector<uint8_t> buf(m_sectorSize);
        for (size_t i = 0; i < miniFatList.size(); ++i) {
            m_src.read(sectorOffset(miniFatList[i]), buf.data(), m_sectorSize);
            for (uint32_t j = 0; j < m_sectorSize / 4; ++j)
                miniFat[i * (m_sectorSize / 4) + j] = rd32(buf.data() + 4 * j);
        }
        const uint32_t miniCount = uint32_t(m_rootSize / 64);
        const size_t wanted = size_t((m_streamSize + 63) / 64);
        const auto list = chain(m_streamStart, miniFat, miniCount, wanted, "Workbook mini stream");
        std::string out(m_streamSize, '\0');
        for (size_t i = 0; i < list.size(); ++i) {
            const uint64_t at = uint64_t(list[i]) * 64;
            const uint32_t sector = rootSectors[size_t(at >> m_shift)];
            const size_t bytes = size_t(std::min<uint64_t>(64, m_streamSize - i * 64));
            m_src.read(sectorOffset(sector) + (at & (m_sectorSize - 1)), out.data() + i * 64, bytes);
        }
        return out;
    }

    const Source &m_src;
    std::string m_what;
    uint32_t m_shift = 9, m_sectorSize = 512, m_sectorCount = 0;
    uint32_t m_fatSectors = 0, m_firstDir = 0, m_miniCutoff = 4096, m_firstMiniFat = 0, m_miniFatSectors = 0;
    uint32_t m_firstDifat = 0, m_difatSectors = 0;
    std::vector<uint32_t> m_fatList, m_fat;
    uint32_t m_rootStart = EndOfChain, m_streamStart = EndOfChain;
    uint64_t m_rootSize = 0, m_streamSize = 0;
};

} // namespace

std::string readWorkbookStream(const std::string &path)
{
    FileSource src(path);
    return ContainerReader(src, path).workbookStream();
}

std::string readWorkbookStreamFromMemory(const uint8_t *data, size_t size, const std::string &what)
{
    MemorySource src(data, size);
    return ContainerReader(src, what).workbookStream();
}

namespace {
[[noreturn]] void cannotWrite(const std::string &target, const std::system_error &e)
{
    throw XlsError(ErrorCode::CannotWriteFile, target + " (" + e.code().message() + ")");
}
} // namespace

CompoundFileWriter::CompoundFileWriter(const std::string &targetPath) : m_target(targetPath)
{
    // The rename would put the workbook in the place of a pipe or a device.
    struct stat st {};
    if (::stat(targetPath.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw XlsError(ErrorCode::NotRegularFile, targetPath);
    try {
        m_temp = std::make_unique<TemporaryFile>(targetPath);
    } catch (const std::system_error &e) {
        cannotWrite(targetPath, e);
    }
    m_file = std::fopen(m_temp->path().c_str(), "wb");
    if (!m_file)
        throw XlsError(ErrorCode::CannotWriteFile, targetPath + " (" + std::strerror(errno) + ")");
    std::setvbuf(m_file, nullptr, _IOFBF, 1 << 20);
    static const char zeros[512] = {};
    check(std::fwrite(zeros, 1, 512, m_file) == 512); // the header, written last
}

CompoundFileWriter::~CompoundFileWriter()
{
    if (m_file)
        std::fclose(m_file); // the temporary goes with m_temp
}

void CompoundFileWriter::check(bool ok)
{
    if (!ok) {
        m_failed = true;
        throw XlsError(ErrorCode::CannotWriteFile, m_target + " (" + std::strerror(errno) + ")");
    }
}

void CompoundFileWriter::write(const void *data, size_t size)
{
    if (m_size + size > 0xFFFFFE00ull) // a version-3 stream size is 32 bits; keep the last sector's room
        throw XlsError(ErrorCode::WorkbookTooLarge, m_target);
    check(std::fwrite(data, 1, size, m_file) == size);
    m_size += size;
}

void CompoundFileWriter::patch(uint64_t streamOffset, const void *data, size_t size)
{
    check(fseeko(m_file, off_t(512 + streamOffset), SEEK_SET) == 0);
    check(std::fwrite(data, 1, size, m_file) == size);
    check(fseeko(m_file, 0, SEEK_END) == 0);
}

void CompoundFileWriter::commit()
{
    // Pad the stream: at least 4,096 bytes so readers look for it in normal sectors, and
    // whole sectors so the tables start on a sector boundary.
    uint64_t length = std::max<uint64_t>(m_size, 4096);
    length = (length + 511) / 512 * 512;
    std::vector<char> pad(size_t(length - m_size), 0);
    if (!pad.empty())
        check(std::fwrite(pad.data(), 1, pad.size(), m_file) == pad.size());

    const uint32_t streamSectors = uint32_t(length / 512);
    uint32_t fatSectors = 0, difatSectors = 0;
    for (;;) {
        const uint64_t total = uint64_t(streamSectors) + 1 + fatSectors + difatSectors;
        const uint32_t f = uint32_t((total + 127) / 128);
        const uint32_t d = f > 109 ? (f - 109 + 126) / 127 : 0;
        if (f == fatSectors && d == difatSectors)
            break;
        fatSectors = f;
        difatSectors = d;
    }
    const uint32_t firstDifat = streamSectors;
    const uint32_t firstFat = streamSectors + difatSectors;
    const uint32_t dirSector = firstFat + fatSectors;

    ByteBuffer out;
    out.bytes.reserve(size_t(difatSectors + fatSectors + 1) * 512);
    // DIFAT sectors: FAT sector numbers beyond the header's 109.
    for (uint32_t d = 0; d < difatSectors; ++d) {
        for (uint32_t i = 0; i < 127; ++i) {
            const uint32_t k = 109 + d * 127 + i;
            out.u32(k < fatSectors ? firstFat + k : FreeSect);
        }
        out.u32(d + 1 < difatSectors ? firstDifat + d + 1 : EndOfChain);
    }
    // FAT: the stream's chain, then the table sectors marked, then free entries.
    for (uint32_t s = 0; s < streamSectors; ++s)
        out.u32(s + 1 < streamSectors ? s + 1 : EndOfChain);
    for (uint32_t d = 0; d < difatSectors; ++d)
        out.u32(DifSect);
    for (uint32_t f = 0; f < fatSectors; ++f)
        out.u32(FatSect);
    out.u32(EndOfChain); // directory
    while (out.bytes.size() < size_t(difatSectors + fatSectors) * 512)
        out.u32(FreeSect);
    // Directory: Root Entry, Workbook, two unused entries.
    auto entry = [&](std::u16string_view name, uint8_t type, uint32_t child, uint32_t start, uint32_t size) {
        const size_t at = out.bytes.size();
        for (char16_t c : name)
            out.u16(c);
        out.bytes.resize(at + 64, '\0');
        out.u16(name.empty() ? 0 : uint16_t((name.size() + 1) * 2));
        out.u8(type);
        out.u8(1); // black
        out.u32(0xFFFFFFFF);
        out.u32(0xFFFFFFFF);
        out.u32(child);
        out.bytes.resize(at + 0x74, '\0');
        out.u32(start);
        out.u32(size);
        out.u32(0);
    };
    entry(u"Root Entry", 5, 1, EndOfChain, 0);
    entry(u"Workbook", 2, 0xFFFFFFFF, 0, uint32_t(length));
    entry(u"", 0, 0xFFFFFFFF, 0, 0);
    entry(u"", 0, 0xFFFFFFFF, 0, 0);
    check(std::fwrite(out.bytes.data(), 1, out.bytes.size(), m_file) == out.bytes.size());

    ByteBuffer h;
    h.write(Signature, 8);
    h.bytes.resize(0x18, '\0');
    h.u16(0x003E);
    h.u16(3);
    h.u16(0xFFFE);
    h.u16(9);
    h.u16(6);
    h.bytes.resize(0x2C, '\0');
    h.u32(fatSectors);
    h.u32(dirSector);
    h.u32(0);
    h.u32(4096);
    h.u32(EndOfChain);
    h.u32(0);
    h.u32(difatSectors ? firstDifat : EndOfChain);
    h.u32(difatSectors);
    for (uint32_t i = 0; i < 109; ++i)
        h.u32(i < fatSectors ? firstFat + i : FreeSect);
    check(fseeko(m_file, 0, SEEK_SET) == 0);
    check(std::fwrite(h.bytes.data(), 1, 512, m_file) == 512);
    check(std::fflush(m_file) == 0);
    const int rc = std::fclose(m_file);
    m_file = nullptr;
    if (rc != 0)
        throw XlsError(ErrorCode::CannotWriteFile, m_target + " (" + std::strerror(errno) + ")");
    try {
        m_temp->commit();
    } catch (const std::system_error &e) {
        cannotWrite(m_target, e);
    }
}

} // namespace kestrova::xls
