// kestrova-make-templates OUT_DIR: writes every workbook template the programs ship with
// into OUT_DIR/templet/. The build runs it after the executables are linked.
//
// Each template family is one function taking the output folder; add yours to `families`.
#include "records/printed/printed_templates.h"
#include "reports/report_templates.h"
#include "xls/errors.h"
#include "xls/writer.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using kestrova::xls::Workbook;

// templet/out.xls: the upload workbook. Its first sheet must be named 数据信息; the
// export writes the header row and the records into it, the log into the second sheet.
void writeUploadTemplate(const fs::path &templet)
{
    Workbook book;
    auto &records = book.addSheet("数据信息");
    auto &log = book.addSheet("修改日志");
    for (int c = 0; c < 94; ++c)
        records.setColumnWidth(c, c == 0 ? 30 : 14);
    for (int c = 0; c < 11; ++c)
        log.setColumnWidth(c, 16);
    book.save((templet / "out.xls").string());
}

using TemplateFamily = void (*)(const fs::path &templet);
const TemplateFamily families[] = {
    writeUploadTemplate,
    [](const fs::path &templet) { kestrova::reports::writeReportTemplates(QString::fromStdString(templet.string())); },
    [](const fs::path &templet) { kestrova::writePaperFormTemplates(templet.string()); },
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_DIR\n", argv[0]);
        return 2;
    }
    const fs::path templet = fs::path(argv[1]) / "templet";
    try {
        fs::create_directories(templet);
        for (TemplateFamily write : families)
            write(templet);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "kestrova-make-templates: %s\n", e.what());
        return 1;
    }
    return 0;
}
