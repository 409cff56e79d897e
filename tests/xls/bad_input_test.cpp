// Damaged and foreign files: each gives an XlsError saying what is wrong, never a crash, a
// hang or an allocation sized from an unchecked count; the same through the template filler.
#include "xls/errors.h"
#include "xls/reader.h"
#include "xls/template_filler.h"
#include "xls/writer.h"
#include "xls_test_support.h"

#include <gtest/gtest.h>

using namespace kestrova::xls;
using xlstest::StreamBuilder;
using xlstest::TempDir;

namespace {

// Opens with the reader (reading every sheet) and with the filler; both must fail with `code`.
void expectRefused(const std::string &path, ErrorCode code, const std::string &inMessage = {})
{
    SCOPED_TRACE(path);
    try {
        const auto reader = WorkbookReader::open(path);
        for (const auto &name : reader.sheetNames())
            reader.readSheet(name);
        ADD_FAILURE() << "the reader accepted it";
    } catch (const XlsError &e) {
        EXPECT_EQ(e.code(), code) << e.what();
        EXPECT_NE(std::string(e.what()).find(inMessage), std::string::npos) << e.what();
    }
    try {
        TemplateFiller filler(path);
        for (int s = 0; s < filler.sheetCount(); ++s)
            filler.setText(s, 0, 0, "x");
        ADD_FAILURE() << "the filler accepted it";
    } catch (const XlsError &e) {
        EXPECT_EQ(e.code(), code) << e.what();
    }
}

std::string validWorkbook(const TempDir &dir)
{
    Workbook book;
    Sheet &s = book.addSheet("数据信息");
    for (int r = 0; r < 40; ++r)
        for (int c = 0; c < 6; ++c)
            s.setText(r, c, "企业" + std::to_string(r * 6 + c));
    s.setNumber(40, 0, 12.5);
    const std::string path = dir.file("valid.xls");
    book.save(path);
    return xlstest::readFile(path);
}

void patch32(std::string &bytes, size_t at, uint32_t v)
{
    kestrova::xls::put32(reinterpret_cast<uint8_t *>(&bytes[at]), v);
}

TEST(XlsBadInput, ContainerDamage)
{
    TempDir dir;
    const std::string good = validWorkbook(dir);
    auto variant = [&](const std::string &name, const std::string &bytes) {
        const std::string path = dir.file(name);
        xlstest::writeFile(path, bytes);
        return path;
    };
    try {
        WorkbookReader::open(dir.file("does-not-exist.xls"));
        ADD_FAILURE();
    } catch (const XlsError &e) {
        EXPECT_EQ(e.code(), ErrorCode::CannotOpenFile);
    }
    expectRefused(variant("empty.xls", ""), ErrorCode::Truncated);
    expectRefused(variant("text.xls", "企业名称,数量\n甲,1\n"), ErrorCode::BadSignature,
                  "不是Excel 97-2003工作簿：文件头标志不对");
    expectRefused(variant("header-only.xls", good.substr(0, 300)), ErrorCode::Truncated);
    // The layout of our files: stream sectors, then the FAT, then the directory.
    const uint32_t fatSector = kestrova::xls::rd32(reinterpret_cast<const uint8_t *>(good.data()) + 0x4C);
    const size_t fat = (size_t(fatSector) + 1) * 512;
    std::string loop = good;
    patch32(loop, fat + 4 * 5, 2); // sector 5 -> 2: the Workbook chain loops
    expectRefused(variant("loop.xls", loop), ErrorCode::BadSectorChain, "循环");
    std::string outside = good;
    patch32(outside, fat + 4 * 3, 100000);
    expectRefused(variant("outside.xls", outside), ErrorCode::BadSectorChain, "文件之外");
    std::string fatOutside = good;
    patch32(fatOutside, 0x4C, 70000);
    expectRefused(variant("fat-outside.xls", fatOutside), ErrorCode::BadSectorChain);
    std::string difatLoop = good;
    patch32(difatLoop, 0x2C, 300); // more FAT sectors than the header lists: the DIFAT must go on...
    patch32(difatLoop, 0x44, 0);   // ...from sector 0, which names itself as the next
    patch32(difatLoop, 512 + 127 * 4, 0);
    expectRefused(variant("difat-loop.xls", difatLoop), ErrorCode::BadSectorChain);
    std::string huge = good;
    const size_t dir0 = (size_t(kestrova::xls::rd32(reinterpret_cast<const uint8_t *>(good.data()) + 0x30)) + 1) * 512;
    patch32(huge, dir0 + 128 + 0x78, 0xFFFFFF00u); // a stream size no file of this length can hold
    expectRefused(variant("huge.xls", huge), ErrorCode::Truncated);
    std::string noWorkbook = good;
    noWorkbook[dir0 + 128] = 'X';
    expectRefused(variant("no-workbook.xls", noWorkbook), ErrorCode::NoWorkbookStream);
}

TEST(XlsBadInput, EveryTruncationFailsCleanly)
{
    TempDir dir;
    const std::string good = validWorkbook(dir);
    const std::string path = dir.file("cut.xls");
    for (size_t n = 0; n < good.size(); n += 97) {
        xlstest::writeFile(path, good.substr(0, n));
        try {
            WorkbookReader::open(path).readSheet("数据信息");
        } catch (const XlsError &) {
        }
        try {
            TemplateFiller(path).setText(0, 0, 0, "x");
        } catch (const XlsError &) {
        }
    }
}

TEST(XlsBadInput, RecordDamage)
{
    TempDir dir;
    using S = StreamBuilder;
    auto build = [&](const std::string &name, const std::string &globalsExtra, const std::string &cells,
                     const std::string &sst = S::rec(0x00FC, S::u32(1) + S::u32(1) + S::u16(1) + '\0' + "a")) {
        StreamBuilder b;
        b.globals({"数据信息"}, {}, {}, false, globalsExtra + sst);
        b.sheet(cells);
        b.save(dir.file(name));
        return dir.file(name);
    };
    const std::string cell0 = S::rec(0x00FD, S::cell(0, 0, 15) + S::u32(0));
    expectRefused(build("filepass.xls", S::rec(0x002F, std::string(54, '\1')), cell0), ErrorCode::Encrypted);
    expectRefused(build("sst-index.xls", "", S::rec(0x00FD, S::cell(0, 0, 15) + S::u32(7))), ErrorCode::BadRecord,
                  "超出共享字符串表的1个字符串");
    // The table claims a million strings but holds one: the one is read, no huge allocation.
    EXPECT_EQ(readSheetCells(build("sst-count.xls", "", cell0, S::rec(0x00FC, S::u32(1) + S::u32(1000000) + S::u16(1) + '\0' + "a")),
                             "数据信息"),
              (std::vector<std::vector<std::string>>{{"a"}}));
    expectRefused(build("sst-cut.xls", "", cell0, S::rec(0x00FC, S::u32(1) + S::u32(1) + S::u16(50) + '\0' + "abc")),
                  ErrorCode::BadStringTable);
    expectRefused(build("mulrk.xls", "", S::rec(0x00BD, S::u16(0) + S::u16(0) + S::u16(15) + S::u32(2) + S::u16(9))),
                  ErrorCode::BadRecord, "末列与长度不符");
    expectRefused(build("short.xls", "", S::rec(0x0203, S::cell(0, 0, 15))), ErrorCode::BadRecord, "太短");
    // A record whose length runs past the end of the stream.
    StreamBuilder cut;
    cut.globals({"数据信息"}, {}, {}, false, "");
    cut.b.patch32(cut.b.bytes.find('\x85') + 4, uint32_t(cut.b.bytes.size()));
    cut.b.append(S::u16(0x0809) + S::u16(8000) + "xx");
    cut.save(dir.file("past-end.xls"));
    expectRefused(dir.file("past-end.xls"), ErrorCode::BadRecord, "超出数据流末尾");
    StreamBuilder globalsAsSheet; // a sheet position naming the globals' own BOF
    globalsAsSheet.globals({"数据信息"}, {}, {}, false, "");
    globalsAsSheet.save(dir.file("globals-as-sheet.xls"));
    expectRefused(dir.file("globals-as-sheet.xls"), ErrorCode::BadSheetOffset);
    StreamBuilder past;
    past.globals({"数据信息"}, {}, {}, false, S::u16(0x0042) + S::u16(60000));
    past.save(dir.file("past-end-globals.xls"));
    expectRefused(dir.file("past-end-globals.xls"), ErrorCode::BadRecord, "超出数据流末尾");
    // BIFF5: an Excel 95 workbook keeps its records in a stream named "Book"; its BOF says version 5.
    std::string biff5 = S::rec(0x0809, S::u16(0x0500) + S::u16(5) + std::string(4, '\0'));
    biff5.resize(600, '\0');
    xlstest::writeFile(dir.file("excel95.xls"), xlstest::miniStreamFile(biff5, "Book"));
    expectRefused(dir.file("excel95.xls"), ErrorCode::OldExcelVersion, "另存为");
    // A sheet position pointing into the middle of a record.
    StreamBuilder off;
    off.globals({"数据信息"}, {}, {}, false, "");
    off.sheet(cell0);
    off.b.patch32(off.b.bytes.find('\x85') + 4, 7);
    off.save(dir.file("offset.xls"));
    expectRefused(dir.file("offset.xls"), ErrorCode::BadSheetOffset);
}

TEST(XlsBadInput, MissingSheet)
{
    TempDir dir;
    validWorkbook(dir);
    try {
        readSheetCells(dir.file("valid.xls"), "数据");
        ADD_FAILURE();
    } catch (const XlsError &e) {
        EXPECT_EQ(e.code(), ErrorCode::SheetMissing);
        EXPECT_NE(std::string(e.what()).find("数据"), std::string::npos);
    }
    TemplateFiller filler(dir.file("valid.xls"));
    EXPECT_EQ(filler.sheetIndex("数据"), -1);
    EXPECT_EQ(filler.sheetIndex("数据信息"), 0);
}

} // namespace
