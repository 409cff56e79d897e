// The aggregating-unit settings window: pickers, region code, checks and save.
#include "app/main_window.h"
#include "app/task_settings_window.h"
#include "app/system/report_menu.h"
#include "app/shell_test_support.h"
#include "data/regions.h"
#include "data/task_record.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

QComboBox *picker(QWidget *w, const char *name)
{
    return child<QComboBox>(w, name);
}

// What the user does: picks an item from the list.
void choose(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
    emit box->activated(i);
    emit box->textActivated(text);
}

// The picker the window gave the focus to (the picker or its text box).
bool hasFocus(QWidget *w, const char *name)
{
    QWidget *f = w->focusWidget();
    return f && (f == picker(w, name) || f == picker(w, name)->lineEdit());
}

void confirm(QWidget *w)
{
    child<QPushButton>(w, "BitBtn1")->click();
}

class TaskSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { app(); }
    int taskRows() { return store.db->scalar(QStringLiteral("SELECT count(*) FROM 任务信息")).toInt(); }
    TempStore store;
    ScriptedPrompter prompter;
};

TEST_F(TaskSettingsTest, FreshInstallationOpensWithYearAndNoLevel)
{
    ui::TaskSettingsWindow w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("任务信息"));
    EXPECT_EQ(picker(&w, "ComboBox01")->currentText(), QStringLiteral("2013"));
    EXPECT_TRUE(picker(&w, "ComboBox02")->currentText().isEmpty());
    EXPECT_GT(picker(&w, "ComboBox02")->count(), 0);
    EXPECT_GT(picker(&w, "ComboBox03")->count(), 30);
    for (const char *name : {"ComboBox03", "ComboBox04", "ComboBox05"})
        EXPECT_FALSE(picker(&w, name)->isEnabled()) << name;
    EXPECT_EQ(w.regionCode(), QStringLiteral("000000"));

    choose(picker(&w, "ComboBox02"), QStringLiteral("省级汇总"));
    EXPECT_TRUE(picker(&w, "ComboBox03")->isEnabled());
    EXPECT_FALSE(picker(&w, "ComboBox04")->isEnabled());
    EXPECT_FALSE(picker(&w, "ComboBox05")->isEnabled());
    choose(picker(&w, "ComboBox02"), QStringLiteral("县级汇总"));
    for (const char *name : {"ComboBox03", "ComboBox04", "ComboBox05"})
        EXPECT_TRUE(picker(&w, name)->isEnabled()) << name;
}

TEST_F(TaskSettingsTest, TypedCharactersAreDropped)
{
    ui::TaskSettingsWindow w;
    QComboBox *year = picker(&w, "ComboBox01");
    EXPECT_FALSE(year->isEditable());
    // A digit would otherwise choose 2010 by its first letter.
    for (const auto &[key, text] : {std::pair{Qt::Key_2, QStringLiteral("2")}, std::pair{Qt::Key_Backspace, QString()},
                                    std::pair{Qt::Key_Delete, QString()}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(year, &press);
    }
    EXPECT_EQ(year->currentText(), QStringLiteral("2013"));
}

TEST_F(TaskSettingsTest, LevelChosenAgainKeepsThePlaces)
{
    TaskRecord old;
    old.year = QStringLiteral("2013");
    old.level = QStringLiteral("地级汇总");
    old.province = QStringLiteral("河北省");
    old.city = QStringLiteral("石家庄市");
    saveTask(*store.db, old);
    ui::TaskSettingsWindow w;
    choose(picker(&w, "ComboBox02"), QStringLiteral("地级汇总"));
    choose(picker(&w, "ComboBox03"), QStringLiteral("河北省"));
    EXPECT_EQ(picker(&w, "ComboBox03")->currentText(), QStringLiteral("河北省"));
    EXPECT_EQ(picker(&w, "ComboBox04")->currentText(), QStringLiteral("石家庄市"));
    EXPECT_GT(picker(&w, "ComboBox04")->count(), 1); // the province's cities, to choose another
    confirm(&w);
    EXPECT_TRUE(prompter.messages.empty());
    const auto task = loadTask(*store.db);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->city, QStringLiteral("石家庄市"));
}

TEST_F(TaskSettingsTest, ChecksShowTheirMessageAndFocusAndWriteNothing)
{
    ui::TaskSettingsWindow w;
    w.show();
    choose(picker(&w, "ComboBox02"), QStringLiteral("地级汇总"));
    confirm(&w);
    EXPECT_EQ(prompter.lastText(), QStringLiteral(" 请选择省！"));
    EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("提示"));
    EXPECT_EQ(prompter.messages.back().icon, ui::Icon::Information);
    EXPECT_TRUE(hasFocus(&w, "ComboBox03"));
    choose(picker(&w, "ComboBox03"), QStringLiteral("河北省"));
    confirm(&w);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("请选择地市！"));
    EXPECT_TRUE(hasFocus(&w, "ComboBox04"));
    // Nothing chosen, as when the task record holds no level or year.
    picker(&w, "ComboBox02")->setCurrentIndex(-1);
    confirm(&w);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("汇总级别不能为空！"));
    picker(&w, "ComboBox01")->setCurrentIndex(-1);
    confirm(&w);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("填报年份不能为空！"));
    EXPECT_TRUE(hasFocus(&w, "ComboBox01"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(taskRows(), 0);
}

TEST_F(TaskSettingsTest, CountyCascadeSetsTheCodeAndSaveUpdatesTheContext)
{
    ui::TaskSettingsWindow w;
    int saved = 0;
    QObject::connect(&w, &ui::TaskSettingsWindow::taskSaved, [&saved] { ++saved; });
    choose(picker(&w, "ComboBox02"), QStringLiteral("县级汇总"));
    const QString province = picker(&w, "ComboBox03")->itemText(0);
    choose(picker(&w, "ComboBox03"), province);
    EXPECT_EQ(w.regionCode(), provincePrefix(*store.db, province) + QStringLiteral("0000"));
    ASSERT_GT(picker(&w, "ComboBox04")->count(), 0);
    EXPECT_TRUE(picker(&w, "ComboBox04")->currentText().isEmpty());
    const QString city = picker(&w, "ComboBox04")->itemText(0);
    choose(picker(&w, "ComboBox04"), city);
    EXPECT_EQ(w.regionCode(), cityPrefix(*store.db, province, city) + QStringLiteral("00"));
    ASSERT_GT(picker(&w, "ComboBox05")->count(), 0);
    const QString county = picker(&w, "ComboBox05")->itemText(0);
    choose(picker(&w, "ComboBox05"), county);
    const QString code = countyCode(*store.db, province, city, county);
    EXPECT_EQ(code.size(), 6);
    EXPECT_EQ(w.regionCode(), code);

    confirm(&w);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const auto task = loadTask(*store.db);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->year, QStringLiteral("2013"));
    EXPECT_EQ(task->level, QStringLiteral("县级汇总"));
    EXPECT_EQ(task->county, county);
    EXPECT_EQ(task->regionCode, code);
    EXPECT_EQ(taskRows(), 1);
    EXPECT_TRUE(context().hasTask);
    EXPECT_EQ(context().level, QStringLiteral("县级汇总"));
    EXPECT_EQ(context().province, province);
    EXPECT_EQ(context().city, city);
    EXPECT_EQ(context().county, county);
}

TEST_F(TaskSettingsTest, ChoosingAnotherProvinceClearsCityAndCounty)
{
    ui::TaskSettingsWindow w;
    choose(picker(&w, "ComboBox02"), QStringLiteral("县级汇总"));
    choose(picker(&w, "ComboBox03"), picker(&w, "ComboBox03")->itemText(0));
    choose(picker(&w, "ComboBox04"), picker(&w, "ComboBox04")->itemText(0));
    choose(picker(&w, "ComboBox05"), picker(&w, "ComboBox05")->itemText(0));
    const QString other = picker(&w, "ComboBox03")->itemText(1);
    choose(picker(&w, "ComboBox03"), other);
    EXPECT_TRUE(picker(&w, "ComboBox04")->currentText().isEmpty());
    EXPECT_TRUE(picker(&w, "ComboBox05")->currentText().isEmpty());
    EXPECT_EQ(picker(&w, "ComboBox05")->count(), 0);
    EXPECT_EQ(w.regionCode(), provincePrefix(*store.db, other) + QStringLiteral("0000"));
}

TEST_F(TaskSettingsTest, LevelChangeClearsTextsButKeepsListsAndCode)
{
    ui::TaskSettingsWindow w;
    choose(picker(&w, "ComboBox02"), QStringLiteral("县级汇总"));
    choose(picker(&w, "ComboBox03"), picker(&w, "ComboBox03")->itemText(0));
    choose(picker(&w, "ComboBox04"), picker(&w, "ComboBox04")->itemText(0));
    const int cities = picker(&w, "ComboBox04")->count();
    choose(picker(&w, "ComboBox05"), picker(&w, "ComboBox05")->itemText(0));
    const QString code = w.regionCode();

    choose(picker(&w, "ComboBox02"), QStringLiteral("国家级汇总"));
    for (const char *name : {"ComboBox03", "ComboBox04", "ComboBox05"}) {
        EXPECT_TRUE(picker(&w, name)->currentText().isEmpty()) << name;
        EXPECT_FALSE(picker(&w, name)->isEnabled()) << name;
    }
    EXPECT_EQ(picker(&w, "ComboBox04")->count(), cities);
    EXPECT_EQ(w.regionCode(), code);
    confirm(&w);
    const auto task = loadTask(*store.db);
    ASSERT_TRUE(task);
    EXPECT_TRUE(task->province.isEmpty());
    EXPECT_TRUE(task->city.isEmpty());
    EXPECT_TRUE(task->county.isEmpty());
    EXPECT_EQ(task->regionCode, code); // the county chosen earlier still decides it
}

TEST_F(TaskSettingsTest, ReopeningAndSavingUnchangedStoresCodeZero)
{
    TaskRecord old;
    old.year = QStringLiteral("2013");
    old.level = QStringLiteral("省级汇总");
    old.province = QStringLiteral("河北省");
    old.regionCode = QStringLiteral("130000");
    saveTask(*store.db, old);
    ui::TaskSettingsWindow w;
    EXPECT_EQ(picker(&w, "ComboBox02")->currentText(), QStringLiteral("省级汇总"));
    EXPECT_EQ(picker(&w, "ComboBox03")->currentText(), QStringLiteral("河北省"));
    EXPECT_TRUE(picker(&w, "ComboBox03")->isEnabled());
    EXPECT_EQ(picker(&w, "ComboBox04")->count(), 0); // no cascade on opening
    EXPECT_EQ(w.regionCode(), QStringLiteral("000000"));
    confirm(&w);
    const auto task = loadTask(*store.db);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->province, QStringLiteral("河北省"));
    EXPECT_EQ(task->regionCode, QStringLiteral("000000"));
}

TEST_F(TaskSettingsTest, FailedSaveKeepsTheOldRecordAndTheWindowOpen)
{
    TaskRecord old;
    old.year = QStringLiteral("2012");
    old.level = QStringLiteral("国家级汇总");
    saveTask(*store.db, old);
    store.db->exec(QStringLiteral(
        "CREATE TRIGGER refuse BEFORE INSERT ON 任务信息 BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    context().level = QStringLiteral("国家级汇总");
    ui::TaskSettingsWindow w;
    w.show();
    choose(picker(&w, "ComboBox02"), QStringLiteral("省级汇总"));
    choose(picker(&w, "ComboBox03"), QStringLiteral("河北省"));
    confirm(&w);
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].contains(QStringLiteral("disk full")));
    EXPECT_TRUE(w.isVisible());
    const auto task = loadTask(*store.db);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->year, QStringLiteral("2012"));
    EXPECT_EQ(task->level, QStringLiteral("国家级汇总"));
    EXPECT_EQ(context().level, QStringLiteral("国家级汇总"));
}

TEST_F(TaskSettingsTest, SavingCountyLevelHidesBreakdownsAtOnceAndAnotherLevelShowsThem)
{
    ui::MainWindow main;
    context().hasTask = false;
    main.applyMenuRule();
    ModalScript modal;
    auto saveLevel = [&](const QString &level) {
        modal.steps.push_back([level](QDialog *d) {
            choose(picker(d, "ComboBox02"), level);
            for (const char *name : {"ComboBox03", "ComboBox04", "ComboBox05"}) {
                QComboBox *box = picker(d, name);
                if (box->isEnabled())
                    choose(box, box->itemText(0));
            }
            confirm(d);
        });
        menuAction(main.menuBar(), {QStringLiteral("任务管理"), QStringLiteral("汇总单位")})->trigger();
    };
    auto visibleReports = [&] {
        int n = 0;
        for (const auto &e : reportMenuEntries()) {
            QStringList path{QStringLiteral("统计报表"), e.group};
            if (!e.subGroup.isEmpty())
                path << e.subGroup;
            n += menuAction(main.menuBar(), path << e.caption)->isVisible();
        }
        return n;
    };
    saveLevel(QStringLiteral("县级汇总"));
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("TfrmRenwu_hz")});
    EXPECT_TRUE(main.topMenu(QStringLiteral("统计报表"))->menuAction()->isVisible());
    EXPECT_EQ(visibleReports(), 19);
    saveLevel(QStringLiteral("地级汇总"));
    EXPECT_EQ(visibleReports(), 94);
    EXPECT_TRUE(prompter.messages.empty());
}

} // namespace
