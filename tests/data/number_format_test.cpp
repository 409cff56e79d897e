#include "data/number_format.h"

#include <gtest/gtest.h>

using kestrova::formatGeneral;

TEST(GeneralNumberFormat, ShortestFormWithFifteenDigits)
{
    EXPECT_EQ(formatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatGeneral(2500.0 / 10000.0), "0.25");
    EXPECT_EQ(formatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(formatGeneral(410102), "410102");
    EXPECT_EQ(formatGeneral(-12.5), "-12.5");
    EXPECT_EQ(formatGeneral(100), "100");
}

TEST(GeneralNumberFormat, ZeroIsPlain)
{
    EXPECT_EQ(formatGeneral(0.0), "0");
    EXPECT_EQ(formatGeneral(-0.0), "0");
}

TEST(GeneralNumberFormat, SwitchesToScientificAtTheLimits)
{
    EXPECT_EQ(formatGeneral(1e-5), "0.00001");
    EXPECT_EQ(formatGeneral(9.99999e-6), "9.99999E-6");
    EXPECT_EQ(formatGeneral(-2.5e-7), "-2.5E-7");
    EXPECT_EQ(formatGeneral(999999999999999.0), "999999999999999");
    EXPECT_EQ(formatGeneral(1e15), "1E+15");
    EXPECT_EQ(formatGeneral(123456789012345678.0), "1.23456789012346E+17");
}

TEST(GeneralNumberFormat, ParsesWhatItWrites)
{
    for (double v : {0.3, 1e-7, 1e15, -42.0, 123456789012345.0})
        EXPECT_DOUBLE_EQ(*kestrova::parseNumber(formatGeneral(v)), std::stod(formatGeneral(v).toStdString()));
    EXPECT_FALSE(kestrova::parseNumber(QStringLiteral("abc")));
    EXPECT_FALSE(kestrova::parseNumber(QString()));
    EXPECT_EQ(*kestrova::parseNumberOrZero(QStringLiteral("  ")), 0.0);
}

TEST(GeneralNumberFormat, FifteenSignificantDigitsFitMoreDoNot)
{
    using kestrova::fitsGeneralFormat;
    // What the format would show differently from what was typed.
    EXPECT_TRUE(fitsGeneralFormat(QStringLiteral("999999999999999")));
    EXPECT_FALSE(fitsGeneralFormat(QStringLiteral("9999999999999999")));
    EXPECT_FALSE(fitsGeneralFormat(QStringLiteral("99999999999999999999")));
    EXPECT_FALSE(fitsGeneralFormat(QStringLiteral("12345678901234567890123")));
    EXPECT_FALSE(fitsGeneralFormat(QStringLiteral("0.1234567890123456")));
    // Zeros that only place the point do not count.
    EXPECT_TRUE(fitsGeneralFormat(QStringLiteral("100000000000000000000")));
    EXPECT_TRUE(fitsGeneralFormat(QStringLiteral("0.000000000000000000012345")));
    EXPECT_TRUE(fitsGeneralFormat(QStringLiteral("  -0012.500  ")));
    EXPECT_TRUE(fitsGeneralFormat(QStringLiteral("1.23456789012345E+30")));
    EXPECT_TRUE(fitsGeneralFormat(QString()));
}
