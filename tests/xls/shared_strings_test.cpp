// The shared string table: deduplication (texts whose hashes collide, texts that differ
// only in length or a NUL byte), batched adding giving the same indices as adding one by
// one, cells set again while their texts wait in a batch, and the table written in pieces
// (EXTSST offsets, sheet offsets after it) as readers see it.
#include "xls/reader.h"
#include "xls/record_reader.h"
#include "xls/shared_strings.h"
#include "xls/template_filler.h"
#include "xls/writer.h"
#include "xls_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

using namespace kestrova::xls;
using xlstest::TempDir;
using Grid = std::vector<std::vector<std::string>>;

namespace {

// Texts of every length class: empty, short ones that differ only in length or a trailing
// NUL, exactly 8 and 9 bytes, long ones that share their first and last 8 bytes.
std::vector<std::string> mixedTexts(size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    std::vector<std::string> out;
    out.reserve(n);
    const std::string fixed[] = {"", std::string(1, '\0'), "a", std::string("a\0", 2), std::string("a\0\0", 3),
                                 "abcdefgh", "abcdefghi", "企业", "1", "10", "100"};
    for (const auto &f : fixed)
        out.push_back(f);
    while (out.size() < n) {
        const uint32_t v = rng() % 200000; // repeats come back after many others
        switch (rng() % 5) {
        case 0: out.push_back(std::to_string(v % 5000)); break;
        case 1: out.push_back(std::to_string(v) + "." + std::to_string(v % 10)); break;
        case 2: out.push_back("企业-" + std::to_string(v) + "-名称"); break;
        case 3: out.push_back("prefix--" + std::to_string(v) + "--suffix"); break;
        default: out.push_back(std::to_string(v % 3000) + std::string(rng() % 4, '\0')); break;
        }
    }
    return out;
}

TEST(XlsSharedStrings, IndicesAreFirstAppearancesOneByOneOrBatched)
{
    const auto texts = mixedTexts(120000, 7); // enough to grow both tables several times
    std::unordered_map<std::string, uint32_t> first;
    std::vector<uint32_t> expected;
    for (const auto &t : texts)
        expected.push_back(first.emplace(t, uint32_t(first.size())).first->second);

    SharedStrings single;
    for (size_t i = 0; i < texts.size(); ++i)
        ASSERT_EQ(single.add(texts[i]), expected[i]) << "text " << i;
    ASSERT_EQ(single.count(), first.size());
    for (const auto &[text, index] : first)
        ASSERT_EQ(single.at(index), text);

    // Batches of every size up to the full one, delivered with their tags and places.
    SharedStrings batched;
    std::vector<uint32_t> got(texts.size(), UINT32_MAX);
    std::mt19937 rng(11);
    size_t i = 0;
    while (i < texts.size()) {
        const size_t n = std::min<size_t>(1 + rng() % SharedStrings::BatchSize, texts.size() - i);
        std::vector<uint32_t> places;
        for (size_t k = 0; k < n; ++k)
            places.push_back(batched.queue(texts[i + k], i + k));
        EXPECT_EQ(batched.queued(), n);
        batched.flush([&](uint64_t tag, uint32_t place, uint32_t index) {
            ASSERT_LT(tag, texts.size());
            EXPECT_EQ(places[tag - i], place);
            got[tag] = index;
        });
        EXPECT_EQ(batched.queued(), 0u);
        i += n;
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(batched.count(), single.count());
    // Adding one by one after batches continues the same numbering.
    EXPECT_EQ(batched.add(texts[5]), expected[5]);
    EXPECT_EQ(batched.add("never seen before, long"), single.count());
}

TEST(XlsSharedStrings, TextsPlacedTogetherStayApart)
{
    // Pairs found by a birthday search: long texts whose hashes agree in the 32 high bits
    // the table keeps (and places them by), and short ones that differ only in trailing
    // NULs yet land on the same slot of the first table: only the comparison of their
    // texts and lengths tells them apart.
    std::vector<std::pair<std::string, std::string>> pairs;
    std::unordered_map<uint32_t, std::string> seen;
    for (uint32_t n = 0; pairs.size() < 3 && n < 4000000; ++n) {
        std::string t = "collision candidate " + std::to_string(n);
        const auto [it, fresh] = seen.emplace(uint32_t(SharedStrings::hashOf(t) >> 32), t);
        if (!fresh)
            pairs.emplace_back(it->second, t);
    }
    ASSERT_EQ(pairs.size(), 3u);
    for (uint32_t n = 0; pairs.size() < 6 && n < 100000; ++n) {
        const std::string a = std::to_string(n), b = a + std::string(8 - a.size(), '\0');
        if (SharedStrings::hashOf(a) >> 54 == SharedStrings::hashOf(b) >> 54) // slot of 1,024
            pairs.emplace_back(a, b);
    }
    ASSERT_EQ(pairs.size(), 6u);
    SharedStrings s;
    std::vector<uint32_t> indices;
    for (const auto &[a, b] : pairs) {
        indices.push_back(s.add(a));
        indices.push_back(s.add(b));
    }
    EXPECT_EQ(indices, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    // Many more texts make the tables grow: the colliding ones keep their own indices.
    for (int k = 0; k < 50000; ++k) {
        s.add("filler text number " + std::to_string(k));
        s.add(std::to_string(k + 100000));
    }
    for (size_t p = 0; p < pairs.size(); ++p) {
        EXPECT_EQ(s.add(pairs[p].first), 2 * p);
        EXPECT_EQ(s.add(pairs[p].second), 2 * p + 1);
        EXPECT_EQ(s.at(uint32_t(2 * p + 1)), pairs[p].second);
    }
}

// Cells set again, out of column order and on two sheets while their texts wait in one
// batch: each cell shows its last value, in our reader and in xlrd.
TEST(XlsSharedStrings, CellsChangedWhileTheirTextsWaitReadBackRight)
{
    TempDir dir;
    Workbook book;
    Sheet &a = book.addSheet("甲");
    Sheet &b = book.addSheet("乙");
    Grid expectA(4), expectB(2);
    a.setText(0, 0, "first");
    a.setText(0, 0, "second"); // replaced in the same batch
    expectA[0] = {"second"};
    for (int c = 9; c >= 0; --c) { // right to left: every cell moves the ones queued before
        a.setText(1, c, "r" + std::to_string(c));
        b.setText(0, c, "乙" + std::to_string(c));
    }
    for (int c = 0; c < 10; ++c) {
        expectA[1].push_back("r" + std::to_string(c));
        expectB[0].push_back("乙" + std::to_string(c));
    }
    a.setText(2, 0, "becomes a number");
    a.setNumber(2, 0, 5);
    a.setNumber(2, 1, 6);
    a.setText(2, 1, "was a number");
    expectA[2] = {"5", "was a number"};
    // A full sheet's worth of batches, set column by column.
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 400; ++r)
            b.setText(1 + r, c, c == 1 ? std::to_string(r % 7) : "行" + std::to_string(r) + "列" + std::to_string(c));
    expectB.resize(401);
    for (int r = 0; r < 400; ++r)
        for (int c = 0; c < 3; ++c)
            expectB[size_t(1 + r)].push_back(c == 1 ? std::to_string(r % 7) : "行" + std::to_string(r) + "列" + std::to_string(c));
    a.setText(3, 2, "last, still queued at save");
    expectA[3] = {"", "", "last, still queued at save"};
    const std::string path = dir.file("changed.xls");
    book.save(path);

    EXPECT_EQ(readSheetCells(path, "甲"), expectA);
    EXPECT_EQ(readSheetCells(path, "乙"), expectB);
    bool ok = false;
    const std::string out = xlstest::run(
        xlstest::python() + " -c \"import xlrd; b = xlrd.open_workbook('" + path +
            "'); a = b.sheet_by_index(0); s = b.sheet_by_index(1); print(a.cell_value(0, 0), a.cell_value(1, 0), "
            "a.cell_value(1, 9), a.cell_value(2, 0), a.cell_value(2, 1), a.cell_value(3, 2), s.cell_value(0, 3), s.cell_value(400, 2))\"",
        ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(out, "second r0 r9 5.0 was a number last, still queued at save 乙3 行399列2\n");
}

TEST(XlsSharedStrings, FillerCellsChangedWhileTheirTextsWaitReadBackRight)
{
    TempDir dir;
    {
        Workbook book;
        Sheet &s = book.addSheet("表");
        s.setText(0, 0, "模板");
        s.setNumber(0, 3, 1.5);
        s.merge(2, 0, 2, 3);
        book.addSheet("第二").setText(0, 0, "不变");
        book.save(dir.file("template.xls"));
    }
    TemplateFiller f(dir.file("template.xls"));
    f.setText(0, 0, 5, "f");
    f.setText(0, 0, 4, "e"); // before a queued cell of its row
    f.setText(0, 0, 3, "replaces a number");
    f.setText(0, 0, 0, "old");
    EXPECT_EQ(f.text(0, 0, 0), "old") << "a queued text reads back";
    f.setText(0, 0, 0, "new");
    f.setText(0, 2, 2, "into the merge"); // goes to its top-left cell
    f.setText(1, 1, 1, "第二页");
    f.setText(0, 1, 0, "x1");
    f.setText(0, 1, 0, "x2"); // replaced in the same batch
    EXPECT_EQ(f.text(0, 2, 0), "into the merge");
    for (int r = 3; r < 600; ++r)
        f.setText(0, r, 1, "行" + std::to_string(r));
    const std::string path = dir.file("filled.xls");
    f.save(path);

    Grid expected(600);
    expected[0] = {"new", "", "", "replaces a number", "e", "f"};
    expected[1] = {"x2"};
    expected[2] = {"into the merge"};
    for (int r = 3; r < 600; ++r)
        expected[size_t(r)] = {"", "行" + std::to_string(r)};
    EXPECT_EQ(readSheetCells(path, "表"), expected);
    EXPECT_EQ(readSheetCells(path, "第二"), (Grid{{"不变"}, {"", "第二页"}}));
    bool ok = false;
    const std::string out = xlstest::run(xlstest::python() + " -c \"import xlrd; s = xlrd.open_workbook('" + path +
                                             "').sheet_by_index(0); print(s.cell_value(0, 0), s.cell_value(0, 3), s.cell_value(599, 1))\"",
                                         ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(out, "new replaces a number 行599\n");
}

// Whether a SST or CONTINUE record starts at `recordAt`.
bool inStringRecord(const std::string &stream, size_t recordAt)
{
    const auto *p = reinterpret_cast<const uint8_t *>(stream.data()) + recordAt;
    return recordAt + 4 <= stream.size() && (rd16(p) == 0x00FC || rd16(p) == 0x003C);
}

// A table of well over a megabyte goes to the file in pieces while it is written: every
// EXTSST entry still points at the start of its string (stream offset and offset in the
// record), for the writer and for the filler, and the sheets after the table are found.
TEST(XlsSharedStrings, LargeTableWrittenInPiecesKeepsItsIndexRight)
{
    TempDir dir;
    std::vector<std::string> texts;
    for (int i = 0; i < 40000; ++i) // wide and 8-bit texts, some straddling CONTINUE boundaries
        texts.push_back(i % 3 ? "企业名称" + std::to_string(i) + "号仓库" : "Latin-1 é text " + std::to_string(i));
    {
        Workbook book;
        book.addSheet("说明").setText(0, 0, "前");
        Sheet &s = book.addSheet("数据");
        for (size_t i = 0; i < texts.size(); ++i)
            s.setText(int(i / 8), int(i % 8), texts[i]);
        book.save(dir.file("big.xls"));
    }
    {
        Workbook book;
        book.addSheet("数据").setText(0, 0, "模板");
        book.save(dir.file("template.xls"));
        TemplateFiller f(dir.file("template.xls"));
        for (size_t i = 0; i < texts.size(); ++i)
            f.setText(0, int(i / 8) + 1, int(i % 8), texts[i]);
        f.save(dir.file("filled.xls"));
    }
    for (const char *name : {"big.xls", "filled.xls"}) {
        SCOPED_TRACE(name);
        const bool filled = std::string(name) == "filled.xls";
        const std::string first = filled ? "模板" : "前"; // the one string before `texts`
        const std::string stream = readWorkbookStream(dir.file(name));
        RecordReader reader(stream, 0);
        Record r;
        std::string ext;
        while (reader.next(r) && r.type != 0x000A)
            if (r.type == 0x00FF)
                ext.assign(reinterpret_cast<const char *>(r.data), r.size);
        ASSERT_GE(ext.size(), 2u);
        const auto *e = reinterpret_cast<const uint8_t *>(ext.data());
        const size_t perBucket = rd16(e);
        const size_t buckets = (ext.size() - 2) / 8;
        ASSERT_EQ(buckets, (texts.size() + 1 + perBucket - 1) / perBucket);
        for (size_t k = 0; k < buckets; ++k) {
            const size_t at = rd32(e + 2 + 8 * k), inRecord = rd16(e + 6 + 8 * k);
            ASSERT_TRUE(inStringRecord(stream, at - inRecord)) << "bucket " << k;
            const size_t index = k * perBucket;
            const std::string &want = index == 0 ? first : texts[index - 1];
            size_t units = 0;
            bool latin1 = false;
            ASSERT_TRUE(measureUtf8(want, units, latin1));
            const auto *p = reinterpret_cast<const uint8_t *>(stream.data()) + at;
            ASSERT_EQ(rd16(p), units) << "bucket " << k;
            ASSERT_EQ(p[2] & 1, latin1 ? 0 : 1) << "bucket " << k;
        }
        const Grid cells = readSheetCells(dir.file(name), "数据");
        ASSERT_EQ(cells.size(), texts.size() / 8 + filled);
        EXPECT_EQ(cells.back().back(), texts.back());
        EXPECT_EQ(cells[filled + 1234 / 8][1234 % 8], texts[1234]);
    }
    bool ok = false;
    const std::string out = xlstest::run(xlstest::python() + " -c \"import xlrd; s = xlrd.open_workbook('" + dir.file("filled.xls") +
                                             "').sheet_by_name('数据'); print(s.nrows, s.cell_value(5000, 7))\"",
                                         ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(out, "5001 " + texts[4999 * 8 + 7] + "\n");
}

} // namespace
