// Every report entry of the menu opens a working window through the registry; one
// window of each part from three to eight renders to PNG (into $KESTROVA_RENDER_DIR
// when set, for looking at them).
#include "report_test_support.h"

#include "app/system/report_menu.h"
#include "app/ui/window_registry.h"
#include "data/demo_records.h"
#include "reports/ui/report_table.h"
#include "reports/ui/report_window.h"
#include "reports/ui/report_windows.h"
#include "support/gui_app.h"
#include "support/render_png.h"
#include "support/scripted_prompter.h"

#include <QApplication>
#include <QDir>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace kestrova;
using namespace kestrova::test;

namespace {

QApplication &app()
{
    return guiApp();
}

class Parts3To8Windows : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        reports::resetWindowClassStates();
        static bool registered = false;
        if (!registered) {
            ui::registerReportWindows();
            registered = true;
        }
        addDemoRecords(*store.db, 200, 5);
        context().level = QStringLiteral("国家级汇总");
    }
    std::unique_ptr<ui::ReportWindow> open(const QString &title)
    {
        const reports::ReportDefinition *def = reports::definitionForTitle(title);
        context().reportTitle = title;
        return std::unique_ptr<ui::ReportWindow>(
            qobject_cast<ui::ReportWindow *>(ui::createWindow(def->className, nullptr)));
    }
    TempStore store;
    ScriptedPrompter prompter;
};

TEST_F(Parts3To8Windows, EveryMenuEntryOpensAFilledWindow)
{
    for (const auto &e : reportMenuEntries()) {
        SCOPED_TRACE(e.title.toStdString());
        const auto w = open(e.title);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), e.className);
        const reports::ReportGrid &g = w->grid();
        EXPECT_FALSE(g.text(0, 0).isEmpty());
        // A national table has ten category rows, a breakdown table its regions.
        EXPECT_GE(g.rowCount(), reports::definitionForTitle(e.title)->firstDataRow() + 10);
        EXPECT_EQ(w->table()->rowCount(), g.rowCount());
    }
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(Parts3To8Windows, OneWindowOfEachPartRendersToPng)
{
    const QString dir = pictureFolder();
    const QStringList titles{QStringLiteral("表3-1-2 全国粮油仓储企业附属设施汇总表（分地区）"),
                             QStringLiteral("表3-4-1 全国粮油仓储企业临时储粮设施汇总表"),
                             QStringLiteral("表4-4-5 全国检化验仪器汇总表（非国有企业）"),
                             QStringLiteral("表5-1 全国储粮技术应用情况汇总表"),
                             QStringLiteral("表6-2 全国储粮药剂管理情况汇总表（分地区）"),
                             QStringLiteral("表7-1 全国粮油仓储企业从业人员汇总表"),
                             QStringLiteral("表8-4 全国粮油经营情况汇总表（国有企业）")};
    for (const QString &title : titles) {
        const auto w = open(title);
        w->setWindowState(Qt::WindowNoState); // maximised would take the offscreen screen's size
        const QString file = QDir(dir).filePath(w->objectName() + QStringLiteral(".png"));
        EXPECT_TRUE(renderPng(w.get(), file, QSize(1280, 900))) << file.toStdString();
        EXPECT_GT(QFileInfo(file).size(), 0);
    }
}

} // namespace
