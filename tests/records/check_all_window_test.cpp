// The 全部校验 window: what it lists, its filter and sort, the way into the entry form on
// the field to correct, and its workbook.
#include "records/ui/tfrm_check_all.h"
#include "records/ui/tfrm_input1.h"
#include "window_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

class CheckAllWindow : public WindowTest {
protected:
    qint64 add(const QString &name, const QMap<QString, QVariant> &extra)
    {
        QMap<QString, QVariant> v = extra;
        v[QStringLiteral("企业名称")] = name;
        v[QStringLiteral("省")] = QStringLiteral("河北省");
        v[QStringLiteral("地市")] = QStringLiteral("石家庄市");
        v[QStringLiteral("县")] = QStringLiteral("长安区");
        if (!v.contains(QStringLiteral("邮政编码")))
            v[QStringLiteral("邮政编码")] = QStringLiteral("050000");
        return insertRecord(db, v);
    }

    QStringList column(QTableView *grid, int c) const
    {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, c).data().toString();
        return out;
    }
};

} // namespace

TEST_F(CheckAllWindow, ListsFailuresSortsAndFiltersByRuleAndSumsThemUp)
{
    add(QStringLiteral("乙库"), {{QStringLiteral("占地面积"), 1.0}, {QStringLiteral("空地面积"), 2.0}});
    add(QStringLiteral("甲库"), {{QStringLiteral("邮政编码"), QStringLiteral("05")}});
    add(QStringLiteral("丙库"), {{QStringLiteral("泊位数量"), 1.0}, {QStringLiteral("占地面积"), 1.0},
                               {QStringLiteral("空地面积"), 3.0}});
    add(QStringLiteral("合格库"), {});
    ui::TFrmCheckAll w;
    QTableView *grid = w.grid();
    EXPECT_EQ(column(grid, 1), (QStringList{"乙库", "甲库", "丙库", "丙库"}));
    EXPECT_EQ(column(grid, 3), (QStringList{"规则2", "规则1", "规则2", "规则14"}));
    EXPECT_EQ(w.summary()->text(),
              QStringLiteral("共校验 4 个记录，3 个未通过（规则1：1 个记录，规则2：2 个记录，规则14：1 个记录）"));

    // Rules sort by number, not as text (规则14 after 规则2).
    grid->sortByColumn(3, Qt::AscendingOrder);
    EXPECT_EQ(column(grid, 3), (QStringList{"规则1", "规则2", "规则2", "规则14"}));

    QComboBox *rule = w.ruleFilter();
    ASSERT_EQ(rule->count(), 4); // 全部规则 and the three rules that some record fails
    rule->setCurrentIndex(rule->findData(2));
    EXPECT_EQ(column(grid, 1), (QStringList{"乙库", "丙库"}));
    // The filter wants the rule itself: rule 1 does not show rule 14.
    rule->setCurrentIndex(rule->findData(1));
    EXPECT_EQ(column(grid, 1), QStringList{"甲库"});
    rule->setCurrentIndex(0);
    EXPECT_EQ(grid->model()->rowCount(), 4);
}

TEST_F(CheckAllWindow, DoubleClickOpensThatRecordInTheEntryFormOnTheFailingField)
{
    add(QStringLiteral("甲库"), {});
    const qint64 id = add(QStringLiteral("同名库"), {{QStringLiteral("熏蒸剂"), 5.0}, {QStringLiteral("储粮药剂"), 1.0}});
    add(QStringLiteral("同名库"), {}); // a record of the same name that passes
    ui::TFrmCheckAll w;
    ASSERT_EQ(w.grid()->model()->rowCount(), 1);

    QString focused, idShown, fumigant;
    onOpen = [&](QDialog *d) {
        auto *form = qobject_cast<ui::TFrmInput1 *>(d);
        ASSERT_NE(form, nullptr);
        if (QWidget *f = form->focusWidget())
            focused = f->objectName();
        idShown = form->fields().idText;
        fumigant = form->fields().indicatorText(8);
        // Corrected in the form and saved: the list is made again without it.
        db.exec(QStringLiteral("UPDATE TZ_XIANGMU SET 熏蒸剂=1 WHERE ID=?1"), {id});
    };
    w.openRow(0);
    EXPECT_EQ(openedClasses(), QStringList{"TFrmInput1"});
    EXPECT_EQ(idShown, QString::number(id)); // not the other record of that name
    EXPECT_EQ(fumigant, QStringLiteral("5"));
    EXPECT_EQ(focused, QStringLiteral("MaskEdit007")); // the rule's own field: 储粮药剂
    EXPECT_EQ(w.grid()->model()->rowCount(), 0);
    EXPECT_EQ(w.summary()->text(), QStringLiteral("共校验 3 个记录，全部通过。"));
}

TEST_F(CheckAllWindow, SavesTheListAsShownThroughTheFileDialog)
{
    add(QStringLiteral("乙库"), {{QStringLiteral("占地面积"), 1.0}, {QStringLiteral("空地面积"), 2.0}});
    add(QStringLiteral("甲库"), {{QStringLiteral("邮政编码"), QStringLiteral("05")}});
    ui::TFrmCheckAll w;
    w.ruleFilter()->setCurrentIndex(w.ruleFilter()->findData(1));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.xls"));
    prompter.files.push_back(path);
    w.BitBtn1Click();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, QStringLiteral("xls"));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("保存成功！"));
    EXPECT_TRUE(prompter.errors.isEmpty());
    EXPECT_GT(QFileInfo(path).size(), 0);

    // Cancelling the dialog writes nothing and says nothing.
    prompter.files.push_back(std::nullopt);
    const size_t said = prompter.messages.size();
    w.BitBtn1Click();
    EXPECT_EQ(prompter.messages.size(), said);
}
