// libFuzzer target: the workbook reader on arbitrary bytes, the container, decryption with
// the built-in password and the tolerated defects included (the seed corpus holds each).
// Every failure must be an XlsError.
#include "xls/errors.h"
#include "xls/reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        auto reader = kestrova::xls::WorkbookReader::fromBytes(data, size);
        for (const auto &name : reader.sheetNames()) {
            size_t cells = 0;
            reader.forEachRow(name, [&cells](int, const std::vector<std::string> &row) { cells += row.size(); });
            // What an import reads ahead of the rows.
            cells += reader.readRow(name, 0).size() + reader.surveyColumn(name, int(cells % 3)).texts.size();
        }
    } catch (const kestrova::xls::XlsError &) {
    }
    return 0;
}
