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
            throw XlsError(ErrorCode::CannotOpenFile, m_path + "：读取出错");
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

// A directory entry as stored, with where its stream lies.
struct StoredEntry
{
    CompoundEntry entry;
    uint32_t start = EndOfChain;
    uint64_t size = 0;
};

bool sameNameIgnoringCase(const std::u16string &name, std::u16string_view upper)
{
    if (name.size() != upper.size())
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t c = name[i];
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 32);
        if (c != upper[i])
            return false;
    }
    return true;
}

class ContainerReader
{
public:
    ContainerReader(const Source &src, const std::string &what) : m_src(src), m_what(what) {}

    std::string workbookStream()
    {
        open();
        return readStream(m_entries[m_book]);
    }

    CompoundFileContents contents()
    {
        open();
        CompoundFileContents c;
        c.workbook = readStream(m_entries[m_book]);
        c.parts = parts();
        return c;
    }

private:
    [[noreturn]] void fail(ErrorCode code, const std::string &detail = {}) const
    {
        throw XlsError(code, detail.empty() ? m_what : m_what + "：" + detail);
    }

    void open()
    {
        readHeader();
        readFat();
        readDirectory();
        findWorkbook();
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
            fail(ErrorCode::Truncated, "比文件头还短");
        m_shift = rd16(h + 0x1E);
        if ((m_shift != 9 && m_shift != 12) || rd16(h + 0x20) != 6 || rd16(h + 0x1C) != 0xFFFE)
            fail(ErrorCode::BadSignature, "扇区大小或字节顺序未知");
        m_sectorSize = 1u << m_shift;
        const uint64_t fileSize = m_src.size();
        if (fileSize <= m_sectorSize)
            fail(ErrorCode::Truncated, "文件头之后没有扇区");
        m_sectorCount = uint32_t(std::min<uint64_t>((fileSize - m_sectorSize + m_sectorSize - 1) >> m_shift, 0xFFFFFFF0u));
        m_fatSectors = rd32(h + 0x2C);
        m_firstDir = rd32(h + 0x30);
        m_miniCutoff = rd32(h + 0x38);
        m_firstMiniFat = rd32(h + 0x3C);
        m_firstDifat = rd32(h + 0x44);
        if (m_fatSectors == 0 || m_fatSectors > m_sectorCount)
            fail(ErrorCode::BadSectorChain, "FAT扇区数 " + std::to_string(m_fatSectors));
        for (int i = 0; i < 109 && m_fatList.size() < m_fatSectors; ++i)
            m_fatList.push_back(rd32(h + 0x4C + 4 * i));
    }

    void checkSector(uint32_t s, const char *what) const
    {
        if (s >= m_sectorCount)
            fail(ErrorCode::BadSectorChain, std::string(what) + "扇区 " + std::to_string(s) + " 在文件之外");
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
                fail(ErrorCode::BadSectorChain, "DIFAT列出的FAT扇区少于文件头所说");
            checkSector(difat, "DIFAT");
            if (++steps > m_sectorCount)
                fail(ErrorCode::BadSectorChain, "DIFAT链循环");
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

    // Follows a chain in the FAT (or the mini FAT); every sector must exist and be visited
    // once. With `exact`, a chain shorter than `wanted` is an error; without, the chain ends
    // where it ends.
    std::vector<uint32_t> chain(uint32_t start, const std::vector<uint32_t> &fat, uint32_t limit,
                                size_t wanted, const std::string &what, bool exact = true) const
    {
        std::vector<uint32_t> out;
        std::vector<bool> seen;
        uint32_t s = start;
        while (s != EndOfChain && out.size() < wanted) {
            if (s >= limit || s >= fat.size()) {
                if (!exact)
                    break;
                fail(ErrorCode::BadSectorChain, what + "的扇区链指向文件之外的扇区 " + std::to_string(s) + "");
            }
            if (seen.empty())
                seen.resize(std::min<size_t>(fat.size(), limit));
            if (seen[s])
                fail(ErrorCode::BadSectorChain, what + "的扇区链循环");
            seen[s] = true;
            out.push_back(s);
            s = fat[s];
        }
        if (exact && wanted != SIZE_MAX && out.size() < wanted)
            fail(ErrorCode::BadSectorChain, what + "的扇区链比数据流短");
        return out;
    }

    void readDirectory()
    {
        const auto dirSectors = chain(m_firstDir, m_fat, m_sectorCount, SIZE_MAX, "目录");
        if (dirSectors.empty())
            fail(ErrorCode::BadDirectory, "目录为空");
        std::vector<uint8_t> buf(m_sectorSize);
        for (size_t i = 0; i < dirSectors.size(); ++i) {
            m_src.read(sectorOffset(dirSectors[i]), buf.data(), m_sectorSize);
            for (uint32_t e = 0; e < m_sectorSize / 128; ++e) {
                const uint8_t *d = buf.data() + e * 128;
                StoredEntry s;
                CompoundEntry &c = s.entry;
                c.type = d[0x42];
                const uint16_t nameBytes = rd16(d + 0x40);
                if ((c.type != 1 && c.type != 2 && c.type != 5) || nameBytes < 2 || nameBytes > 64)
                    c.type = 0;
                for (uint16_t k = 0; c.type != 0 && k + 2 < nameBytes; k += 2) // nameBytes counts the terminator
                    c.name.push_back(char16_t(rd16(d + k)));
                c.colour = d[0x43];
                c.left = rd32(d + 0x44);
                c.right = rd32(d + 0x48);
                c.child = rd32(d + 0x4C);
                std::memcpy(c.classId.data(), d + 0x50, 16);
                c.stateBits = rd32(d + 0x60);
                std::memcpy(c.times.data(), d + 0x64, 16);
                s.start = rd32(d + 0x74);
                s.size = m_shift == 9 ? rd32(d + 0x78) : (uint64_t(rd32(d + 0x78)) | (uint64_t(rd32(d + 0x7C)) << 32));
                m_entries.push_back(std::move(s));
            }
        }
        if (m_entries.front().entry.type != 5)
            fail(ErrorCode::BadDirectory, "第一个目录项不是根");
        m_entries.front().entry.left = m_entries.front().entry.right = CompoundEntry::None;
    }

    // The entries of the sibling tree starting at `first`: a storage's children. A link to
    // an entry already reached, an unused entry or none at all ends the walk there and,
    // with `cut`, is set to None, so loops end and what is kept is a tree.
    std::vector<uint32_t> children(uint32_t &first, std::vector<bool> &reached, bool cut = true)
    {
        std::vector<uint32_t> out;
        std::vector<uint32_t *> links{&first};
        while (!links.empty()) {
            uint32_t *link = links.back();
            links.pop_back();
            const uint32_t i = *link;
            if (i == CompoundEntry::None)
                continue;
            if (i >= m_entries.size() || reached[i] || m_entries[i].entry.type == 0 || m_entries[i].entry.type == 5) {
                if (cut)
                    *link = CompoundEntry::None;
                continue;
            }
            reached[i] = true;
            out.push_back(i);
            links.push_back(&m_entries[i].entry.left);
            links.push_back(&m_entries[i].entry.right);
        }
        return out;
    }

    // Every entry reachable from the root, storages walked down to their last child.
    std::vector<bool> reachableEntries()
    {
        std::vector<bool> reached(m_entries.size(), false);
        reached[0] = true;
        std::vector<uint32_t> storages{0};
        while (!storages.empty()) {
            const uint32_t s = storages.back();
            storages.pop_back();
            for (uint32_t i : children(m_entries[s].entry.child, reached))
                if (m_entries[i].entry.type == 1)
                    storages.push_back(i);
                else
                    m_entries[i].entry.child = CompoundEntry::None;
        }
        return reached;
    }

    void findWorkbook()
    {
        m_reachable = reachableEntries();
        // The root storage's own streams first: an embedded workbook lives in a storage of
        // its own and is not this file's.
        std::vector<bool> rootLevel(m_entries.size(), false);
        std::vector<bool> seen(m_entries.size(), false);
        uint32_t first = m_entries[0].entry.child;
        for (uint32_t i : children(first, seen))
            rootLevel[i] = true;
        const auto pick = [&](std::u16string_view name) -> size_t {
            for (size_t i = 1; i < m_entries.size(); ++i)
                if (rootLevel[i] && m_entries[i].entry.type == 2 && sameNameIgnoringCase(m_entries[i].entry.name, name))
                    return i;
            return 0;
        };
        m_book = pick(u"WORKBOOK");
        if (m_book == 0)
            m_book = pick(u"BOOK");
        if (m_book == 0) {
            // A damaged directory may leave the workbook stream out of the root's tree;
            // one that no storage lists is still the file's own.
            std::vector<bool> nested(m_entries.size(), false);
            for (size_t i = 1; i < m_entries.size(); ++i)
                if (m_entries[i].entry.type == 1) {
                    uint32_t first = m_entries[i].entry.child;
                    for (uint32_t k : children(first, nested, false))
                        nested[k] = true;
                }
            for (size_t i = 1; i < m_entries.size(); ++i)
                rootLevel[i] = !m_reachable[i] && !nested[i];
            m_book = pick(u"WORKBOOK");
            if (m_book == 0)
                m_book = pick(u"BOOK");
            if (m_book == 0)
                fail(ErrorCode::NoWorkbookStream);
            // Kept, the entry goes first among the root's children.
            CompoundEntry &root = m_entries[0].entry, &book = m_entries[m_book].entry;
            book.left = CompoundEntry::None;
            book.right = root.child;
            book.child = CompoundEntry::None;
            root.child = uint32_t(m_book);
            m_reachable[m_book] = true;
        }
        // A stream cannot be longer than the file that holds it.
        if (m_entries[m_book].size > m_src.size())
            fail(ErrorCode::Truncated, "工作簿数据流（" + std::to_string(m_entries[m_book].size) + "字节）比文件还长");
    }

    std::string nameOf(const StoredEntry &s) const
    {
        std::string out;
        for (char16_t c : s.entry.name)
            out.push_back(c >= 0x20 && c < 0x7F ? char(c) : '?');
        return out;
    }

    std::string readStream(const StoredEntry &s)
    {
        if (s.size > m_src.size())
            fail(ErrorCode::Truncated, "数据流 " + nameOf(s) + " 比文件还长");
        return s.size < m_miniCutoff ? readMiniStream(s) : readNormalStream(s);
    }

    std::string readNormalStream(const StoredEntry &e)
    {
        const size_t sectors = size_t((e.size + m_sectorSize - 1) >> m_shift);
        const auto list = chain(e.start, m_fat, m_sectorCount, sectors, "数据流 " + nameOf(e));
        std::string out(e.size, '\0');
        size_t i = 0;
        while (i < list.size()) {
            size_t j = i + 1; // read runs of consecutive sectors at once
            while (j < list.size() && list[j] == list[j - 1] + 1)
                ++j;
            const uint64_t from = uint64_t(i) << m_shift;
            const uint64_t bytes = std::min<uint64_t>(uint64_t(j - i) << m_shift, e.size - from);
            m_src.read(sectorOffset(list[i]), out.data() + from, size_t(bytes));
            i = j;
        }
        return out;
    }

    void loadMiniFat()
    {
        if (m_miniLoaded)
            return;
        m_miniLoaded = true;
        const StoredEntry &root = m_entries.front();
        if (root.size > m_src.size())
            fail(ErrorCode::Truncated, "迷你数据流比文件还长");
        m_rootSectors = chain(root.start, m_fat, m_sectorCount, size_t((root.size + m_sectorSize - 1) >> m_shift), "迷你数据流");
        // The mini FAT ends where its chain ends: some writers give the header a larger
        // count than the chain holds.
        const auto miniFatList = chain(m_firstMiniFat, m_fat, m_sectorCount, m_sectorCount, "迷你FAT", false);
        m_miniFat.resize(miniFatList.size() * (m_sectorSize / 4));
        std::vector<uint8_t> buf(m_sectorSize);
        for (size_t i = 0; i < miniFatList.size(); ++i) {
            m_src.read(sectorOffset(miniFatList[i]), buf.data(), m_sectorSize);
            for (uint32_t j = 0; j < m_sectorSize / 4; ++j)
                m_miniFat[i * (m_sectorSize / 4) + j] = rd32(buf.data() + 4 * j);
        }
    }

    std::string readMiniStream(const StoredEntry &e)
    {
        loadMiniFat();
        const uint32_t miniCount = uint32_t(std::min<uint64_t>(m_entries.front().size / 64, uint64_t(m_rootSectors.size()) << (m_shift - 6)));
        const size_t wanted = size_t((e.size + 63) / 64);
        const auto list = chain(e.start, m_miniFat, miniCount, wanted, "迷你数据流中的 " + nameOf(e));
        std::string out(e.size, '\0');
        for (size_t i = 0; i < list.size(); ++i) {
            const uint64_t at = uint64_t(list[i]) * 64;
            const uint32_t sector = m_rootSectors[size_t(at >> m_shift)];
            const size_t bytes = size_t(std::min<uint64_t>(64, e.size - i * 64));
            m_src.read(sectorOffset(sector) + (at & (m_sectorSize - 1)), out.data() + i * 64, bytes);
        }
        return out;
    }

    CompoundParts parts()
    {
        CompoundParts p;
        p.workbook = m_book;
        p.entries.resize(m_entries.size());
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (!m_reachable[i])
                continue; // written back as an unused entry
            p.entries[i] = m_entries[i].entry;
            if (i != m_book && p.entries[i].type == 2)
                p.entries[i].data = readStream(m_entries[i]);
        }
        return p;
    }

    const Source &m_src;
    std::string m_what;
    uint32_t m_shift = 9, m_sectorSize = 512, m_sectorCount = 0;
    uint32_t m_fatSectors = 0, m_firstDir = 0, m_miniCutoff = 4096, m_firstMiniFat = 0;
    uint32_t m_firstDifat = 0;
    std::vector<uint32_t> m_fatList, m_fat;
    std::vector<StoredEntry> m_entries;
    std::vector<bool> m_reachable;
    size_t m_book = 0;
    bool m_miniLoaded = false;
    std::vector<uint32_t> m_rootSectors, m_miniFat;
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

CompoundFileContents readCompoundFile(const std::string &path)
{
    FileSource src(path);
    return ContainerReader(src, path).contents();
}

CompoundFileContents readCompoundFileFromMemory(const uint8_t *data, size_t size, const std::string &what)
{
    MemorySource src(data, size);
    return ContainerReader(src, what).contents();
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

void CompoundFileWriter::keepParts(CompoundParts parts)
{
    m_parts = std::move(parts);
}

void CompoundFileWriter::writeBytes(const void *data, size_t size)
{
    check(std::fwrite(data, 1, size, m_file) == size);
}

namespace {

// The directory a lone Workbook stream gets: the root, the stream, two unused entries.
CompoundParts workbookOnly()
{
    CompoundParts p;
    p.entries.resize(4);
    p.entries[0].name = u"Root Entry";
    p.entries[0].type = 5;
    p.entries[0].child = 1;
    p.entries[1].name = u"Workbook";
    p.entries[1].type = 2;
    p.workbook = 1;
    return p;
}

} // namespace

void CompoundFileWriter::commit()
{
    // Pad the stream: at least 4,096 bytes so readers look for it in normal sectors, and
    // whole sectors so what follows starts on a sector boundary.
    uint64_t length = std::max<uint64_t>(m_size, 4096);
    length = (length + 511) / 512 * 512;
    std::vector<char> pad(size_t(length - m_size), 0);
    if (!pad.empty())
        writeBytes(pad.data(), pad.size());
    if (m_parts.entries.empty())
        m_parts = workbookOnly();
    std::vector<CompoundEntry> &entries = m_parts.entries;
    while (entries.size() % 4 != 0)
        entries.emplace_back();

    // Where each stream goes: the sectors after the Workbook stream for the large ones, the
    // mini stream for those below 4,096 bytes (readers tell the two apart by size alone).
    struct Run { uint32_t first, count; };
    std::vector<Run> runs{{0, uint32_t(length / 512)}};
    uint32_t next = uint32_t(length / 512);
    std::vector<uint32_t> start(entries.size(), EndOfChain);
    std::vector<uint64_t> size(entries.size(), 0);
    start[m_parts.workbook] = 0;
    size[m_parts.workbook] = length;
    std::string mini;
    std::vector<uint32_t> miniFat;
    auto appendSectors = [&](std::string_view data) {
        const uint32_t count = uint32_t((data.size() + 511) / 512);
        writeBytes(data.data(), data.size());
        const std::string zeros(size_t(count) * 512 - data.size(), '\0');
        writeBytes(zeros.data(), zeros.size());
        runs.push_back({next, count});
        next += count;
        return next - count;
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string &data = entries[i].data;
        if (i == m_parts.workbook || entries[i].type != 2 || data.empty())
            continue;
        if (uint64_t(next) * 512 + data.size() > 0xFFFFFE00ull)
            throw XlsError(ErrorCode::WorkbookTooLarge, m_target);
        size[i] = data.size();
        if (data.size() >= 4096) {
            start[i] = appendSectors(data);
            continue;
        }
        const uint32_t first = uint32_t(mini.size() / 64), count = uint32_t((data.size() + 63) / 64);
        start[i] = first;
        mini.append(data);
        mini.resize(size_t(first + count) * 64, '\0');
        for (uint32_t k = 0; k < count; ++k)
            miniFat.push_back(k + 1 < count ? first + k + 1 : EndOfChain);
    }
    uint32_t firstMiniFat = EndOfChain, miniFatSectors = 0;
    if (!mini.empty()) {
        size[0] = mini.size();
        start[0] = appendSectors(mini);
        miniFat.resize((miniFat.size() + 127) / 128 * 128, FreeSect);
        ByteBuffer table;
        for (uint32_t v : miniFat)
            table.u32(v);
        miniFatSectors = uint32_t(miniFat.size() / 128);
        firstMiniFat = appendSectors(table.bytes);
    }

    const uint32_t dirSectors = uint32_t(entries.size() / 4);
    uint32_t fatSectors = 0, difatSectors = 0;
    for (;;) {
        const uint64_t total = uint64_t(next) + dirSectors + fatSectors + difatSectors;
        const uint32_t f = uint32_t((total + 127) / 128);
        const uint32_t d = f > 109 ? (f - 109 + 126) / 127 : 0;
        if (f == fatSectors && d == difatSectors)
            break;
        fatSectors = f;
        difatSectors = d;
    }
    const uint32_t firstDifat = next;
    const uint32_t firstFat = next + difatSectors;
    const uint32_t dirSector = firstFat + fatSectors;

    ByteBuffer out;
    out.bytes.reserve(size_t(difatSectors + fatSectors + dirSectors) * 512);
    // DIFAT sectors: FAT sector numbers beyond the header's 109.
    for (uint32_t d = 0; d < difatSectors; ++d) {
        for (uint32_t i = 0; i < 127; ++i) {
            const uint32_t k = 109 + d * 127 + i;
            out.u32(k < fatSectors ? firstFat + k : FreeSect);
        }
        out.u32(d + 1 < difatSectors ? firstDifat + d + 1 : EndOfChain);
    }
    // FAT: the streams' chains, then the table sectors marked, the directory's chain, then
    // free entries.
    for (const Run &r : runs)
        for (uint32_t s = 0; s < r.count; ++s)
            out.u32(s + 1 < r.count ? r.first + s + 1 : EndOfChain);
    for (uint32_t d = 0; d < difatSectors; ++d)
        out.u32(DifSect);
    for (uint32_t f = 0; f < fatSectors; ++f)
        out.u32(FatSect);
    for (uint32_t s = 0; s < dirSectors; ++s)
        out.u32(s + 1 < dirSectors ? dirSector + s + 1 : EndOfChain);
    while (out.bytes.size() < size_t(difatSectors + fatSectors) * 512)
        out.u32(FreeSect);
    for (size_t i = 0; i < entries.size(); ++i) {
        const CompoundEntry &e = entries[i];
        const size_t at = out.bytes.size();
        const std::u16string_view name = std::u16string_view(e.name).substr(0, 31);
        for (char16_t c : name)
            out.u16(c);
        out.bytes.resize(at + 64, '\0');
        out.u16(e.type == 0 || name.empty() ? 0 : uint16_t((name.size() + 1) * 2));
        out.u8(e.type);
        out.u8(e.type == 0 ? 1 : e.colour);
        out.u32(e.type == 0 ? CompoundEntry::None : e.left);
        out.u32(e.type == 0 ? CompoundEntry::None : e.right);
        out.u32(e.type == 0 ? CompoundEntry::None : e.child);
        if (e.type != 0) {
            out.write(e.classId.data(), 16);
            out.u32(e.stateBits);
            out.write(e.times.data(), 16);
        }
        out.bytes.resize(at + 0x74, '\0');
        out.u32(e.type == 1 || e.type == 0 ? 0 : start[i]);
        out.u32(uint32_t(size[i]));
        out.u32(0);
    }
    writeBytes(out.bytes.data(), out.bytes.size());

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
    h.u32(firstMiniFat);
    h.u32(miniFatSectors);
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
