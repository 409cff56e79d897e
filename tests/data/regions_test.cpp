#include "data/regions.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

using namespace kestrova;

TEST(Regions, PrefixesAndLists)
{
    test::TempStore s;
    Database &db = *s.db;
    EXPECT_EQ(provincePrefix(db, "河南省"), "41");
    EXPECT_EQ(provincePrefix(db, "没有这个省"), "");
    EXPECT_EQ(provinceNames(db).size(), 31);
    const QStringList cities = citiesOfProvince(db, "河南省");
    EXPECT_EQ(cities.value(0), "郑州市");
    EXPECT_TRUE(citiesOfProvince(db, "没有这个省").isEmpty());
    EXPECT_EQ(cityPrefix(db, "河南省", "郑州市"), "4101");
    EXPECT_TRUE(countiesOfCity(db, "河南省", "郑州市").contains("中原区"));
    EXPECT_EQ(countyCode(db, "河南省", "郑州市", "中原区"), "410102");
    EXPECT_EQ(countyCode(db, "河南省", "郑州市", "打错的县"), "");
}

TEST(Regions, SameNamedCitiesAreToldApartByProvince)
{
    test::TempStore s;
    Database &db = *s.db;
    EXPECT_EQ(cityPrefix(db, "北京市", "市辖区"), "1101");
    EXPECT_EQ(cityPrefix(db, "天津市", "市辖区"), "1201");
    EXPECT_TRUE(countiesOfCity(db, "北京市", "市辖区").contains("东城区"));
    EXPECT_FALSE(countiesOfCity(db, "天津市", "市辖区").contains("东城区"));
    EXPECT_EQ(countyCode(db, "北京市", "市辖区", "东城区"), "110101");
    EXPECT_EQ(countyCode(db, "天津市", "市辖区", "东城区"), "");
}

TEST(Regions, TaskCodeByDeepestPlace)
{
    test::TempStore s;
    Database &db = *s.db;
    EXPECT_EQ(taskRegionCode(db, "", "", ""), "000000");
    EXPECT_EQ(taskRegionCode(db, "河南省", "", ""), "410000");
    EXPECT_EQ(taskRegionCode(db, "河南省", "郑州市", ""), "410100");
    EXPECT_EQ(taskRegionCode(db, "河南省", "郑州市", "中原区"), "410102");
}
