// Saving the entry form without widgets: the checks in their order, the questions,
// the write and its modification log.
#include "records/save_flow.h"

#include "record_test_support.h"
#include "support/temp_store.h"

#include <gtest/gtest.h>

#include <deque>

using namespace kestrova;
using kestrova::test::count;
using kestrova::test::insertRecord;

namespace {
class FakeDialogue : public SaveDialogue {
public:
    QStringList refused, asked, informed;
    std::deque<bool> answers; // OK when empty
    void refuse(const QString &m) override { refused << m; }
    bool confirm(const QString &q) override
    {
        asked << q;
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void inform(const QString &m) override { informed << m; }
};

class SaveFlow : public ::testing::Test {
protected:
    test::TempStore store;
    Database &db = *store.db;
    test::Place place = test::firstPlace(db);
    FakeDialogue dialogue;
    QDateTime now{QDate(2014, 3, 5), QTime(9, 5, 7)};

    SaveOutcome save(const RecordFields &f, int mode = 2, std::optional<LoadedRecord> opened = std::nullopt)
    {
        SaveRequest r;
        r.fields = f;
        r.entryMode = mode;
        r.opened = opened;
        r.openedId = opened ? opened->id : 0;
        r.now = now;
        return runSave(db, r, dialogue);
    }

    LoadedRecord savedAndReloaded(const RecordFields &f)
    {
        const SaveOutcome o = save(f);
        EXPECT_TRUE(o.saved);
        return *loadRecordById(db, o.written.id);
    }
};
} // namespace

TEST_F(SaveFlow, NewRecordIsWrittenValidatedWithItsCountyCodeAndNoLog)
{
    RecordFields f = test::validFields(place);
    f.indicatorText(26) = QStringLiteral("1000");
    f.indicatorText(23) = QStringLiteral("1000");
    const SaveOutcome o = save(f);
    ASSERT_TRUE(o.saved);
    EXPECT_EQ(dialogue.asked, QStringList{kValidateQuestion});
    EXPECT_EQ(dialogue.informed, QStringList{QStringLiteral("数据保存成功！")});
    EXPECT_EQ(test::cell(db, o.written.id, QStringLiteral("校验状态")), QStringLiteral("1"));
    EXPECT_EQ(test::cell(db, o.written.id, QStringLiteral("行政区划代码")), place.code);
    EXPECT_EQ(test::cell(db, o.written.id, QStringLiteral("平房仓")), QStringLiteral("1000"));
    EXPECT_EQ(test::cell(db, o.written.id, QStringLiteral("占地面积")), QStringLiteral("0")); // empty saved as 0
    EXPECT_EQ(test::cell(db, o.written.id, QStringLiteral("填报日期")), QStringLiteral("2014-03-05"));
    EXPECT_EQ(test::cell(db, o.written.id, QStringLiteral("修改时间")), QStringLiteral("2014-03-05 09:05:07"));
    EXPECT_EQ(count(db, QStringLiteral("修改日志")), 0);
}

TEST_F(SaveFlow, DuplicateOrganisationCodeIsRefused)
{
    insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("甲")}, {QStringLiteral("组织机构代码"), QStringLiteral("X1")}});
    RecordFields f = test::validFields(place);
    f.text[QStringLiteral("组织机构代码")] = QStringLiteral(" X1 "); // compared trimmed
    const SaveOutcome o = save(f);
    EXPECT_FALSE(o.saved);
    EXPECT_EQ(dialogue.refused, QStringList{QStringLiteral("数据库中已存在此企业！")});
    EXPECT_EQ(o.focus, QStringLiteral("Edit6"));
    EXPECT_TRUE(o.yellow);
    EXPECT_EQ(count(db, QStringLiteral("TZ_XIANGMU")), 1);
}

TEST_F(SaveFlow, EmptyOrganisationCodeIsRefusedWhenAnotherRecordHasNone)
{
    insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("甲")}});
    RecordFields f = test::validFields(place);
    f.text[QStringLiteral("组织机构代码")] = QString();
    EXPECT_FALSE(save(f).saved);
    EXPECT_EQ(dialogue.refused, QStringList{QStringLiteral("数据库中已存在此企业！")});
}

TEST_F(SaveFlow, EditedRecordKeepingItsOrganisationCodePasses)
{
    const LoadedRecord rec = savedAndReloaded(test::validFields(place));
    RecordFields f = fieldsFromRecord(rec);
    f.text[QStringLiteral("法人代表")] = QStringLiteral("赵六");
    const SaveOutcome o = save(f, 1, rec);
    EXPECT_TRUE(o.saved);
    EXPECT_EQ(o.written.id, rec.id);
    EXPECT_EQ(count(db, QStringLiteral("TZ_XIANGMU")), 1);
}

TEST_F(SaveFlow, EachRequiredFieldHasItsMessageAndFocus)
{
    for (const RequiredField &r : requiredFields()) {
        dialogue.refused.clear();
        RecordFields f = test::validFields(place);
        f.text[r.column] = QStringLiteral("  ");
        const SaveOutcome o = save(f);
        EXPECT_FALSE(o.saved) << r.control.toStdString();
        EXPECT_EQ(dialogue.refused, QStringList{r.message});
        EXPECT_EQ(o.focus, r.control);
        EXPECT_EQ(o.yellow, r.yellow);
    }
    EXPECT_EQ(requiredFields().at(1).message, QStringLiteral("请输入企业所在省   "));
    EXPECT_EQ(count(db, QStringLiteral("TZ_XIANGMU")), 0);
}

TEST_F(SaveFlow, PlausibilityQuestionAnsweredCancelStopsOnItsField)
{
    RecordFields f = test::validFields(place);
    f.indicatorText(66) = QStringLiteral("11");
    f.indicatorText(8) = QStringLiteral("1001");
    f.indicatorText(7) = QStringLiteral("2000");
    dialogue.answers = {true, false};
    const SaveOutcome o = save(f);
    EXPECT_FALSE(o.saved);
    EXPECT_EQ(dialogue.asked, (QStringList{QStringLiteral("汽车衡数量大于10？"), QStringLiteral("熏蒸剂数量大于1000？")}));
    EXPECT_EQ(o.focus, QStringLiteral("MaskEdit008"));
    EXPECT_EQ(count(db, QStringLiteral("TZ_XIANGMU")), 0);
}

TEST_F(SaveFlow, RailwayQuestionsAskAboutTheFieldThatIsZero)
{
    IndicatorTexts t;
    t[9] = QStringLiteral("50"); // field 10 without field 9
    auto q = plausibilityQuestions(t);
    ASSERT_EQ(q.questions.size(), 1u);
    EXPECT_EQ(q.questions[0].question, QStringLiteral("有铁路专用线与有效长度数值逻辑错误？"));
    EXPECT_EQ(q.questions[0].focus, 9);
    t[9].clear();
    t[8] = QStringLiteral("50");
    EXPECT_EQ(plausibilityQuestions(t).questions.at(0).focus, 10);
    t[65] = QStringLiteral("10.5"); // not a whole number
    ASSERT_TRUE(plausibilityQuestions(t).error);
    EXPECT_EQ(plausibilityQuestions(t).error->focus, QStringLiteral("MaskEdit066"));
}

TEST_F(SaveFlow, ValidationDeclinedSavesWithStateZero)
{
    RecordFields f = test::validFields(place);
    f.text[QStringLiteral("邮政编码")] = QStringLiteral("123"); // would fail rule 1
    dialogue.answers = {false};
    const SaveOutcome o = save(f);
    ASSERT_TRUE(o.saved);
    EXPECT_EQ(test::cell(db, o.written.id, QStringLiteral("校验状态")), QStringLiteral("0"));
}

TEST_F(SaveFlow, FailedValidationWritesNothing)
{
    RecordFields f = test::validFields(place);
    f.indicatorText(1) = QStringLiteral("10");
    f.indicatorText(2) = QStringLiteral("11");
    const SaveOutcome o = save(f);
    EXPECT_FALSE(o.saved);
    EXPECT_TRUE(o.validationFailed);
    EXPECT_EQ(dialogue.refused, QStringList{QStringLiteral("要求：可用空地面积＜占地面积")});
    EXPECT_EQ(o.focus, QStringLiteral("MaskEdit001"));
    EXPECT_EQ(count(db, QStringLiteral("TZ_XIANGMU")), 0);
}

TEST_F(SaveFlow, TextThatIsNotANumberIsRefusedEvenWithoutValidation)
{
    RecordFields f = test::validFields(place);
    f.indicatorText(30) = QStringLiteral("abc");
    dialogue.answers = {false};
    const SaveOutcome o = save(f);
    EXPECT_FALSE(o.saved);
    EXPECT_EQ(o.focus, QStringLiteral("MaskEdit030"));
    ASSERT_EQ(dialogue.refused.size(), 1);
    EXPECT_TRUE(dialogue.refused[0].contains(QStringLiteral("abc")));
    EXPECT_TRUE(dialogue.asked.isEmpty());
    EXPECT_EQ(count(db, QStringLiteral("TZ_XIANGMU")), 0);
}

TEST_F(SaveFlow, EditLogsOneRowPerChangedColumn)
{
    const LoadedRecord rec = savedAndReloaded(test::validFields(place));
    RecordFields f = fieldsFromRecord(rec);
    f.text[QStringLiteral("企业名称")] = QStringLiteral("新名称粮库"); // a change of name is logged too
    f.text[QStringLiteral("组织机构代码")] = QStringLiteral("ORG-NEW");
    f.indicatorText(3) = QStringLiteral("4");
    const SaveOutcome o = save(f, 1, rec);
    ASSERT_TRUE(o.saved);
    EXPECT_EQ(o.written.logRows, 3);
    Statement st = db.prepare(QStringLiteral("SELECT * FROM 修改日志 ORDER BY rowid"));
    QStringList items;
    while (st.next()) {
        items << st.text(6);
        EXPECT_EQ(st.text(0), QStringLiteral("ORG-NEW"));
        EXPECT_EQ(st.text(1), QStringLiteral("新名称粮库"));
        EXPECT_EQ(st.text(2), place.province);
        EXPECT_EQ(st.text(5), place.code);
        EXPECT_EQ(st.text(9), QStringLiteral("2014-03-05 9:05:07"));
        EXPECT_EQ(st.text(10), QString());
        if (st.text(6) == QStringLiteral("库区数")) {
            EXPECT_EQ(st.text(7), QStringLiteral("0"));
            EXPECT_EQ(st.text(8), QStringLiteral("4"));
        }
    }
    EXPECT_EQ(items, (QStringList{QStringLiteral("企业名称"), QStringLiteral("组织机构代码"), QStringLiteral("库区数")}));
}

TEST_F(SaveFlow, UnchangedEditAndNewRecordsWriteNoLog)
{
    const LoadedRecord rec = savedAndReloaded(test::validFields(place));
    now = now.addSecs(60); // 修改时间 and 校验状态 changes alone are never logged
    dialogue.answers = {false};
    EXPECT_TRUE(save(fieldsFromRecord(rec), 1, rec).saved);
    EXPECT_EQ(count(db, QStringLiteral("修改日志")), 0);
    EXPECT_EQ(test::cell(db, rec.id, QStringLiteral("校验状态")), QStringLiteral("0"));
}

TEST_F(SaveFlow, EditTouchesOnlyTheChosenOfTwoSameNamedRecords)
{
    const qint64 first = insertRecord(db, {{QStringLiteral("企业名称"), QStringLiteral("同名库")},
                                           {QStringLiteral("组织机构代码"), QStringLiteral("A")}});
    RecordFields f = test::validFields(place, QStringLiteral("同名库"));
    const LoadedRecord second = savedAndReloaded(f);
    RecordFields edit = fieldsFromRecord(second);
    edit.text[QStringLiteral("法人代表")] = QStringLiteral("改过");
    ASSERT_TRUE(save(edit, 1, second).saved);
    EXPECT_EQ(test::cell(db, second.id, QStringLiteral("法人代表")), QStringLiteral("改过"));
    EXPECT_EQ(test::cell(db, first, QStringLiteral("法人代表")), QString());
}

TEST_F(SaveFlow, EditOfARecordDeletedMeanwhileInsertsIt)
{
    const LoadedRecord rec = savedAndReloaded(test::validFields(place));
    db.exec(QStringLiteral("DELETE FROM TZ_XIANGMU"));
    const SaveOutcome o = save(fieldsFromRecord(rec), 1, rec);
    ASSERT_TRUE(o.saved);
    EXPECT_TRUE(o.written.inserted);
    EXPECT_EQ(count(db, QStringLiteral("TZ_XIANGMU")), 1);
}

TEST_F(SaveFlow, FailedLogLeavesTheRecordAsItWas)
{
    const LoadedRecord rec = savedAndReloaded(test::validFields(place));
    db.exec(QStringLiteral("DROP TABLE 修改日志"));
    RecordFields f = fieldsFromRecord(rec);
    f.text[QStringLiteral("法人代表")] = QStringLiteral("改过");
    EXPECT_THROW(save(f, 1, rec), DbError);
    EXPECT_EQ(test::cell(db, rec.id, QStringLiteral("法人代表")), QStringLiteral("张三"));
}
