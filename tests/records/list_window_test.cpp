// The enterprise list window: its grid, filters, selected row and buttons.
#include "records/ui/record_list_model.h"
#include "records/ui/tfrm_list1.h"

#include "data/context.h"
#include "support/render_png.h"
#include "window_test_support.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace kestrova;
using namespace kestrova::ui;
using kestrova::test::insertRecord;

namespace {
class ListWindow : public test::WindowTest {
protected:
    void add(const QString &name, const QString &saved, const QString &province = QStringLiteral("北京市"),
             double capacity = 0, const QString &state = QStringLiteral("1"))
    {
        insertRecord(db, {{QStringLiteral("企业名称"), name},
                          {QStringLiteral("省"), province},
                          {QStringLiteral("企业性质"), QStringLiteral("国有")},
                          {QStringLiteral("经营范围"), QStringLiteral("储备")},
                          {QStringLiteral("仓容合计"), capacity},
                          {QStringLiteral("修改时间"), saved},
                          {QStringLiteral("校验状态"), state}});
    }

    static QString text(TFrmList1 &w, int row, int column)
    {
        return w.model()->index(row, column).data().toString();
    }
    static QColor colour(TFrmList1 &w, int row)
    {
        return w.model()->index(row, 0).data(Qt::BackgroundRole).value<QColor>();
    }
    static void click(TFrmList1 &w, const char *button) { child<QPushButton>(&w, button)->click(); }

    void SetUp() override { TFrmList1::setSelectedRow(0); }
};
} // namespace

TEST_F(ListWindow, ShowsSixCentredColumnsNewestFirst)
{
    add(QStringLiteral("旧库"), QStringLiteral("2014-01-01 08:00:00"), QStringLiteral("河北省"), 0, QStringLiteral("0"));
    add(QStringLiteral("新库"), QStringLiteral("2014-02-01 08:00:00"));
    TFrmList1 w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kestrova年报表"));
    QTableView *grid = child<QTableView>(&w, "AdvStringGrid1");
    const QStringList headers{QStringLiteral("序号"), QStringLiteral("企业性质"), QStringLiteral("省份"),
                              QStringLiteral("经营范围"), QStringLiteral("企业名称"), QStringLiteral("校验")};
    const QList<int> widths{82, 182, 192, 186, 192, 185};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(w.model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
        EXPECT_EQ(grid->columnWidth(c), widths[c]);
    }
    EXPECT_EQ(w.model()->index(0, 3).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), 30);
    ASSERT_EQ(w.model()->rowCount(), 2);
    EXPECT_EQ(text(w, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(text(w, 0, 4), QStringLiteral("新库"));
    EXPECT_EQ(text(w, 0, 5), QStringLiteral("通过"));
    EXPECT_EQ(text(w, 1, 4), QStringLiteral("旧库"));
    EXPECT_EQ(text(w, 1, 5), QStringLiteral("否"));
    // The province filter offers the provinces of the records.
    QComboBox *province = child<QComboBox>(&w, "ComboBox1");
    EXPECT_EQ(province->count(), 2);
    EXPECT_TRUE(province->currentText().isEmpty());

    test::renderPng(&w, test::pictureFolder() + QStringLiteral("/list.png"), QSize(1100, 520));
}

TEST_F(ListWindow, EmptyTableShowsOneEmptyRow)
{
    TFrmList1 w;
    EXPECT_EQ(w.model()->rowCount(), 1);
    EXPECT_EQ(text(w, 0, 0), QString());
}

TEST_F(ListWindow, SearchAppliesFiltersThenEmptiesThree)
{
    add(QStringLiteral("北京一库"), QStringLiteral("2014-01-01 08:00:00"), QStringLiteral("北京市"), 30000);
    add(QStringLiteral("北京二库"), QStringLiteral("2014-01-02 08:00:00"), QStringLiteral("北京市"), 100);
    add(QStringLiteral("河北一库"), QStringLiteral("2014-01-03 08:00:00"), QStringLiteral("河北省"), 30000);
    TFrmList1 w;
    child<QComboBox>(&w, "ComboBox1")->setEditText(QStringLiteral(" 北京 "));
    child<QComboBox>(&w, "ComboBox2")->setEditText(QStringLiteral("国有"));
    child<QComboBox>(&w, "ComboBox3")->setEditText(QStringLiteral("储备"));
    child<QLineEdit>(&w, "Edit1")->setText(QStringLiteral("库"));
    child<QLineEdit>(&w, "Edit2")->setText(QStringLiteral("20000"));
    click(w, "BitBtn2");
    ASSERT_EQ(w.model()->rowCount(), 1);
    EXPECT_EQ(text(w, 0, 4), QStringLiteral("北京一库"));
    EXPECT_TRUE(child<QComboBox>(&w, "ComboBox1")->currentText().isEmpty());
    EXPECT_TRUE(child<QComboBox>(&w, "ComboBox2")->currentText().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(&w, "Edit1")->text().isEmpty());
    EXPECT_EQ(child<QComboBox>(&w, "ComboBox3")->currentText(), QStringLiteral("储备"));
    EXPECT_EQ(child<QLineEdit>(&w, "Edit2")->text(), QStringLiteral("20000"));
    // Searching again with what is left: both capacity-rich records.
    click(w, "BitBtn2");
    EXPECT_EQ(w.model()->rowCount(), 2);
    // The capacity fields take digits only.
    test::typeInto(child<QLineEdit>(&w, "Edit3"), QStringLiteral("1x2"));
    EXPECT_EQ(child<QLineEdit>(&w, "Edit3")->text(), QStringLiteral("12"));
}

TEST_F(ListWindow, SelectedRowIsPaintedAndOutlivesTheWindow)
{
    for (int i = 0; i < 3; ++i)
        add(QStringLiteral("库%1").arg(i), QStringLiteral("2014-01-0%1 08:00:00").arg(i + 1));
    {
        TFrmList1 w;
        w.grid()->clicked(w.model()->index(1, 2));
        EXPECT_EQ(TFrmList1::selectedRow(), 2);
        EXPECT_EQ(colour(w, 1), QColor(Qt::yellow));
        EXPECT_EQ(colour(w, 0), QColor(Qt::white));
    }
    TFrmList1 second;
    EXPECT_EQ(colour(second, 1), QColor(Qt::yellow));
    EXPECT_EQ(colour(second, 2), QColor(Qt::white));
}

TEST_F(ListWindow, DeleteNamesWhatGoesAndLeavesNoOtherRecordSelected)
{
    add(QStringLiteral("同名库"), QStringLiteral("2014-01-01 08:00:00"));
    add(QStringLiteral("别的库"), QStringLiteral("2014-01-02 08:00:00"));
    add(QStringLiteral("同名库"), QStringLiteral("2014-01-03 08:00:00"));
    TFrmList1 w;
    w.grid()->clicked(w.model()->index(0, 4));
    prompter.answers = {Answer::Cancel};
    click(w, "BitBtn3");
    EXPECT_EQ(test::count(db, QStringLiteral("TZ_XIANGMU")), 3);
    click(w, "BitBtn3");
    EXPECT_EQ(test::count(db, QStringLiteral("TZ_XIANGMU")), 1);
    ASSERT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(prompter.messages[1].text, QStringLiteral("此操作将删除企业名称为“同名库”的全部2条纪录，是否继续？"));
    EXPECT_EQ(prompter.messages[1].caption, QStringLiteral("提示"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("删除成功！"));
    EXPECT_EQ(text(w, 0, 4), QStringLiteral("别的库"));
    // The row that moved up is not the one chosen: a second 删除 must not take it.
    EXPECT_EQ(colour(w, 0), QColor(Qt::white));
    click(w, "BitBtn3");
    EXPECT_EQ(prompter.lastText(), QStringLiteral("请在列表中选择要删除的纪录！"));
    EXPECT_EQ(test::count(db, QStringLiteral("TZ_XIANGMU")), 1);
}

TEST_F(ListWindow, NamelessRecordCannotBeDeletedByRowButByTheEmptyDelete)
{
    add(QString(), QStringLiteral("2014-01-02 08:00:00"));
    add(QStringLiteral("有名库"), QStringLiteral("2014-01-01 08:00:00"));
    TFrmList1 w;
    w.grid()->clicked(w.model()->index(0, 4));
    click(w, "BitBtn3");
    EXPECT_EQ(prompter.lastText(), QStringLiteral("请在列表中选择要删除的纪录！"));
    EXPECT_EQ(test::count(db, QStringLiteral("TZ_XIANGMU")), 2);
    click(w, "BitBtn6");
    EXPECT_EQ(prompter.messages.at(1).text, QStringLiteral("此操作将删除企业名称为空的纪录，是否继续？"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("删除成功！"));
    EXPECT_EQ(test::count(db, QStringLiteral("TZ_XIANGMU")), 1);
    EXPECT_EQ(text(w, 0, 4), QStringLiteral("有名库"));
}

TEST_F(ListWindow, AddAndModifyOpenTheFormWithTheRightRecord)
{
    add(QStringLiteral("同名库"), QStringLiteral("2014-01-01 08:00:00"));
    add(QStringLiteral("同名库"), QStringLiteral("2014-01-02 08:00:00"));
    auto *w = new TFrmList1;
    w->grid()->clicked(w->model()->index(1, 0));
    const qint64 older = w->model()->rows().at(1).id;
    click(*w, "BitBtn1");
    EXPECT_EQ(context().entryMode, 1);
    EXPECT_EQ(context().enterpriseName, QStringLiteral("同名库"));
    EXPECT_EQ(context().enterpriseId, older);
    EXPECT_EQ(openedClasses(), QStringList{QStringLiteral("TFrmInput1")});
    delete w;

    // With no row chosen 修改 says so instead of opening an empty form.
    TFrmList1::setSelectedRow(0);
    TFrmList1 list;
    opened.clear();
    click(list, "BitBtn1");
    EXPECT_EQ(prompter.lastText(), QStringLiteral("请先选择一条记录！"));
    EXPECT_TRUE(opened.isEmpty());
    click(list, "BitBtn4");
    EXPECT_EQ(context().entryMode, 2);
    EXPECT_TRUE(context().enterpriseName.isEmpty());
}
