#pragma once
// The OLE2 compound file that holds the Workbook stream.
#include "xls/byte_io.h"
#include "xls/temporary_file.h"

#include <cstdio>
#include <memory>
#include <string>

namespace kestrova::xls {

// Reads the Workbook stream of an .xls file, from normal sectors or the mini stream.
// Refuses Excel 5/95 files ("Book" stream) and damaged containers with an XlsError;
// no allocation is sized beyond what the file can hold.
std::string readWorkbookStream(const std::string &path);
// The same from bytes already in memory (the fuzz targets use it).
std::string readWorkbookStreamFromMemory(const uint8_t *data, size_t size, const std::string &what);

// Writes a compound file holding one Workbook stream, streamed through write(): the stream
// goes to a temporary file beside the target from offset 512, then commit() pads it to at
// least 4,096 bytes (so it never belongs in the mini stream), appends the DIFAT, FAT and
// directory sectors, writes the header, syncs the file to disk and renames it into place.
// Without commit() the temporary file is removed. An existing read-only target is refused
// before anything is written.
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
    void commit();

private:
    void check(bool ok);
    std::string m_target;
    std::unique_ptr<TemporaryFile> m_temp;
    std::FILE *m_file = nullptr;
    uint64_t m_size = 0;
    bool m_failed = false;
};

} // namespace kestrova::xls
