#pragma once
// The OLE2 compound file that holds the Workbook stream.
#include "xls/byte_io.h"
#include "xls/temporary_file.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace kestrova::xls {

// Reads the workbook stream of an .xls file, from normal sectors or the mini stream: the
// stream named "Workbook" in the root storage, else one named "Book" (Excel 5/95 files,
// and Excel 97-2003 ones some exporters save under that name; the stream's first record
// tells them apart). Streams inside storages (embedded objects) are never taken. Refuses
// damaged containers with an XlsError; no allocation is sized beyond what the file can hold.
std::string readWorkbookStream(const std::string &path);
// The same from bytes already in memory (the fuzz targets use it).
std::string readWorkbookStreamFromMemory(const uint8_t *data, size_t size, const std::string &what);

// One directory entry of a compound file, with the bytes of its stream.
struct CompoundEntry
{
    static constexpr uint32_t None = 0xFFFFFFFF;
    std::u16string name;
    uint8_t type = 0; // 0 unused, 1 storage, 2 stream, 5 root
    uint8_t colour = 1;
    uint32_t left = None, right = None, child = None; // entry numbers
    std::array<uint8_t, 16> classId{};
    uint32_t stateBits = 0;
    std::array<uint8_t, 16> times{}; // created, modified
    std::string data;                // a stream's bytes
};

// Everything of a compound file besides the workbook stream's bytes: the directory tree
// with every other stream and storage (macros, document properties, embedded objects), as
// a template filler writes them back around the new workbook stream.
struct CompoundParts
{
    std::vector<CompoundEntry> entries; // by entry number; 0 is the root
    size_t workbook = 1;                // the workbook stream's entry; its data is left empty
};

struct CompoundFileContents
{
    std::string workbook;
    CompoundParts parts;
};

// The workbook stream as readWorkbookStream() finds it, and every entry reachable from the
// root. Entries no storage lists are left out (written back as unused ones).
CompoundFileContents readCompoundFile(const std::string &path);
CompoundFileContents readCompoundFileFromMemory(const uint8_t *data, size_t size, const std::string &what);

// Writes a compound file holding one Workbook stream, streamed through write(): the stream
// goes to a temporary file beside the target from offset 512, then commit() pads it to at
// least 4,096 bytes (so it never belongs in the mini stream), appends the other streams
// given to keepParts(), the DIFAT, FAT and directory sectors, writes the header, syncs the
// file to disk and renames it into place. Without commit() the temporary file is removed.
// An existing read-only target is refused before anything is written.
class CompoundFileWriter : public ByteSink
{
public:
    explicit CompoundFileWriter(const std::string &targetPath);
    ~CompoundFileWriter() override;
    CompoundFileWriter(const CompoundFileWriter &) = delete;
    CompoundFileWriter &operator=(const CompoundFileWriter &) = delete;

    void write(const void *data, size_t size) override;
    uint64_t size() const override { return m_size; }
    // Overwrites bytes already written at a stream offset (a sheet position in the globals,
    // known only once the sheet is written).
    void patch(uint64_t streamOffset, const void *data, size_t size);
    // The directory and other streams to write around the stream: the entry parts.workbook
    // gets the stream written here. Without it the file holds the Workbook stream alone.
    void keepParts(CompoundParts parts);
    void commit();

private:
    void check(bool ok);
    void writeBytes(const void *data, size_t size);
    std::string m_target;
    std::unique_ptr<TemporaryFile> m_temp;
    std::FILE *m_file = nullptr;
    uint64_t m_size = 0;
    bool m_failed = false;
    CompoundParts m_parts;
};

} // namespace kestrova::xls
