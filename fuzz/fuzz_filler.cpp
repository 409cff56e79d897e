// libFuzzer target: the template filler's parser and writer on arbitrary bytes. It fills a
// few cells of every sheet (inside and beyond the used range, and where the seeds keep
// shared and array formulas), with texts and numbers, sets a print area (the globals' names
// and links), writes the copy out with the template's other streams, and reads it back.
#include "xls/errors.h"
#include "xls/reader.h"
#include "xls/template_filler.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
// The copies go into a folder of the process's own, removed when it ends.
std::string outputPath()
{
    namespace fs = std::filesystem;
    static std::string folder;
    std::string pattern = (fs::temp_directory_path() / "kestrova-fuzz-filler-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("fuzz_filler: mkdtemp");
        std::abort();
    }
    folder = pattern;
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(folder, ec);
    });
    return folder + "/filled.xls";
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string out = outputPath();
    try {
        auto filler = kestrova::xls::TemplateFiller::fromBytes(data, size);
        for (int s = 0; s < filler.sheetCount() && s < 4; ++s) {
            const std::string old = filler.text(s, 0, 0);
            filler.setText(s, 0, 0, old + "填");
            filler.setText(s, 0, 1, "公式");
            (void)filler.text(s, 1, 1);
            filler.setText(s, 1, 1, "x");
            filler.setText(s, 300, 200, "新");
            filler.setNumber(s, 2, 3, 0.1 + 0.2);
            (void)filler.text(s, 2, 2);
            filler.extendRowFormats(s, 1);
            filler.setNumberOrText(s, 40, 1, "12.5");
            filler.setPrintArea(s, 0, 40, 0, 3);
        }
        filler.save(out);
        const auto copy = kestrova::xls::WorkbookReader::open(out);
        for (const auto &name : copy.sheetNames())
            (void)copy.readRow(name, 1);
        std::remove(out.c_str());
    } catch (const kestrova::xls::XlsError &) {
    }
    return 0;
}
