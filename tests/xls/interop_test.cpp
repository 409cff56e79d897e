// Headless LibreOffice as the "real spreadsheet program": it opens what we write and what we
// fill, and it makes the "saved by another program" template (typed numbers and dates, small
// enough to sit in the mini stream). Two soffice runs in all: they are slow.
#include "xls/reader.h"
#include "xls/template_filler.h"
#include "xls/writer.h"
#include "oracles.h"

#include <gtest/gtest.h>

#include <set>

using namespace kestrova::xls;
using xlstest::Grid;
using xlstest::parseCsv;
using xlstest::soffice;
using xlstest::TempDir;

namespace {

std::string csvOf(const TempDir &dir, const std::string &stem)
{
    for (const auto &e : std::filesystem::directory_iterator(dir.file("csv")))
        if (e.path().filename().string().rfind(stem + "-", 0) == 0)
            return xlstest::readFile(e.path().string());
    ADD_FAILURE() << "LibreOffice wrote no CSV for " << stem;
    return {};
}

TEST(XlsInterop, LibreOfficeOpensOursAndWeReadAndFillItsWorkbooks)
{
    if (!xlstest::haveSoffice())
        GTEST_SKIP() << "soffice not installed";
    TempDir dir;
    // Ours: texts with separators and quotes, numbers, two sheets.
    Workbook book;
    Sheet &s = book.addSheet("数据信息");
    const Grid ours = {{"企业名称", "地址, 含逗号", "引号\"内\""}, {"12", "-3.25", "0.5"}, {"甲", "", "1E-7"}};
    s.setText(0, 0, ours[0][0]);
    s.setText(0, 1, ours[0][1]);
    s.setText(0, 2, ours[0][2]);
    s.setNumber(1, 0, 12);
    s.setNumber(1, 1, -3.25);
    s.setNumber(1, 2, 0.5);
    s.setText(2, 0, "甲");
    s.setText(2, 2, "1E-7");
    book.addSheet("修改日志").setText(0, 0, "日志");
    book.save(dir.file("ours.xls"));

    // LibreOffice's own workbook, typed from CSV: numbers and dates.
    xlstest::writeFile(dir.file("lo.csv"), "企业名称,数量,日期,比例\n甲公司,12,2013-05-01,0.5\n乙公司,-3.25,2014-12-31 08:05:09,1E-7\n");
    soffice(dir, "--infilter='Text - txt - csv (StarCalc):44,34,76,1' --convert-to xls --outdir " + dir.path().string() + " lo.csv");
    const std::string lo = dir.file("lo.xls");
    EXPECT_EQ(readSheetCells(lo, "lo"), (Grid{{"企业名称", "数量", "日期", "比例"},
                                             {"甲公司", "12", "2013-05-01", "0.5"},
                                             {"乙公司", "-3.25", "2014-12-31 8:05:09", "1E-07"}}));

    TemplateFiller filler(lo);
    filler.setText(0, 0, 0, filler.text(0, 0, 0) + "（已填）");
    filler.setText(0, 1, 1, "99");
    filler.setText(0, 3, 0, "丙公司");
    filler.save(dir.file("filled.xls"));
    EXPECT_EQ(readSheetCells(dir.file("filled.xls"), "lo"), (Grid{{"企业名称（已填）", "数量", "日期", "比例"},
                                                                   {"甲公司", "99", "2013-05-01", "0.5"},
                                                                   {"乙公司", "-3.25", "2014-12-31 8:05:09", "1E-07"},
                                                                   {"丙公司"}}));
    const auto walk = xlstest::walkWorkbook(dir.file("filled.xls"));
    EXPECT_TRUE(walk.problems.empty()) << ::testing::PrintToString(walk.problems);
    const auto walkBefore = xlstest::walkWorkbook(lo);
    for (const auto &[cell, xf] : walkBefore.xfs[0])
        EXPECT_EQ(walk.xfs[0].at(cell), xf) << "cell " << cell.first << "," << cell.second << " keeps its format";
    bool ok = false;
    xlstest::run(xlstest::python() + " " + xlstest::script("xlrd_formats.py") + " " + dir.file("filled.xls") + " >/dev/null", ok);
    EXPECT_TRUE(ok) << "xlrd opens the filled LibreOffice workbook";

    // LibreOffice opens both, showing every cell as we meant it.
    soffice(dir, "--convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,1' --outdir " +
                     dir.file("csv") + " ours.xls filled.xls");
    Grid shown = ours;
    shown[2].resize(3);
    EXPECT_EQ(parseCsv(csvOf(dir, "ours")), shown);
    EXPECT_EQ(parseCsv(csvOf(dir, "filled")), (Grid{{"企业名称（已填）", "数量", "日期", "比例"},
                                                    {"甲公司", "99", "2013-05-01", "0.5"},
                                                    {"乙公司", "-3.25", "2014-12-31 08:05:09", "1.00E-07"},
                                                    {"丙公司", "", "", ""}}));
}

} // namespace
