// The printed return: the shared indicator cell map, the generated paper-form
// templates and the filled workbook, read back through python3-xlrd.
#include "support/xls_cells.h"
#include "records/printed/printed_cell_map.h"
#include "records/printed/printed_return.h"
#include "records/printed/printed_templates.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

using namespace kestrova;
using kestrova::test::readWithXlrd;

namespace {

// The paper form's addresses, written out independently of the layout code.
SheetCell expectedCell(int k)
{
    if (k <= 21)
        return {9 + k, 5};
    if (k == 22)
        return {32, 5};
    if (k <= 37)
        return {k - 13, 10};
    if (k <= 53)
        return {std::array{27, 28, 30, 31}[size_t((k - 38) / 4)], 7 + (k - 38) % 4};
    if (k == 54)
        return {32, 10};
    if (k == 55)
        return {10, 15};
    if (k <= 69)
        return {k - 44, 15};
    return {std::array{26, 28, 30}[size_t(k - 70)], 15};
}

const SheetCell kIdentityCells[] = {
    returnCells::name,      returnCells::address,  returnCells::postcode, returnCells::phone,
    returnCells::orgCode,   returnCells::ownership, returnCells::legalRep, returnCells::affiliation,
    returnCells::business,  returnCells::year,      returnCells::remarks,  returnCells::head,
    returnCells::filler,    returnCells::filingDate};

PrintedReturnFields sampleFields()
{
    PrintedReturnFields f;
    f.name = QStringLiteral("郑州中心粮库");
    f.province = QStringLiteral("河南省");
    f.city = QStringLiteral("郑州市");
    f.county = QStringLiteral("金水区");
    f.address = QStringLiteral("花园路 8 号");
    f.postcode = QStringLiteral("010010");
    f.phone = QStringLiteral("13937100000");
    f.orgCode = QStringLiteral("45000012-3");
    f.ownership = QStringLiteral("国有");
    f.legalRep = QStringLiteral("王五");
    f.affiliation = QStringLiteral("郑州中心粮库");
    f.business = QStringLiteral("储备");
    f.year = QStringLiteral("2013");
    for (int k = 1; k <= kIndicatorCount; ++k)
        f.indicators[size_t(k - 1)] = QString::number(k * 10 + 0.5);
    f.indicators[1] = QStringLiteral("0.3");             // 0.1 + 0.2 as the form shows it
    f.indicators[2] = QStringLiteral("123456789012345"); // 15 digits
    f.remarks = QStringLiteral("无");
    f.head = QStringLiteral("张三");
    f.filler = QStringLiteral("李四");
    f.filingDate = QDate(2014, 3, 5);
    return f;
}

class PrintedReturn : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writePaperFormTemplates(dir.filePath(QStringLiteral("templet")).toStdString());
        templatePath = dir.filePath(QString::fromUtf8(kPrintedReturnTemplate));
    }
    QTemporaryDir dir;
    QString templatePath;
};

} // namespace

TEST(PrintedCellMap, IndicatorCellsAreThoseOfThePaperForm)
{
    std::set<std::pair<int, int>> seen;
    for (int k = 1; k <= kIndicatorCount; ++k) {
        EXPECT_EQ(indicatorCell(k), expectedCell(k)) << "indicator " << k;
        seen.insert({indicatorCell(k).row, indicatorCell(k).column});
    }
    EXPECT_EQ(seen.size(), size_t(kIndicatorCount));
    for (SheetCell c : kIdentityCells)
        EXPECT_FALSE(seen.count({c.row, c.column})) << c.row << "," << c.column;
}

TEST(PrintedCellMap, DefaultFileNameHasFullWidthOpeningAndAsciiClosing)
{
    EXPECT_EQ(printedReturnFileName(QDate(2014, 3, 5)), QStringLiteral("Kestrova年报表（03-05)"));
    EXPECT_EQ(printedReturnFileName(QDate(2014, 12, 25)), QStringLiteral("Kestrova年报表（12-25)"));
}

TEST_F(PrintedReturn, TemplateIsThePaperFormWithEveryValueCellFreeAndUnmerged)
{
    const auto t = readWithXlrd(templatePath);
    ASSERT_TRUE(t.ok);
    EXPECT_EQ(t.at(1, 1), QStringLiteral("Kestrova年报表"));
    EXPECT_EQ(t.at(3, 1), QStringLiteral("企业名称："));
    EXPECT_EQ(t.at(33, 12), QStringLiteral("填报日期："));
    for (int k = 1; k <= kIndicatorCount; ++k) {
        const SheetCell c = indicatorCell(k);
        EXPECT_EQ(t.at(c), QString()) << "indicator " << k;
        // A value cell inside a merged block other than its corner would not show.
        const QJsonArray m = t.mergeOf(c);
        EXPECT_TRUE(m.isEmpty() || (m[0].toInt() == c.row && m[1].toInt() == c.column)) << "indicator " << k;
    }
    for (SheetCell c : kIdentityCells) {
        const QJsonArray m = t.mergeOf(c);
        EXPECT_TRUE(m.isEmpty() || (m[0].toInt() == c.row && m[1].toInt() == c.column)) << c.row << "," << c.column;
    }
}

TEST_F(PrintedReturn, TemplateCaptionsStandOnTheRowsOfTheirCells)
{
    const auto t = readWithXlrd(templatePath);
    ASSERT_TRUE(t.ok);
    // Listed indicators: caption and unit to the left of the value in the same block.
    for (int k : {1, 10, 12, 14, 21, 22, 23, 31, 37, 54, 55, 57, 62, 69, 70, 72}) {
        const SheetCell c = indicatorCell(k);
        QStringList rowTexts;
        for (int col = c.column - 4; col < c.column; ++col)
            rowTexts << t.at(c.row, col);
        EXPECT_TRUE(rowTexts.contains(QString::fromUtf8(indicator(k).caption.data()))) << "indicator " << k;
        EXPECT_EQ(t.at(c.row, c.column - 1), QString::fromUtf8(indicator(k).unit.data())) << "indicator " << k;
    }
    // Tank and open-air tables: captions as column heads, row labels in the first column.
    EXPECT_EQ(t.at(26, 7), QStringLiteral("小于1000"));
    EXPECT_EQ(t.at(26, 10), QStringLiteral("10000以上"));
    EXPECT_EQ(t.at(27, 6), QStringLiteral("数量（个）"));
    EXPECT_EQ(t.at(28, 6), QStringLiteral("罐容（吨）"));
    EXPECT_EQ(t.at(29, 9), QStringLiteral("存粮（吨）"));
    EXPECT_EQ(t.at(30, 6), QStringLiteral("露天囤"));
    EXPECT_EQ(t.at(31, 6), QStringLiteral("露天垛"));
    EXPECT_EQ(t.at(9, 1), QStringLiteral("基本情况"));
    EXPECT_EQ(t.at(9, 11), QStringLiteral("机械设备情况"));
}

TEST_F(PrintedReturn, EveryCellOfTheMapHoldsWhatTheFormShows)
{
    const QString out = dir.filePath(QStringLiteral("out.xls"));
    const PrintedReturnFields f = sampleFields();
    writePrintedReturn(templatePath, out, f);
    const auto x = readWithXlrd(out);
    ASSERT_TRUE(x.ok);
    EXPECT_EQ(x.at(returnCells::name), f.name);
    EXPECT_EQ(x.at(returnCells::address), QStringLiteral("河南省郑州市金水区花园路 8 号"));
    EXPECT_EQ(x.at(returnCells::postcode), f.postcode);
    EXPECT_EQ(x.at(returnCells::phone), f.phone);
    EXPECT_EQ(x.at(returnCells::orgCode), f.orgCode);
    EXPECT_EQ(x.at(returnCells::ownership), f.ownership);
    EXPECT_EQ(x.at(returnCells::legalRep), f.legalRep);
    EXPECT_EQ(x.at(returnCells::affiliation), f.affiliation);
    EXPECT_EQ(x.at(returnCells::business), f.business);
    EXPECT_EQ(x.at(returnCells::year), QStringLiteral("年度：2013"));
    EXPECT_EQ(x.at(returnCells::remarks), f.remarks);
    EXPECT_EQ(x.at(returnCells::head), f.head);
    EXPECT_EQ(x.at(returnCells::filler), f.filler);
    EXPECT_EQ(x.at(returnCells::filingDate), QStringLiteral("2014-03-05"));
    // Indicators are numbers a spreadsheet adds up; codes, telephone, year and date keep
    // their form as text.
    for (int k = 1; k <= kIndicatorCount; ++k) {
        EXPECT_EQ(x.at(indicatorCell(k)), f.indicators[size_t(k - 1)]) << "indicator " << k;
        EXPECT_TRUE(x.isNumber(indicatorCell(k))) << "indicator " << k;
    }
    for (SheetCell c : kIdentityCells)
        EXPECT_FALSE(x.isNumber(c)) << c.row << "," << c.column;
    // The template's captions stay.
    EXPECT_EQ(x.at(3, 1), QStringLiteral("企业名称："));
}

TEST_F(PrintedReturn, FieldsShownEmptyAreWrittenEmptyNotZero)
{
    PrintedReturnFields f = sampleFields();
    f.indicators.fill(QString());
    f.indicators[0] = QStringLiteral("12");
    f.indicators[1] = QStringLiteral("007"); // typed so: only text keeps its zeros
    f.remarks.clear();
    f.filingDate = QDate();
    const QString out = dir.filePath(QStringLiteral("empty.xls"));
    writePrintedReturn(templatePath, out, f);
    const auto x = readWithXlrd(out);
    ASSERT_TRUE(x.ok);
    EXPECT_EQ(x.at(indicatorCell(1)), QStringLiteral("12"));
    EXPECT_EQ(x.at(indicatorCell(2)), QStringLiteral("007"));
    EXPECT_FALSE(x.isNumber(indicatorCell(2)));
    for (int k = 3; k <= kIndicatorCount; ++k)
        EXPECT_EQ(x.at(indicatorCell(k)), QString()) << "indicator " << k;
    EXPECT_EQ(x.at(returnCells::remarks), QString());
    EXPECT_EQ(x.at(returnCells::filingDate), QString());
}

TEST_F(PrintedReturn, ExistingFileIsReplacedAndMissingTemplateFails)
{
    const QString out = dir.filePath(QStringLiteral("old.xls"));
    {
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, 'x'));
    }
    writePrintedReturn(templatePath, out, sampleFields());
    EXPECT_EQ(readWithXlrd(out).at(returnCells::name), QStringLiteral("郑州中心粮库"));

    EXPECT_ANY_THROW(writePrintedReturn(dir.filePath(QStringLiteral("missing.xls")), dir.filePath("x.xls"), sampleFields()));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.xls"))));
}
