// The entry form: its fields, totals, change handlers, load and save.
#include "records/ui/indicator_block_widget.h"
#include "records/ui/input_guards.h"
#include "records/ui/tfrm_input1.h"

#include "data/context.h"
#include "xls/reader.h"

#include <QTemporaryDir>
#include "support/render_png.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QWheelEvent>

using namespace kestrova;
using namespace kestrova::ui;
using kestrova::test::insertRecord;

namespace {
class InputForm : public test::WindowTest {
protected:
    test::Place place = test::firstPlace(db);

    static QLineEdit *field(TFrmInput1 &w, int k) { return w.indicators()->field(k); }
    static QLineEdit *edit(TFrmInput1 &w, const char *name) { return child<QLineEdit>(&w, name); }
    static QComboBox *picker(TFrmInput1 &w, const char *name) { return child<QComboBox>(&w, name); }

    // A record of the place with a few indicators, the corps box as given.
    qint64 addRecord(const QString &name, bool corps = false)
    {
        return insertRecord(db, {{QStringLiteral("企业名称"), name},
                                 {QStringLiteral("省"), place.province},
                                 {QStringLiteral("地市"), place.city},
                                 {QStringLiteral("县"), place.county},
                                 {QStringLiteral("行政区划代码"), place.code},
                                 {QStringLiteral("邮政编码"), QStringLiteral("100000")},
                                 {QStringLiteral("联系电话"), QStringLiteral("010-1")},
                                 {QStringLiteral("组织机构代码"), QStringLiteral("ORG-") + name},
                                 {QStringLiteral("企业性质"), QStringLiteral("国有")},
                                 {QStringLiteral("法人代表"), QStringLiteral("张三")},
                                 {QStringLiteral("隶属关系"), QStringLiteral("中储粮北京分公司")},
                                 {QStringLiteral("央企名称"), QStringLiteral("中国储备粮管理总公司")},
                                 {QStringLiteral("新疆兵团"), corps ? QStringLiteral("是") : QStringLiteral("否")},
                                 {QStringLiteral("经营范围"), QStringLiteral("储备")},
                                 {QStringLiteral("年度"), QStringLiteral("2013")},
                                 {QStringLiteral("占地面积"), 120.0},
                                 {QStringLiteral("平房仓"), 1000.0},
                                 {QStringLiteral("浅圆仓"), 250.0},
                                 {QStringLiteral("仓容合计"), 1250.0},
                                 {QStringLiteral("单位负责人"), QStringLiteral("李四")},
                                 {QStringLiteral("填表人"), QStringLiteral("王五")},
                                 {QStringLiteral("填报日期"), QStringLiteral("2014-03-05")},
                                 {QStringLiteral("修改时间"), QStringLiteral("2014-03-05 09:00:00")},
                                 {QStringLiteral("校验状态"), QStringLiteral("1")}});
    }

    void openOn(qint64 id, const QString &name)
    {
        context().entryMode = 1;
        context().enterpriseId = id;
        context().enterpriseName = name;
    }
    void openNew()
    {
        context().entryMode = 2;
        context().enterpriseId = 0;
        context().enterpriseName.clear();
    }
};
} // namespace

TEST_F(InputForm, NewFormHasEveryFieldWithTotalsDisabled)
{
    openNew();
    TFrmInput1 w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("统计表输入"));
    for (int k = 1; k <= kIndicatorCount; ++k) {
        QLineEdit *f = w.findChild<QLineEdit *>(QStringLiteral("MaskEdit%1").arg(k, 3, 10, QLatin1Char('0')));
        ASSERT_NE(f, nullptr) << k;
        EXPECT_TRUE(f->text().isEmpty());
        EXPECT_EQ(f->isEnabled(), !isComputedTotal(k)) << k;
        EXPECT_TRUE(f->alignment() & Qt::AlignRight);
    }
    EXPECT_EQ(field(w, 23)->palette().color(QPalette::Disabled, QPalette::Base), IndicatorBlockWidget::totalBackground());
    EXPECT_EQ(picker(w, "Comb_niandu")->currentText(), QString::number(QDate::currentDate().year() - 1));
    EXPECT_EQ(child<QDateEdit>(&w, "DateTimePicker1")->date(), QDate::currentDate());
    EXPECT_GT(picker(w, "ComboBox01")->count(), 30);
    for (const char *fixed : {"表    号:GL20表", "制表机关:Tarnhold", "批准机关:国家统计局", "批准文号：国统制[2012]192号",
                              "有效期至:2014年12月", "基本情况", "库容情况", "机械设备情况", "计量单位", "本年度数量"}) {
        bool found = false;
        for (QLabel *l : w.findChildren<QLabel *>())
            found = found || l->text() == QString::fromUtf8(fixed);
        EXPECT_TRUE(found) << fixed;
    }
    test::renderPng(&w, test::pictureFolder() + QStringLiteral("/form-new.png"), QSize(1400, 1100));
}

TEST_F(InputForm, TotalsFollowTheirParts)
{
    openNew();
    TFrmInput1 w;
    field(w, 14)->setText(QStringLiteral("1000"));
    field(w, 15)->setText(QStringLiteral("250"));
    EXPECT_EQ(field(w, 13)->text(), QStringLiteral("1250"));
    field(w, 19)->setText(QStringLiteral("7"));
    EXPECT_EQ(field(w, 17)->text(), QStringLiteral("7"));
    field(w, 31)->setText(QStringLiteral("5"));
    field(w, 31)->clear();
    EXPECT_EQ(field(w, 23)->text(), QStringLiteral("0"));
    // While automatic totals are off nothing is recomputed.
    w.indicators()->setAutoTotals(false);
    field(w, 26)->setText(QStringLiteral("9"));
    EXPECT_EQ(field(w, 23)->text(), QStringLiteral("0"));
}

TEST_F(InputForm, KeyFiltersAndChangeHandlers)
{
    openNew();
    TFrmInput1 w;
    test::typeInto(field(w, 1), QStringLiteral("1a2 .3"));
    EXPECT_EQ(field(w, 1)->text(), QStringLiteral("123"));
    test::typeInto(edit(w, "Edit9"), QStringLiteral("10x0"));
    EXPECT_EQ(edit(w, "Edit9")->text(), QStringLiteral("100"));
    test::typeInto(picker(w, "ComboBox1"), QStringLiteral("民abc")); // no choosing by first letters either
    EXPECT_TRUE(picker(w, "ComboBox1")->currentText().isEmpty());
    test::typeInto(picker(w, "ComboBox03"), QStringLiteral("xy"));
    EXPECT_EQ(picker(w, "ComboBox03")->currentText(), QStringLiteral("xy")); // the county takes typing

    edit(w, "Edit3")->setText(QStringLiteral("手填"));
    edit(w, "Edit6")->setText(QStringLiteral("示范库"));
    EXPECT_EQ(edit(w, "Edit3")->text(), QStringLiteral("示范库"));

    QComboBox *company = picker(w, "ComboBox3");
    company->setCurrentIndex(0); // 中国储备粮管理总公司
    QComboBox *branch = picker(w, "ComboBox4");
    ASSERT_GT(branch->count(), 0);
    EXPECT_EQ(branch->itemText(0), QStringLiteral("中储粮北京分公司"));
    branch->textActivated(branch->itemText(1));
    EXPECT_EQ(edit(w, "Edit3")->text(), branch->itemText(1));

    QCheckBox *corps = child<QCheckBox>(&w, "CheckBox1");
    corps->setChecked(true);
    EXPECT_FALSE(company->isEnabled());
    EXPECT_TRUE(company->currentText().isEmpty());
    EXPECT_EQ(edit(w, "Edit3")->text(), QStringLiteral("示范库"));
    corps->setChecked(false);
    EXPECT_TRUE(company->isEnabled());
    EXPECT_TRUE(edit(w, "Edit3")->text().isEmpty());
}

TEST_F(InputForm, RegionPickersCascade)
{
    openNew();
    TFrmInput1 w;
    QComboBox *prov = picker(w, "ComboBox01");
    prov->setCurrentText(place.province);
    QComboBox *city = picker(w, "ComboBox02");
    ASSERT_GT(city->count(), 0);
    city->setCurrentText(place.city);
    QComboBox *county = picker(w, "ComboBox03");
    ASSERT_GT(county->count(), 0);
    county->setCurrentText(place.county);
    EXPECT_EQ(w.regionCode(), place.code);
    prov->setCurrentIndex(prov->count() - 1);
    EXPECT_TRUE(city->currentText().isEmpty());
    EXPECT_TRUE(county->currentText().isEmpty());
}

TEST_F(InputForm, WheelScrollsTheFormAndNeverChangesAPicker)
{
    openNew();
    TFrmInput1 w;
    w.resize(1000, 400);
    w.show();
    QApplication::processEvents();
    QComboBox *ownership = picker(w, "ComboBox1");
    ownership->setCurrentIndex(1);
    ownership->setFocus();
    QScrollBar *bar = w.scrollArea()->verticalScrollBar();
    bar->setValue(100);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(ownership, &wheel);
    EXPECT_EQ(ownership->currentIndex(), 1);
    EXPECT_EQ(bar->value(), 125);
}

TEST_F(InputForm, LoadShowsZerosEmptyAndRunsTheCorpsHandler)
{
    const qint64 id = addRecord(QStringLiteral("兵团粮库"), true);
    openOn(id, QStringLiteral("兵团粮库"));
    TFrmInput1 w;
    EXPECT_EQ(edit(w, "Edit6")->text(), QStringLiteral("兵团粮库"));
    EXPECT_EQ(edit(w, "Edit_ID")->text(), QString::number(id));
    EXPECT_TRUE(child<QCheckBox>(&w, "CheckBox1")->isChecked());
    EXPECT_TRUE(picker(w, "ComboBox3")->currentText().isEmpty()); // emptied by the corps box
    EXPECT_EQ(edit(w, "Edit3")->text(), QStringLiteral("兵团粮库"));
    EXPECT_EQ(field(w, 1)->text(), QStringLiteral("120"));
    EXPECT_TRUE(field(w, 2)->text().isEmpty());
    EXPECT_EQ(field(w, 23)->text(), QStringLiteral("1250"));
    EXPECT_EQ(picker(w, "ComboBox03")->currentText(), place.county);
    EXPECT_GT(picker(w, "ComboBox03")->count(), 0);
    EXPECT_EQ(child<QDateEdit>(&w, "DateTimePicker1")->date(), QDate(2014, 3, 5));
    ASSERT_TRUE(w.opened());
    test::renderPng(&w, test::pictureFolder() + QStringLiteral("/form-loaded.png"), QSize(1400, 1100));
}

TEST_F(InputForm, LocalRecordKeepsItsCentralEnterpriseWithoutFillingBranches)
{
    const qint64 id = addRecord(QStringLiteral("中储粮某库"));
    openOn(id, QStringLiteral("中储粮某库"));
    TFrmInput1 w;
    EXPECT_EQ(picker(w, "ComboBox3")->currentText(), QStringLiteral("中国储备粮管理总公司"));
    EXPECT_EQ(picker(w, "ComboBox4")->count(), 0);
    EXPECT_EQ(edit(w, "Edit3")->text(), QStringLiteral("中储粮北京分公司"));
}

TEST_F(InputForm, HeaderRowNameOpensAnEmptyFormThatSavesANewRecord)
{
    addRecord(QStringLiteral("甲库"));
    openOn(0, QStringLiteral("企业名称"));
    TFrmInput1 w;
    EXPECT_TRUE(edit(w, "Edit6")->text().isEmpty());
    EXPECT_FALSE(w.opened());
}

TEST_F(InputForm, SaveEditsTheChosenRecordLogsAndHandsBackToTheList)
{
    addRecord(QStringLiteral("同名库"));
    const qint64 id = addRecord(QStringLiteral("同名库2"));
    db.exec(QStringLiteral("UPDATE TZ_XIANGMU SET 企业名称='同名库', 新疆兵团='否' WHERE ID=?1"), {id});
    openOn(id, QStringLiteral("同名库"));
    TFrmInput1 w;
    field(w, 3)->setText(QStringLiteral("2"));
    child<QPushButton>(&w, "BitBtn2")->click();
    QStringList texts;
    for (const auto &m : prompter.messages)
        texts << m.text;
    EXPECT_EQ(texts, (QStringList{QStringLiteral("是否对数据进行校验？"), QStringLiteral("数据保存成功！")}));
    EXPECT_EQ(test::cell(db, id, QStringLiteral("库区数")), QStringLiteral("2"));
    EXPECT_EQ(test::count(db, QStringLiteral("修改日志")), 1);
    // No second list on top of the form: the form closes and the list that opened it refreshes.
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(w.savedId(), id);
    EXPECT_TRUE(field(w, 2)->text().isEmpty()); // zeros shown empty again
}

TEST_F(InputForm, StoppedSaveFocusesTheFieldAndWritesNothing)
{
    openNew();
    TFrmInput1 w;
    w.show();
    child<QPushButton>(&w, "BitBtn2")->click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("请输入企业名称"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("输入错误提示"));
    EXPECT_EQ(edit(w, "Edit6")->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(field(w, 5)->text(), QStringLiteral("0")); // empty fields now show 0
    EXPECT_EQ(test::count(db, QStringLiteral("TZ_XIANGMU")), 0);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(InputForm, FailedValidationEmptiesTheZerosAgain)
{
    const qint64 id = addRecord(QStringLiteral("甲库"));
    openOn(id, QStringLiteral("甲库"));
    TFrmInput1 w;
    field(w, 2)->setText(QStringLiteral("500")); // more than the 120 of field 1
    child<QPushButton>(&w, "BitBtn2")->click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("要求：可用空地面积＜占地面积"));
    EXPECT_TRUE(field(w, 5)->text().isEmpty());
    EXPECT_EQ(test::cell(db, id, QStringLiteral("空地面积")), QStringLiteral("0"));
}

TEST_F(InputForm, UnsavedFormPrintsAsShown)
{
    openNew();
    TFrmInput1 w;
    edit(w, "Edit6")->setText(QStringLiteral("未保存的粮库"));
    field(w, 1)->setText(QStringLiteral("321"));
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("return.xls"));
    prompter.files.push_back(path);
    child<QPushButton>(&w, "BitBtn6")->click();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(prompter.fileRequests[0].defaultSuffix, QStringLiteral("xls"));
    EXPECT_TRUE(prompter.fileRequests[0].suggestedName.startsWith(QStringLiteral("Kestrova年报表（")));
    EXPECT_EQ(prompter.lastText(), QStringLiteral("保存成功！"));
    QStringList texts;
    for (const auto &row : xls::readSheetCells(path.toStdString(), xls::WorkbookReader::open(path.toStdString()).sheetNames().at(0)))
        for (const auto &cell : row)
            texts << QString::fromStdString(cell);
    EXPECT_TRUE(texts.contains(QStringLiteral("未保存的粮库")));
    EXPECT_TRUE(texts.contains(QStringLiteral("321")));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM TZ_XIANGMU")), QStringLiteral("0"))
        << "printing writes nothing to the database";
}

TEST_F(InputForm, FocusedFieldIsYellowTheOthersWhiteAndBackClosesAnUnchangedForm)
{
    openNew();
    TFrmInput1 w;
    w.show();
    QApplication::setActiveWindow(&w);
    edit(w, "Edit2")->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(edit(w, "Edit2")->palette().color(QPalette::Base), QColor(Qt::yellow));
    field(w, 5)->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(field(w, 5)->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(edit(w, "Edit2")->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(field(w, 13)->palette().color(QPalette::Disabled, QPalette::Base), IndicatorBlockWidget::totalBackground());

    child<QPushButton>(&w, "BitBtn5")->click();
    EXPECT_TRUE(prompter.messages.empty()); // nothing typed, nothing to ask
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_FALSE(w.isVisible());
}

TEST_F(InputForm, LeavingWithTypedInputAsksAndNoKeepsIt)
{
    const qint64 id = addRecord(QStringLiteral("甲库"));
    openOn(id, QStringLiteral("甲库"));
    TFrmInput1 w;
    w.show();
    EXPECT_FALSE(w.hasUnsavedChanges()); // zeros shown empty are no change
    field(w, 3)->setText(QStringLiteral("7"));
    prompter.answers = {Answer::No, Answer::No, Answer::Yes};
    w.reject(); // Esc
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text, QStringLiteral("放弃未保存的修改？"));
    EXPECT_EQ(prompter.messages[0].buttons, Buttons::YesNoDefaultNo);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(field(w, 3)->text(), QStringLiteral("7"));
    w.close(); // the title bar's close button
    EXPECT_TRUE(w.isVisible());
    child<QPushButton>(&w, "BitBtn5")->click(); // 返回, and this time Yes
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(prompter.messages.size(), 3u);
    EXPECT_EQ(test::cell(db, id, QStringLiteral("库区数")), QStringLiteral("0"));
}

TEST_F(InputForm, NewRecordIsForTheTasksYearFromTheYearTable)
{
    db.exec(QStringLiteral("DELETE FROM 任务信息"));
    db.exec(QStringLiteral("INSERT INTO 任务信息(年份, 汇总级别) VALUES ('2012', '国家级汇总')"));
    openNew();
    TFrmInput1 w;
    QComboBox *year = picker(w, "Comb_niandu");
    EXPECT_EQ(year->currentText(), QStringLiteral("2012"));
    QStringList offered;
    for (int i = 0; i < year->count(); ++i)
        offered << year->itemText(i);
    EXPECT_EQ(offered.front(), QStringLiteral("2010"));
    EXPECT_EQ(offered.size(), db.scalar(QStringLiteral("SELECT count(*) FROM 年度")).toInt());
}

TEST_F(InputForm, PickersOfferOnlyTheirListAndShowAStoredValueBesideIt)
{
    // Backspace, Delete and pasting have nothing to change in a picker without a text box.
    const qint64 id = addRecord(QStringLiteral("甲库"));
    db.exec(QStringLiteral("UPDATE TZ_XIANGMU SET 年度='2009' WHERE ID=?1"), {id});
    openOn(id, QStringLiteral("甲库"));
    TFrmInput1 w;
    for (const char *name : {"ComboBox01", "ComboBox02", "ComboBox1", "ComboBox2", "ComboBox3", "ComboBox4", "Comb_niandu"})
        EXPECT_FALSE(picker(w, name)->isEditable()) << name;
    EXPECT_EQ(picker(w, "Comb_niandu")->currentText(), QStringLiteral("2009")); // kept though not in 年度
    EXPECT_EQ(picker(w, "ComboBox01")->currentText(), place.province);
    const int provinceWidth = picker(w, "ComboBox01")->sizeHint().width();
    openNew();
    TFrmInput1 empty;
    EXPECT_EQ(picker(empty, "ComboBox01")->sizeHint().width(), provinceWidth) << "the line keeps its shape";
}

TEST_F(InputForm, NumberBeyondFifteenDigitsIsRefusedAndFocused)
{
    const qint64 id = addRecord(QStringLiteral("甲库"));
    openOn(id, QStringLiteral("甲库"));
    TFrmInput1 w;
    w.show();
    field(w, 26)->setText(QStringLiteral("99999999999999999999"));
    child<QPushButton>(&w, "BitBtn2")->click();
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text,
              QStringLiteral("“1.平房仓”的内容“99999999999999999999”超过15位有效数字，无法准确保存，请改正！"));
    EXPECT_EQ(prompter.messages[0].caption, QStringLiteral("输入错误提示"));
    EXPECT_EQ(test::cell(db, id, QStringLiteral("平房仓")), QStringLiteral("1000"));
}

TEST(IndicatorBlock, WithoutFiltersAndHandlersShowsTheSameFields)
{
    IndicatorBlockWidget block({false, false});
    block.setText(14, QStringLiteral("5"));
    EXPECT_TRUE(block.text(13).isEmpty()); // no change handlers: no totals
    test::typeInto(block.field(1), QStringLiteral("1.5a"));
    EXPECT_EQ(block.text(1), QStringLiteral("1.5a")); // no key filter
    EXPECT_FALSE(block.field(23)->isEnabled());
    EXPECT_EQ(block.field(72)->objectName(), QStringLiteral("MaskEdit072"));
    block.recomputeTotals();
    EXPECT_EQ(block.text(13), QStringLiteral("5"));
}

TEST(IndicatorBlock, NothingLiesOverAFieldAndTableHeadsStandOverTheirFields)
{
    IndicatorBlockWidget block({true, true});
    block.resize(1300, 700);
    block.show();
    QApplication::processEvents();
    QSet<QString> names;
    for (int k = 1; k <= kIndicatorCount; ++k) {
        QLineEdit *f = block.field(k);
        const QPoint centre = f->mapTo(&block, f->rect().center());
        EXPECT_EQ(block.childAt(centre), f) << "a click on field " << k << " reaches something else";
        EXPECT_FALSE(f->accessibleName().isEmpty()) << k;
        names.insert(f->accessibleName());
    }
    EXPECT_EQ(names.size(), kIndicatorCount) << "two fields go by the same name";
    EXPECT_EQ(IndicatorBlockWidget::fieldTitle(14), QStringLiteral("粮食 1.接收能力 其中：铁路"));
    EXPECT_EQ(IndicatorBlockWidget::fieldTitle(42), QStringLiteral("罐容（吨） 小于1000"));

    // Each column head of the two tables stands over the fields of its column.
    auto headOver = [&](const QString &caption, int k) {
        QLineEdit *f = block.field(k);
        const int fieldX = f->mapTo(&block, f->rect().center()).x();
        for (QLabel *l : block.findChildren<QLabel *>()) {
            const int x = l->mapTo(&block, l->rect().center()).x();
            const int y = l->mapTo(&block, l->rect().center()).y();
            if (l->text() == caption && y < f->mapTo(&block, QPoint(0, 0)).y() && std::abs(x - fieldX) <= 2)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(headOver(QStringLiteral("小于1000"), 38));
    EXPECT_TRUE(headOver(QStringLiteral("10000以上"), 45));
    EXPECT_TRUE(headOver(QStringLiteral("数量（个）"), 46));
    EXPECT_TRUE(headOver(QStringLiteral("存粮（吨）"), 52));
    // No blank line inside a group: 烘干能力 follows 设备数量 directly, as 油脂's two lines do.
    auto top = [&](int k) { return block.field(k)->mapTo(&block, QPoint(0, 0)).y(); };
    const int line = top(57) - top(56);
    EXPECT_LE(std::abs(top(56) - top(55) - line), 2);
    EXPECT_LE(std::abs(top(22) - top(21) - line), 2);
}
