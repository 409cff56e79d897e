// The custom query window over the list that opened it.
#include "records/ui/record_list_model.h"
#include "records/ui/tfrm_define.h"
#include "records/ui/tfrm_list1.h"

#include "window_test_support.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

using namespace kestrova;
using namespace kestrova::ui;
using kestrova::test::insertRecord;

namespace {
class DefineWindow : public test::WindowTest {
protected:
    void SetUp() override
    {
        insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("甲库")},
                          {QStringLiteral("经营范围"), QStringLiteral("储备")},
                          {QStringLiteral("仓容合计"), 20000.0},
                          {QStringLiteral("修改时间"), QStringLiteral("2014-01-01 08:00:00")}});
        insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("乙库")},
                          {QStringLiteral("经营范围"), QStringLiteral("加工")},
                          {QStringLiteral("仓容合计"), 500.0},
                          {QStringLiteral("修改时间"), QStringLiteral("2014-01-02 08:00:00")}});
        insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("丙库")},
                          {QStringLiteral("经营范围"), QStringLiteral("物流")},
                          {QStringLiteral("仓容合计"), 800.0},
                          {QStringLiteral("修改时间"), QStringLiteral("2014-01-03 08:00:00")}});
    }

    static void choose(TFrmDefine &d, const QString &indicator)
    {
        auto *list = child<QListWidget>(&d, "ListBox1");
        const auto items = list->findItems(indicator, Qt::MatchExactly);
        ASSERT_FALSE(items.isEmpty()) << indicator.toStdString();
        list->setCurrentItem(items.front());
        d.ListBox1Click();
    }
    static void press(TFrmDefine &d, const char *name) { child<QPushButton>(&d, name)->click(); }
    static QStringList names(TFrmList1 &l)
    {
        QStringList out;
        for (const ListRow &r : l.model()->rows())
            out << r.name;
        return out;
    }
};
} // namespace

TEST_F(DefineWindow, TermsJoinedWithOrRefillTheList)
{
    TFrmList1 list;
    TFrmDefine d(&list);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("自定义查询器"));
    EXPECT_FALSE(child<QRadioButton>(&d, "RadioButton1")->isEnabled());
    choose(d, QStringLiteral("仓容合计"));
    child<QRadioButton>(&d, "RadioButton6")->setChecked(true); // >=
    test::typeInto(child<QLineEdit>(&d, "Edit1"), QStringLiteral("1x0000"));
    EXPECT_EQ(child<QLineEdit>(&d, "Edit1")->text(), QStringLiteral("10000"));
    press(d, "BitBtn2");
    child<QRadioButton>(&d, "RadioButton2")->click(); // 或者
    choose(d, QStringLiteral("经营范围"));
    EXPECT_FALSE(child<QRadioButton>(&d, "RadioButton3")->isEnabled());
    test::typeInto(child<QLineEdit>(&d, "Edit1"), QStringLiteral("加"));
    press(d, "BitBtn2");
    // Shown in words; the global condition keeps the terms as they were written.
    EXPECT_EQ(child<QTextEdit>(&d, "RichEdit1")->toPlainText(),
              QStringLiteral("仓容合计 大于或等于 10000 或者 经营范围 包含 “加”"));
    press(d, "BitBtn1");
    EXPECT_EQ(names(list), (QStringList{QStringLiteral("乙库"), QStringLiteral("甲库")}));
    EXPECT_EQ(lastCustomCondition(), QStringLiteral("仓容合计>=10000 or 经营范围 like \"%加%\""));
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_F(DefineWindow, ValueForAnOutlinedButUnchosenIndicatorIsRefused)
{
    // The list outlines its first item (企业名称) when it takes the focus; a value typed
    // then must not become 企业名称=5, which finds nothing and says nothing.
    TFrmList1 list;
    TFrmDefine d(&list);
    auto *indicators = child<QListWidget>(&d, "ListBox1");
    indicators->setCurrentItem(indicators->item(0), QItemSelectionModel::NoUpdate);
    child<QLineEdit>(&d, "Edit1")->setText(QStringLiteral("5"));
    press(d, "BitBtn2");
    EXPECT_EQ(prompter.lastText(), QStringLiteral("请先在左边的列表中选择查询指标！"));
    EXPECT_TRUE(child<QTextEdit>(&d, "RichEdit1")->toPlainText().isEmpty());
    press(d, "BitBtn1");
    EXPECT_EQ(list.model()->rows().size(), 3u);
}

TEST_F(DefineWindow, EmptyValueIsAskedForAndTheListStaysUsable)
{
    TFrmList1 list;
    TFrmDefine d(&list);
    choose(d, QStringLiteral("企业名称"));
    press(d, "BitBtn2");
    EXPECT_EQ(prompter.lastText(), QStringLiteral("请填入条件！"));
    EXPECT_EQ(prompter.messages.back().caption, QStringLiteral("提示！"));
    EXPECT_TRUE(child<QListWidget>(&d, "ListBox1")->isEnabled());
    EXPECT_TRUE(child<QTextEdit>(&d, "RichEdit1")->toPlainText().isEmpty());
}

TEST_F(DefineWindow, IncompleteNumberIsRefusedAndTheListIsUnchanged)
{
    TFrmList1 list;
    TFrmDefine d(&list);
    setCustomQueryTextKind(false);
    choose(d, QStringLiteral("仓容合计"));
    test::typeInto(child<QLineEdit>(&d, "Edit1"), QStringLiteral("-"));
    EXPECT_EQ(child<QLineEdit>(&d, "Edit1")->text(), QStringLiteral("-"));
    press(d, "BitBtn2");
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("-")));
    press(d, "BitBtn1"); // nothing was added: closes without touching the list
    EXPECT_EQ(list.model()->rows().size(), 3u);
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_F(DefineWindow, UnknownIndicatorIsRefusedWithoutADatabaseError)
{
    db.exec(QStringLiteral("INSERT INTO 查询指标(指标, 类型) VALUES ('不存在的列', '0')"));
    TFrmList1 list;
    TFrmDefine d(&list);
    choose(d, QStringLiteral("不存在的列"));
    test::typeInto(child<QLineEdit>(&d, "Edit1"), QStringLiteral("5"));
    press(d, "BitBtn2");
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("不存在的列")));
    EXPECT_TRUE(prompter.errors.isEmpty());
    EXPECT_EQ(list.model()->rows().size(), 3u);
}

TEST_F(DefineWindow, TextValuesWithQuotesAndPercentAreFoundLiterally)
{
    insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("丁\"100%\"库")},
                      {QStringLiteral("修改时间"), QStringLiteral("2014-01-04 08:00:00")}});
    TFrmList1 list;
    TFrmDefine d(&list);
    choose(d, QStringLiteral("企业名称"));
    child<QLineEdit>(&d, "Edit1")->setText(QStringLiteral("\"100%"));
    press(d, "BitBtn2");
    press(d, "BitBtn1");
    EXPECT_EQ(names(list), QStringList{QStringLiteral("丁\"100%\"库")});
}

TEST_F(DefineWindow, KindOfTheLastSelectionLastsIntoANewWindow)
{
    TFrmList1 list;
    {
        TFrmDefine d(&list);
        choose(d, QStringLiteral("企业名称"));
    }
    TFrmDefine again(&list);
    test::typeInto(child<QLineEdit>(&again, "Edit1"), QStringLiteral("ab"));
    EXPECT_EQ(child<QLineEdit>(&again, "Edit1")->text(), QStringLiteral("ab"));
}

TEST_F(DefineWindow, ListButtonOpensTheWindow)
{
    TFrmList1 list;
    child<QPushButton>(&list, "BitBtndefine")->click();
    EXPECT_EQ(openedClasses(), QStringList{QStringLiteral("TFrmDefine")});
}
