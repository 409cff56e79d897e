#include "data/context.h"
#include "data/task_record.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

using namespace kestrova;

TEST(TaskRecord, ChecksInOrderWithTheirMessages)
{
    TaskRecord t;
    auto check = [&] { return checkTask(t, placePickersFor(t.level)); };
    t.year = " ";
    EXPECT_EQ(check()->message, "填报年份不能为空！");
    t.year = "2013";
    EXPECT_EQ(check()->message, "汇总级别不能为空！");
    EXPECT_EQ(check()->focus, TaskField::Level);
    t.level = "县级汇总";
    EXPECT_EQ(check()->message, " 请选择省！");
    t.province = "河南省";
    EXPECT_EQ(check()->message, "请选择地市！");
    t.city = "郑州市";
    EXPECT_EQ(check()->message, "请选择县！");
    EXPECT_EQ(check()->focus, TaskField::County);
    t.county = "中原区";
    EXPECT_FALSE(check());
    t.level = "国家级汇总";
    t.province = t.city = t.county = "";
    EXPECT_FALSE(check()) << "the national level needs no place";
    t.level = "地级汇总";
    t.province = "河南省";
    EXPECT_EQ(check()->message, "请选择地市！");
}

TEST(TaskRecord, SaveReplacesTheRowAndLoadsTheContext)
{
    test::TempStore s;
    TaskRecord t{"2013", "省级汇总", "河南省", "", "", "410000", ""};
    saveTask(*s.db, t);
    t.level = "地级汇总";
    t.city = "郑州市";
    saveTask(*s.db, t);
    EXPECT_EQ(s.db->scalar("SELECT count(*) FROM 任务信息"), "1");
    loadTaskIntoContext(*s.db);
    EXPECT_TRUE(context().hasTask);
    EXPECT_EQ(context().level, "地级汇总");
    EXPECT_EQ(context().city, "郑州市");
    EXPECT_EQ(loadTask(*s.db)->regionCode, "410000");
}

TEST(TaskRecord, FailedSaveKeepsTheOldRecord)
{
    test::TempStore s;
    saveTask(*s.db, TaskRecord{"2013", "国家级汇总", "", "", "", "000000", ""});
    s.db->exec("CREATE TRIGGER refuse BEFORE INSERT ON 任务信息 BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    EXPECT_THROW(saveTask(*s.db, TaskRecord{"2014", "省级汇总", "河南省", "", "", "410000", ""}), DbError);
    EXPECT_EQ(loadTask(*s.db)->level, "国家级汇总");
}
