// The main menu: its tree, the visibility rule and the hand-over to every report window.
#include "app/main_window.h"
#include "app/system/report_menu.h"
#include "app/ui/window_registry.h"
#include "app/shell_test_support.h"
#include "support/scripted_prompter.h"
#include "support/temp_store.h"

#include <QKeySequence>
#include <QProgressBar>
#include <QSet>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

const QStringList kTopMenus{QStringLiteral("任务管理"), QStringLiteral("数据维护"), QStringLiteral("统计报表"),
                            QStringLiteral("数据传输"), QStringLiteral("系统设置"), QStringLiteral("帮助"),
                            QStringLiteral("退出")};

QStringList captions(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << a->text();
    return out;
}

QStringList visibleTopMenus(ui::MainWindow &w)
{
    QStringList out;
    for (QAction *a : w.menuBar()->actions())
        if (a->isVisible())
            out << a->text();
    return out;
}

QAction *reportAction(ui::MainWindow &w, const ReportMenuEntry &e)
{
    QStringList path{QStringLiteral("统计报表"), e.group};
    if (!e.subGroup.isEmpty())
        path << e.subGroup;
    path << e.caption;
    return menuAction(w.menuBar(), path);
}

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override { app(); }
    TempStore store;
    ScriptedPrompter prompter;
};

TEST_F(MainMenuTest, TreeHasTheCaptionsInOrderWithoutMnemonics)
{
    ui::MainWindow w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kestrova系统（汇总版）"));
    EXPECT_EQ(captions(w.menuBar()->actions()), kTopMenus);
    EXPECT_EQ(captions(w.topMenu(QStringLiteral("系统设置"))->actions()),
              (QStringList{QStringLiteral("用户管理"), QStringLiteral("系统复位"), QStringLiteral("数据备份"),
                           QStringLiteral("数据恢复")}));
    EXPECT_EQ(captions(w.topMenu(QStringLiteral("数据传输"))->actions()),
              (QStringList{QStringLiteral("制作上报文件"), QStringLiteral("上报数据入库"), QStringLiteral("报送情况")}));
    const QStringList groups = captions(w.topMenu(QStringLiteral("统计报表"))->actions());
    EXPECT_EQ(groups.size(), 10);
    EXPECT_EQ(groups[8], QStringLiteral("统计年报汇总表"));
    EXPECT_EQ(groups.constLast(), QStringLiteral("全部报表"));
    EXPECT_EQ(captions(w.topMenu(QStringLiteral("数据维护"))->actions()),
              (QStringList{QStringLiteral("Kestrova年报表"), QStringLiteral("全部校验")}));
    EXPECT_EQ(captions(menuAction(w.menuBar(), {QStringLiteral("统计报表"), QStringLiteral("第三部分 附属设施")})
                           ->menu()
                           ->actions()),
              (QStringList{QStringLiteral("表3-1  仓储附属设施汇总表"), QStringLiteral("表3-2  物流附属设施汇总表"),
                           QStringLiteral("表3-3  散粮中转设施汇总表"), QStringLiteral("表3-4  临时储粮设施汇总表"),
                           QStringLiteral("表3-5  油脂中转设施汇总表")}));
    EXPECT_NE(menuAction(w.menuBar(), {QStringLiteral("统计报表"), QStringLiteral("第二部分 仓容罐容"),
                                       QStringLiteral("表2-1 总仓容汇总表"), QStringLiteral("表2-1-1 粮油仓储企业总仓容汇总表")}),
              nullptr);
    // No caption may carry a mnemonic, anywhere in the tree.
    QList<QAction *> all = w.menuBar()->actions();
    for (int i = 0; i < all.size(); ++i) {
        EXPECT_TRUE(QKeySequence::mnemonic(all[i]->text()).isEmpty()) << all[i]->text().toStdString();
        if (all[i]->menu())
            all += all[i]->menu()->actions();
    }
    auto *progress = w.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(w.progressBar(), progress);
    EXPECT_FALSE(progress->isVisibleTo(&w));
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
}

TEST_F(MainMenuTest, CaptionsAndTitlesOfTheAncillaryTables)
{
    ui::MainWindow w;
    const auto &entries = reportMenuEntries();
    ASSERT_EQ(entries.size(), 94u);
    int tables35 = 0;
    for (const auto &e : entries) {
        ASSERT_NE(reportAction(w, e), nullptr) << e.caption.toStdString();
        if (e.caption.startsWith(QStringLiteral("表3-5-"))) {
            ++tables35;
            EXPECT_TRUE(e.caption.endsWith(QLatin1Char(' ')));
            EXPECT_FALSE(e.title.endsWith(QLatin1Char(' ')));
        }
    }
    EXPECT_EQ(tables35, 4);
    const auto *t342 = reportEntryByTitle(QStringLiteral("表3-4-2 全国粮油仓储企业附属设施汇总表（分地区）"));
    ASSERT_NE(t342, nullptr);
    EXPECT_EQ(t342->caption, QStringLiteral("表3-4-2 粮油仓储企业附属设施汇总表（分地区）"));
    EXPECT_EQ(t342->subGroup, QStringLiteral("表3-4  临时储粮设施汇总表"));
    EXPECT_EQ(t342->className, QStringLiteral("TFrmb3_4_2"));
    const auto *t351 = reportEntryByTitle(QStringLiteral("表3-5-1 全国油脂中转设施汇总表"));
    ASSERT_NE(t351, nullptr);
    EXPECT_EQ(t351->caption, QStringLiteral("表3-5-1 油脂中转设施汇总表 "));
}

TEST_F(MainMenuTest, NoTaskRecordLeavesOnlyTaskManagementHelpAndQuit)
{
    ui::MainWindow w;
    context().hasTask = false;
    w.applyMenuRule();
    EXPECT_EQ(visibleTopMenus(w),
              (QStringList{QStringLiteral("任务管理"), QStringLiteral("帮助"), QStringLiteral("退出")}));
    // A hidden command cannot be reached by its key either; a shown one can.
    QAction *list = menuAction(w.menuBar(), {QStringLiteral("数据维护"), QStringLiteral("Kestrova年报表")});
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_FALSE(list->isEnabled());
    context().hasTask = true;
    w.applyMenuRule();
    EXPECT_TRUE(list->isEnabled());
}

TEST_F(MainMenuTest, CountyLevelHidesExactlyTheBreakdownEntries)
{
    const QStringList kept{QStringLiteral("表1-1-1"), QStringLiteral("表2-1-1"), QStringLiteral("表2-2-1"),
                           QStringLiteral("表2-3-1"), QStringLiteral("表2-4-1"), QStringLiteral("表2-5-1"),
                           QStringLiteral("表3-1-1"), QStringLiteral("表3-2-1"), QStringLiteral("表3-3-1"),
                           QStringLiteral("表3-4-1"), QStringLiteral("表3-5-1"), QStringLiteral("表4-1-1"),
                           QStringLiteral("表4-2-1"), QStringLiteral("表4-3-1"), QStringLiteral("表4-4-1"),
                           QStringLiteral("表5-1"),   QStringLiteral("表6-1"),   QStringLiteral("表7-1"),
                           QStringLiteral("表8-1")};
    ui::MainWindow w;
    for (const QString &level : {QStringLiteral("县级汇总"), QStringLiteral("省级汇总"), QStringLiteral("地级汇总"),
                                QStringLiteral("国家级汇总"), QStringLiteral("中储粮"), QString(),
                                QStringLiteral("县级汇总 ")}) {
        context().hasTask = true;
        context().level = level;
        w.applyMenuRule();
        EXPECT_EQ(visibleTopMenus(w), kTopMenus) << level.toStdString();
        const bool county = level == QStringLiteral("县级汇总");
        int visible = 0;
        for (const auto &e : reportMenuEntries()) {
            const bool shown = reportAction(w, e)->isVisible();
            visible += shown;
            const bool national = kept.contains(e.caption.section(QLatin1Char(' '), 0, 0));
            EXPECT_EQ(shown, !county || national) << level.toStdString() << " " << e.caption.toStdString();
        }
        EXPECT_EQ(visible, county ? 19 : 94);
        EXPECT_TRUE(menuAction(w.menuBar(), {QStringLiteral("统计报表"), QStringLiteral("统计年报汇总表")})->isVisible());
    }
}

TEST_F(MainMenuTest, EveryReportEntryStoresItsTitleBeforeItsWindowIsMade)
{
    struct Made {
        QString className;
        QString titleAtCreation;
    };
    std::vector<Made> made;
    QSet<QString> classes;
    for (const auto &e : reportMenuEntries())
        classes.insert(e.className);
    for (const QString &cls : classes)
        ui::registerWindowClass(cls, [cls, &made](QWidget *parent) {
            made.push_back({cls, context().reportTitle});
            auto *d = new QDialog(parent);
            d->setObjectName(cls);
            return d;
        });

    ui::MainWindow w;
    context().hasTask = true;
    context().level = QStringLiteral("省级汇总");
    w.applyMenuRule();
    ModalScript modal;
    std::vector<bool> maximised;
    for (size_t i = 0; i < reportMenuEntries().size(); ++i)
        modal.steps.push_back([&maximised](QDialog *d) {
            maximised.push_back(d->windowState().testFlag(Qt::WindowMaximized));
            d->accept();
        });
    for (const auto &e : reportMenuEntries()) {
        context().reportTitle = QStringLiteral("stale");
        reportAction(w, e)->trigger();
        ASSERT_FALSE(made.empty());
        EXPECT_EQ(made.back().className, e.className);
        EXPECT_EQ(made.back().titleAtCreation, e.title);
        EXPECT_EQ(context().reportTitle, e.title);
        EXPECT_EQ(ui::windowReference(e.className)->objectName(), e.className);
    }
    EXPECT_EQ(made.size(), 94u);
    EXPECT_EQ(modal.shown.size(), 94);
    EXPECT_EQ(std::count(maximised.begin(), maximised.end(), true), 94);
    EXPECT_TRUE(prompter.messages.empty());

    // 统计年报汇总表 leaves the last report title as it was.
    const QString last = context().reportTitle;
    menuAction(w.menuBar(), {QStringLiteral("统计报表"), QStringLiteral("统计年报汇总表")})->trigger();
    EXPECT_EQ(context().reportTitle, last);
    for (const QString &cls : classes) // the factories above refer to this test's locals
        ui::registerWindowClass(cls, [](QWidget *) { return nullptr; });
}

TEST_F(MainMenuTest, AWindowNotYetProvidedSaysSoPlainly)
{
    ASSERT_FALSE(ui::hasWindowClass(QStringLiteral("TFrmList1")));
    ui::MainWindow w;
    ModalScript modal;
    menuAction(w.menuBar(), {QStringLiteral("数据维护"), QStringLiteral("Kestrova年报表")})->trigger();
    EXPECT_TRUE(modal.shown.isEmpty());
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("该功能暂未提供。"));
}

TEST_F(MainMenuTest, StartUpWithUnopenableDatabaseOffersOnlyHelpAndQuit)
{
    store.db.reset();
    QFile f(databasePath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("this is not a database");
    f.close();
    ui::MainWindow w;
    EXPECT_TRUE(w.startUp());
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_EQ(visibleTopMenus(w), (QStringList{QStringLiteral("帮助"), QStringLiteral("退出")}));
}

} // namespace
