// The per-cell short paths must agree with the general helpers on every input.
#include "transfer/cell_text.h"

#include "data/datetime_text.h"
#include "data/number_format.h"

#include <gtest/gtest.h>

#include <random>

using namespace kestrova;
using namespace kestrova::transfer;

TEST(CellText, NumberTextAgreesWithTheGeneralFormat)
{
    std::mt19937_64 gen(5);
    std::vector<double> values{0.0, -0.0, 1, -1, 12, 999999999999999, 1e15, -1e15, 1e16, 0.5, 1.5e-6, 0.1 + 0.2,
                               123456789.125, 1e-5, 2e300, -7.25};
    for (int i = 0; i < 20000; ++i) {
        values.push_back(double(std::uniform_int_distribution<qint64>(-2000000000000000, 2000000000000000)(gen)));
        values.push_back(std::uniform_real_distribution<double>(-1e6, 1e6)(gen));
    }
    for (double v : values)
        ASSERT_EQ(numberText(v).toStdString(), formatGeneral(v).toStdString()) << v;
}

TEST(CellText, DateTextAgreesWithTheDisplayForm)
{
    for (const char *s : {"2014-03-05", "2014-03-05 09:05:07", "2014-03-05 00:00:00", "2014-03-05 23:59:59",
                          "2014-02-30", "2014-02-30 10:00:00", "2014-03-05 24:00:00", "2014-03-05 9:05:07", "",
                          "备注", "2014/03/05", "2014-03-05T10:00:00", "20140305", "2014-3-5"})
        EXPECT_EQ(dateText(QString::fromUtf8(s)).toStdString(), displayDateTime(QString::fromUtf8(s)).toStdString())
            << s;
}

TEST(CellText, CellNumberAgreesWithParseNumber)
{
    for (const char *s : {"12", "-0.5", "1E+15", "1.5E-06", " 12 ", "+5", "+-5", "-", ".5", "5.", "1e400", "inf",
                          "nan", "abc", "12,5", "0x10", "1e", "", "１２", "--1", "1.2.3", "00012"}) {
        const auto fast = cellNumber(QString::fromUtf8(s));
        const auto general = parseNumber(QString::fromUtf8(s));
        ASSERT_EQ(fast.has_value(), general.has_value()) << s;
        if (fast) {
            EXPECT_EQ(*fast, *general) << s;
        }
    }
}

TEST(CellText, StoredDateOfWorkbookTexts)
{
    EXPECT_EQ(storedDateOf("2014-03-05"), "2014-03-05");
    EXPECT_EQ(storedDateOf("2014-03-05 9:05:07"), "2014-03-05 09:05:07");
    EXPECT_EQ(storedDateOf("2014-03-05 19:05:07"), "2014-03-05 19:05:07");
    EXPECT_EQ(storedDateOf("2014-3-5"), "2014-03-05");
    EXPECT_EQ(storedDateOf("2014/03/05 9:05"), "2014-03-05 09:05:00");
    EXPECT_EQ(storedDateOf("2014-02-30"), std::nullopt);
    EXPECT_EQ(storedDateOf("2014-03-05 25:05:07"), std::nullopt);
    EXPECT_EQ(storedDateOf("昨天"), std::nullopt);
}
