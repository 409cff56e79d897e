#pragma once
// Upload workbooks built record by record, for cells no writer makes on request: a text
// longer than a cell holds (its shared string continued over CONTINUE records, as Excel
// splits long strings) and a number cell holding NaN.
#include "data/schema.h"
#include "xls/xls_test_support.h"

#include <QString>

#include <algorithm>
#include <map>
#include <variant>

namespace kestrova::test {

// A sheet cell: a text (UTF-8; empty means no cell) or a number.
using HandCell = std::variant<std::string, double>;
using HandRow = std::vector<HandCell>;

// The shared strings in an SST record and as many CONTINUE records as they need: at most
// 8,224 bytes each, a string's characters carried on after a byte giving their width.
inline std::string sharedStringRecords(const std::vector<std::u16string> &texts, uint32_t uses)
{
    using S = xlstest::StreamBuilder;
    constexpr size_t kMaxData = 8224;
    std::string records;
    std::string data = S::u32(uses) + S::u32(uint32_t(texts.size()));
    bool first = true;
    const auto flush = [&] {
        records += S::rec(first ? 0x00FC : 0x003C, data);
        first = false;
        data.clear();
    };
    for (const std::u16string &t : texts) {
        const bool wide = std::any_of(t.begin(), t.end(), [](char16_t c) { return c > 0xFF; });
        const size_t width = wide ? 2 : 1;
        if (data.size() + 3 + width > kMaxData)
            flush();
        data += S::u16(uint16_t(t.size())) + char(wide ? 1 : 0);
        for (size_t at = 0; at < t.size();) {
            const size_t room = (kMaxData - data.size()) / width;
            if (room == 0) {
                flush();
                data += char(wide ? 1 : 0);
                continue;
            }
            const size_t n = std::min(room, t.size() - at);
            for (size_t i = at; i < at + n; ++i)
                data += wide ? S::u16(t[i]) : std::string(1, char(t[i]));
            at += n;
        }
    }
    flush();
    return records;
}

// An upload workbook: the sheet 数据信息 with our export's header row and the given rows.
inline void writeHandBuiltUpload(const std::string &path, const std::vector<HandRow> &rows)
{
    using S = xlstest::StreamBuilder;
    std::vector<std::u16string> texts;
    std::map<std::u16string, uint32_t> index;
    uint32_t uses = 0;
    std::string cells;
    const auto text = [&](uint16_t row, uint16_t col, const std::string &utf8) {
        const std::u16string t = QString::fromStdString(utf8).toStdU16String();
        auto it = index.find(t);
        if (it == index.end()) {
            it = index.emplace(t, uint32_t(texts.size())).first;
            texts.push_back(t);
        }
        ++uses;
        cells += S::rec(0x00FD, S::cell(row, col, 15) + S::u32(it->second));
    };
    const QStringList header = recordColumns().mid(1);
    for (int c = 0; c < header.size(); ++c)
        text(0, uint16_t(c), header[c].toStdString());
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const uint16_t row = uint16_t(r + 1), col = uint16_t(c);
            if (const auto *s = std::get_if<std::string>(&rows[r][c])) {
                if (!s->empty())
                    text(row, col, *s);
            } else {
                cells += S::rec(0x0203, S::cell(row, col, 15) + S::f64(std::get<double>(rows[r][c])));
            }
        }
    S b;
    b.globals({"数据信息", "修改日志"}, {}, {}, false, sharedStringRecords(texts, uses));
    b.sheet(cells);
    b.sheet("");
    b.save(path);
}

// A data row of the upload layout: a name, validated, dated; other cells empty.
inline HandRow handRow(const std::string &name)
{
    HandRow row(94, std::string());
    row[0] = name;
    row[91] = std::string("2014-03-05");
    row[92] = std::string("2014-03-05 9:05:07");
    row[93] = std::string("1");
    return row;
}

} // namespace kestrova::test
