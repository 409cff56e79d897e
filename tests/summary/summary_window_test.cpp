// TFrmGatherList driven as the user drives it: tree clicks, ownership, 统计, 保存表格.
#include "app/ui/window_registry.h"
#include "data/store.h"
#include "records/printed/printed_cell_map.h"
#include "records/printed/printed_templates.h"
#include "records/ui/indicator_block_widget.h"
#include "reports/summary/summary_tree.h"
#include "reports/summary/ui/summary_windows.h"
#include "reports/summary/ui/tfrm_gather_list.h"
#include "summary/summary_fixture.h"
#include "support/gui_app.h"
#include "support/render_png.h"
#include "support/scripted_prompter.h"
#include "support/xls_cells.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;
using kestrova::ui::TFrmGatherList;

namespace {

class QtApp : public ::testing::Environment {
public:
    void SetUp() override
    {
        kestrova::test::guiApp();
    }
};
const auto *const kQtApp = ::testing::AddGlobalTestEnvironment(new QtApp);

class GatherWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        addSampleRecords(*store.db);
        store.db->exec(QStringLiteral("insert into userinfo (f2, passwd) values (?, ?)"), {QStringLiteral("河南省粮食局"), "1"});
        store.db->exec(QStringLiteral("insert into 任务信息 (年份, 汇总级别) values (?, ?)"), {"2013", QStringLiteral("省级汇总")});
        store.db.reset(); // the window opens the store for each step itself
        ui::registerSummaryWindows();
        window.reset(static_cast<TFrmGatherList *>(ui::createWindow(QStringLiteral("TFrmGatherList"), nullptr)));
        ASSERT_TRUE(window);
    }

    QString field(const char *name) const
    {
        auto *e = window->findChild<QLineEdit *>(QString::fromLatin1(name));
        EXPECT_TRUE(e) << name;
        return e ? e->text() : QString();
    }
    QRadioButton *radio(const char *name) const { return window->findChild<QRadioButton *>(QString::fromLatin1(name)); }
    QString indicatorText(int k) const { return window->indicators()->text(k); }

    // Clicks the nodes along the path (names without counts), as the user opens them.
    QTreeWidgetItem *click(const QStringList &names)
    {
        QTreeWidgetItem *item = window->tree()->topLevelItem(0);
        window->TreeView1Click(item);
        for (const QString &n : names) {
            QTreeWidgetItem *next = nullptr;
            for (int i = 0; i < item->childCount() && !next; ++i)
                if (nodeNameFromText(item->child(i)->text(0)) == n)
                    next = item->child(i);
            EXPECT_TRUE(next) << n.toStdString();
            if (!next)
                return item;
            item = next;
            window->TreeView1Click(item);
        }
        return item;
    }

    TempStore store;
    std::unique_ptr<TFrmGatherList> window;
};

} // namespace

TEST_F(GatherWindow, OpensWithHeaderValuesAndTheFirstThreeLevels)
{
    EXPECT_EQ(window->objectName(), QStringLiteral("TFrmGatherList"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("数据分析--数据汇总"));
    EXPECT_EQ(field("Edit1"), QStringLiteral("河南省粮食局"));
    EXPECT_EQ(field("Edit2"), QStringLiteral("%1年%2月%3日")
                                  .arg(QDate::currentDate().year())
                                  .arg(QDate::currentDate().month())
                                  .arg(QDate::currentDate().day()));
    EXPECT_EQ(field("Edit3"), QStringLiteral("2013"));
    EXPECT_EQ(field("Edit4"), QStringLiteral("Tarnhold"));
    EXPECT_EQ(field("Edit11"), QString());
    EXPECT_TRUE(radio("RadioButton1")->isChecked());
    for (int k = 1; k <= kIndicatorCount; ++k) {
        auto *f = window->findChild<QLineEdit *>(QStringLiteral("MaskEdit%1").arg(k, 3, 10, QLatin1Char('0')));
        ASSERT_TRUE(f) << k;
        EXPECT_TRUE(f->text().isEmpty());
        EXPECT_TRUE(f->alignment() & Qt::AlignRight);
    }
    QTreeWidgetItem *root = window->tree()->topLevelItem(0);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->text(0), QStringLiteral("国家(7)"));
    ASSERT_EQ(root->childCount(), 2);
    EXPECT_EQ(root->child(0)->text(0), QStringLiteral("地方企业(5)"));
    EXPECT_EQ(root->child(0)->child(root->child(0)->childCount() - 1)->text(0), QStringLiteral("新疆兵团(2)"));
    EXPECT_EQ(root->child(1)->text(0), QStringLiteral("中央单位(2)"));
    EXPECT_EQ(root->child(1)->childCount(), 3);
    EXPECT_EQ(root->child(0)->child(0)->childCount(), 0); // cities come on the first click
}

TEST_F(GatherWindow, LocalThenCorpsSumsExcludeAndThenTakeExactlyTheCorps)
{
    click({"地方企业"});
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("3"));
    EXPECT_EQ(indicatorText(1), QStringLiteral("60.5"));
    click({"地方企业", "新疆兵团"});
    EXPECT_EQ(field("Edit10"), QStringLiteral("新疆兵团"));
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("2"));
    EXPECT_EQ(indicatorText(1), QStringLiteral("5400"));
}

TEST_F(GatherWindow, CitiesAndCountiesGrowWithCountsAndAProvinceClickEmptiesThem)
{
    QTreeWidgetItem *county = click({"地方企业", "河南省", "郑州市", "金水区"});
    EXPECT_EQ(county->text(0), QStringLiteral("金水区(2)"));
    EXPECT_EQ(county->parent()->text(0), QStringLiteral("郑州市(2)"));
    EXPECT_EQ(field("Edit4"), QStringLiteral("河南省郑州市金水区"));
    const int cities = county->parent()->parent()->childCount();
    click({"地方企业", "河南省"});
    EXPECT_EQ(field("Edit5"), QStringLiteral("河南省"));
    EXPECT_EQ(field("Edit6"), QString());
    EXPECT_EQ(field("Edit7"), QString());
    EXPECT_EQ(field("Edit4"), QStringLiteral("河南省"));
    EXPECT_EQ(county->parent()->parent()->childCount(), cities); // not added twice
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("3"));
}

TEST_F(GatherWindow, CentralEnterpriseShowsTheNationalUnitAndItsProvinceNarrowsTheSums)
{
    click({"中央单位", "中粮集团有限责任公司"});
    EXPECT_EQ(field("Edit9"), QStringLiteral("中央单位"));
    EXPECT_EQ(field("Edit8"), QStringLiteral("中粮集团有限责任公司"));
    EXPECT_EQ(field("Edit4"), QStringLiteral("Tarnhold"));
    QTreeWidgetItem *province = click({"中央单位", "中粮集团有限责任公司", "河南省"});
    EXPECT_EQ(province->text(0), QStringLiteral("河南省(1)"));
    EXPECT_EQ(field("Edit4"), QStringLiteral("河南省"));
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("1"));
    EXPECT_EQ(indicatorText(1), QStringLiteral("60000"));
}

TEST_F(GatherWindow, OwnershipFiltersAndEveryClickResetsItToAll)
{
    click({});
    radio("RadioButton2")->setChecked(true);
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("4"));
    radio("RadioButton3")->setChecked(true);
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("3"));
    EXPECT_EQ(indicatorText(1), QStringLiteral("700050.5"));
    click({"地方企业"});
    EXPECT_TRUE(radio("RadioButton1")->isChecked());
}

// Sums stay on screen, and go into a workbook, only under the selection and ownership
// they were summed for.
TEST_F(GatherWindow, ChangingTheNodeOrOwnershipClearsTheSumsAndDisablesSaving)
{
    auto *save = window->findChild<QPushButton *>(QStringLiteral("BitBtn6"));
    ASSERT_TRUE(save);
    EXPECT_FALSE(save->isEnabled()); // nothing summed yet
    click({});
    radio("RadioButton2")->setChecked(true);
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("4"));
    EXPECT_FALSE(indicatorText(1).isEmpty());
    EXPECT_TRUE(save->isEnabled());
    click({"地方企业", "河南省"}); // another node
    EXPECT_EQ(field("Edit11"), QString());
    for (int k = 1; k <= kIndicatorCount; ++k)
        EXPECT_TRUE(indicatorText(k).isEmpty()) << k;
    EXPECT_FALSE(save->isEnabled());
    ScriptedPrompter prompter;
    window->BitBtn6Click();
    EXPECT_TRUE(prompter.fileRequests.empty());

    window->BitBtn1Click();
    EXPECT_TRUE(save->isEnabled());
    window->TreeView1Click(window->tree()->currentItem()); // the same node again: sums stay
    EXPECT_EQ(field("Edit11"), QStringLiteral("3"));
    radio("RadioButton3")->setChecked(true); // another ownership
    EXPECT_EQ(field("Edit11"), QString());
    EXPECT_FALSE(save->isEnabled());
}

TEST_F(GatherWindow, TheNodeChosenWithTheKeysIsTheOneSummed)
{
    QTreeWidget *tree = window->tree();
    QTreeWidgetItem *henan = click({"地方企业", "河南省"});
    tree->setCurrentItem(henan);
    tree->setFocus();
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(tree, &end);
    ASSERT_NE(tree->currentItem(), henan);
    EXPECT_EQ(nodeNameFromText(tree->currentItem()->text(0)), QStringLiteral("中国中纺集团公司"));
    EXPECT_EQ(field("Edit9"), QStringLiteral("中央单位"));
    EXPECT_EQ(field("Edit8"), QStringLiteral("中国中纺集团公司"));
    EXPECT_EQ(field("Edit5"), QString());
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("0"));
}

TEST_F(GatherWindow, SumsAreReadOnlyAndEveryDigitFitsItsField)
{
    // sums far wider than a field made for a few digits
    {
        auto db = openStore(StoreOpen::MustExist);
        for (int i = 0; i < 3; ++i)
            addRecord(*db, QStringLiteral("大%1").arg(i), {kHenan, kZhengzhou, kJinshui, {}},
                      {{QStringLiteral("油罐罐容1"), 987654321.0},
                       {QStringLiteral("占地面积"), 123456789012.0},
                       {QStringLiteral("经营量"), 9876543210.0}});
    }
    click({});
    window->BitBtn1Click();
    window->resize(700, 500); // a window much smaller than the form
    window->show();
    QApplication::processEvents();
    for (int k = 1; k <= kIndicatorCount; ++k) {
        QLineEdit *f = window->indicators()->field(k);
        EXPECT_TRUE(f->isReadOnly()) << k;
        const int text = f->fontMetrics().horizontalAdvance(f->text());
        EXPECT_GE(f->width() - f->textMargins().left() - f->textMargins().right() - 8, text)
            << k << " " << f->text().toStdString();
    }
    EXPECT_EQ(indicatorText(42).size(), 10); // 2962962963 and not its tail
    window->close();
}

TEST_F(GatherWindow, NoMatchingRecordShowsEmptyFieldsAndZero)
{
    click({});
    window->BitBtn1Click();
    EXPECT_FALSE(indicatorText(1).isEmpty());
    click({"中央单位", "中国储备粮管理总公司"});
    window->BitBtn1Click();
    EXPECT_EQ(field("Edit11"), QStringLiteral("0"));
    for (int k = 1; k <= kIndicatorCount; ++k)
        EXPECT_TRUE(indicatorText(k).isEmpty()) << k;
}

TEST_F(GatherWindow, SaveWritesTheShownFiguresIntoTheTemplateCopy)
{
    writePaperFormTemplates(store.file(QStringLiteral("templet")).toStdString());
    ScriptedPrompter prompter;
    click({"地方企业", "河南省"});
    radio("RadioButton2")->setChecked(true);
    window->BitBtn1Click();
    window->BitBtn6Click(); // cancelled
    EXPECT_TRUE(prompter.messages.empty());
    const QString out = store.file(QStringLiteral("汇总.xls"));
    prompter.files.push_back(out);
    window->BitBtn6Click();
    ASSERT_EQ(prompter.fileRequests.size(), 2u);
    EXPECT_EQ(prompter.fileRequests[1].suggestedName,
              QStringLiteral("Kestrova年报汇总表（%1)").arg(QDate::currentDate().toString(QStringLiteral("MM-dd"))));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("保存成功！"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("提示"));
    const auto x = readWithXlrd(out);
    EXPECT_EQ(x.at(3, 3), QStringLiteral("河南省粮食局"));
    EXPECT_EQ(x.at(6, 3), QStringLiteral("河南省"));
    EXPECT_EQ(x.at(7, 1), QStringLiteral("企业性质：国有"));
    EXPECT_EQ(x.at(7, 10), QStringLiteral("1"));
    EXPECT_EQ(x.at(indicatorCell(1)), QStringLiteral("10"));
    EXPECT_EQ(x.at(indicatorCell(2)), QString());
}

TEST_F(GatherWindow, RendersWithASelection)
{
    click({"地方企业", "河南省", "郑州市"});
    window->BitBtn1Click();
    const QString png = QDir(pictureFolder()).filePath(QStringLiteral("summary_window.png"));
    EXPECT_TRUE(renderPng(window.get(), png, QSize(1500, 1000)));
}
