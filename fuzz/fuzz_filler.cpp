// libFuzzer target: the template filler's parser and writer on arbitrary bytes. It fills a
// few cells of every sheet (inside and beyond the used range, and where the seeds keep
// shared and array formulas), writes the copy out with the template's other streams, and
// reads the copy back.
#include "xls/errors.h"
#include "xls/reader.h"
#include "xls/template_filler.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::string out = "/tmp/kestrova-fuzz-filler-" + std::to_string(::getpid()) + ".xls";
    try {
        auto filler = kestrova::xls::TemplateFiller::fromBytes(data, size);
        for (int s = 0; s < filler.sheetCount() && s < 4; ++s) {
            const std::string old = filler.text(s, 0, 0);
            filler.setText(s, 0, 0, old + "填");
            filler.setText(s, 0, 1, "公式");
            (void)filler.text(s, 1, 1);
            filler.setText(s, 1, 1, "x");
            filler.setText(s, 300, 200, "新");
            (void)filler.text(s, 2, 2);
        }
        filler.save(out);
        const auto copy = kestrova::xls::WorkbookReader::open(out);
        for (const auto &name : copy.sheetNames())
            (void)copy.readRow(name, 1);
    } catch (const kestrova::xls::XlsError &) {
    }
    return 0;
}
