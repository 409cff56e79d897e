#include "transfer/upload_name.h"

#include <gtest/gtest.h>

using namespace kestrova::transfer;

TEST(UploadName, PlaceLevelsAreNamedByTheirPlaceWithoutGapsForEmptyParts)
{
    EXPECT_EQ(unitLabel("地级汇总", "河南省", "郑州市", ""), "河南省郑州市");
    EXPECT_EQ(unitLabel("省级汇总", "河南省", "", ""), "河南省");
    EXPECT_EQ(unitLabel("县级汇总", "河南省", "郑州市", "中原区"), "河南省郑州市中原区");
}

TEST(UploadName, OtherLevelsAreNamedByTheLevelItself)
{
    EXPECT_EQ(unitLabel("国家级汇总", "河南省", "", ""), "国家级汇总");
    EXPECT_EQ(unitLabel("中储粮", "", "", ""), "中储粮");
    EXPECT_EQ(unitLabel("", "河南省", "", ""), "");
}

TEST(UploadName, DateIsTwoDigitMonthAndDay)
{
    EXPECT_EQ(suggestedUploadName("河南省", QDate(2014, 5, 7)), "(仓储)上报文件-河南省-05-07");
    EXPECT_EQ(suggestedUploadName("国家级汇总", QDate(2013, 12, 31)), "(仓储)上报文件-国家级汇总-12-31");
}
