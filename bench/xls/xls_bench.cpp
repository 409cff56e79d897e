// xls_bench: the upload workbook's shape at full size (65,535 records + a header row,
// 94 columns: 16 identity texts, 72 numbers as text, remarks, two dates, a flag), written as
// a fresh workbook or through the template filler, and read back. Timed by bench/xls/run.sh.
//
//   xls_bench write OUT.xls
//   xls_bench fill TEMPLATE.xls OUT.xls
//   xls_bench read FILE.xls
#include "xls/errors.h"
#include "xls/reader.h"
#include "xls/template_filler.h"
#include "xls/writer.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int Rows = 65536, Cols = 94;

// The same values bench/xls/upload_data.py generates (built without printf: the
// generator should not dominate what is measured).
void number(std::string &out, int v, int width = 0)
{
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    for (int n = int(res.ptr - buf); n < width; ++n)
        out += '0';
    out.append(buf, res.ptr);
}

void cellText(int r, int c, std::string &out)
{
    out.clear();
    if (r == 0) {
        out.append("列");
        number(out, c + 1);
    } else if (c < 16) {
        static const char *kinds[] = {"企业", "地址", "法人", "电话"};
        out.append(kinds[c % 4]);
        number(out, r);
        out += '-';
        number(out, c);
    } else if (c < 88) {
        const int v = (r * 31 + c * 17) % 100000;
        if (c % 3 == 0) {
            number(out, v / 10);
            out += '.';
            number(out, v % 10);
        } else {
            number(out, v % 1000);
        }
    } else if (c < 91) {
        out.append("备注");
        number(out, r % 50);
    } else if (c <= 92) {
        out.append("2013-");
        number(out, r % 12 + 1, 2);
        out += '-';
        number(out, r % 28 + 1, 2);
        if (c == 92) {
            out += ' ';
            number(out, r % 24);
            out += ':';
            number(out, r % 60, 2);
            out += ':';
            number(out, (r * 7) % 60, 2);
        }
    } else {
        out.append("1");
    }
}

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int main(int argc, char **argv)
{
    using namespace kestrova::xls;
    if (argc < 3) {
        std::fprintf(stderr, "usage: xls_bench write OUT | fill TEMPLATE OUT | read FILE\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        std::string text;
        if (!std::strcmp(argv[1], "write")) {
            Workbook book;
            Sheet &s = book.addSheet("数据信息");
            book.addSheet("修改日志").setText(0, 0, "企业名称");
            for (int r = 0; r < Rows; ++r)
                for (int c = 0; c < Cols; ++c) {
                    cellText(r, c, text);
                    s.setText(r, c, text);
                }
            book.save(argv[2]);
        } else if (!std::strcmp(argv[1], "fill") && argc == 4) {
            TemplateFiller filler(argv[2]);
            const int sheet = filler.sheetIndex("数据信息");
            for (int r = 0; r < Rows; ++r)
                for (int c = 0; c < Cols; ++c) {
                    cellText(r, c, text);
                    filler.setText(sheet, r, c, text);
                }
            filler.setText(1, 0, 0, "企业名称");
            filler.save(argv[3]);
        } else if (!std::strcmp(argv[1], "read")) {
            size_t rows = 0, cells = 0, bytes = 0;
            WorkbookReader::open(argv[2]).forEachRow("数据信息", [&](int, const std::vector<std::string> &row) {
                ++rows;
                cells += row.size();
                for (const auto &c : row)
                    bytes += c.size();
            });
            std::printf("rows %zu cells %zu bytes %zu\n", rows, cells, bytes);
        } else {
            std::fprintf(stderr, "unknown mode %s\n", argv[1]);
            return 2;
        }
    } catch (const XlsError &e) {
        std::fprintf(stderr, "xls_bench: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "%s: %.3f s\n", argv[1], seconds(start));
    return 0;
}
