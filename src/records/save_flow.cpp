#include "records/save_flow.h"

#include "data/database.h"
#include "data/number_format.h"
#include "data/regions.h"
#include "records/record_validation.h"

#include <cmath>

namespace kestrova {

const std::vector<RequiredField> &requiredFields()
{
    static const std::vector<RequiredField> f = {
        {QStringLiteral("Edit6"), QStringLiteral("企业名称"), QStringLiteral("请输入企业名称"), true},
        {QStringLiteral("ComboBox01"), QStringLiteral("省"), QStringLiteral("请输入企业所在省   "), true},
        {QStringLiteral("ComboBox02"), QStringLiteral("地市"), QStringLiteral("请输入企业所在市   "), true},
        {QStringLiteral("ComboBox03"), QStringLiteral("县"), QStringLiteral("请输入企业所在县   "), true},
        {QStringLiteral("Edit9"), QStringLiteral("邮政编码"), QStringLiteral("请输入邮政编码"), false},
        {QStringLiteral("Edit1"), QStringLiteral("联系电话"), QStringLiteral("请输入联系电话"), false},
        {QStringLiteral("ComboBox1"), QStringLiteral("企业性质"), QStringLiteral("请输入企业性质  "), true},
        {QStringLiteral("Edit2"), QStringLiteral("法人代表"), QStringLiteral("请输入法人代表  "), true},
        {QStringLiteral("Edit3"), QStringLiteral("隶属关系"), QStringLiteral("请输入隶属关系"), false},
        {QStringLiteral("ComboBox2"), QStringLiteral("经营范围"), QStringLiteral("请输入经营范围  "), true},
        {QStringLiteral("Comb_niandu"), QStringLiteral("年度"), QStringLiteral("请输入年度  "), true},
        {QStringLiteral("MaskEditS7"), QStringLiteral("单位负责人"), QStringLiteral("请输入单位负责人"), false},
        {QStringLiteral("MaskEditS8"), QStringLiteral("填表人"), QStringLiteral("请输入填表人"), false},
    };
    return f;
}

PlausibilityResult plausibilityQuestions(const IndicatorTexts &fields)
{
    PlausibilityResult out;
    std::array<double, kIndicatorCount + 1> v{};
    for (int k : {66, 8, 70, 67, 61, 9, 10}) {
        const QString &t = fields[size_t(k - 1)];
        const auto n = parseNumberOrZero(t);
        if (!n || std::floor(*n) != *n) {
            const QString msg = n ? QStringLiteral("“%1”的内容“%2”不是整数，请改正！").arg(indicatorCaption(k), t)
                                  : notANumberMessage(k, t);
            out.error = RuleFailure{0, msg, indicatorFieldName(k), {k}};
            return out;
        }
        v[size_t(k)] = *n;
    }
    auto ask = [&](bool cond, const char *q, int focus) {
        if (cond)
            out.questions.push_back({QString::fromUtf8(q), focus});
    };
    ask(v[66] > 10, "汽车衡数量大于10？", 66);
    ask(v[8] > 1000, "熏蒸剂数量大于1000？", 8);
    ask(v[70] > 200, "检化验设备台套数大于200？", 70);
    ask(v[67] > 50, "运粮汽车大于50？", 67);
    ask(v[61] > 5, "谷物冷却机大于5？", 61);
    ask(v[9] == 0 && v[10] != 0, "有铁路专用线与有效长度数值逻辑错误？", 9);
    ask(v[10] == 0 && v[9] != 0, "有铁路专用线与有效长度数值逻辑错误？", 10);
    return out;
}

SaveOutcome runSave(Database &db, const SaveRequest &request, SaveDialogue &dialogue)
{
    SaveOutcome out;
    RecordFields f = request.fields;
    for (QString &t : f.indicators)
        if (t.isEmpty())
            t = QStringLiteral("0");

    auto stop = [&](const QString &focus, bool yellow) {
        out.focus = focus;
        out.yellow = yellow;
        return out;
    };

    if (orgCodeTaken(db, f.value(QStringLiteral("组织机构代码")).trimmed(), f.idText)) {
        dialogue.refuse(kDuplicateOrgMessage);
        return stop(QStringLiteral("Edit6"), true);
    }
    for (const RequiredField &r : requiredFields()) {
        if (f.value(r.column).trimmed().isEmpty()) {
            dialogue.refuse(r.message);
            return stop(r.control, r.yellow);
        }
    }
    // Every indicator must be a number before anything is asked or written, and one
    // that the record can hold as typed: a value beyond 15 significant digits would be
    // stored, summed and shown as another number.
    for (int k = 1; k <= kIndicatorCount; ++k) {
        if (!parseNumberOrZero(f.indicatorText(k))) {
            dialogue.refuse(notANumberMessage(k, f.indicatorText(k)));
            return stop(indicatorFieldName(k), true);
        }
        if (!fitsGeneralFormat(f.indicatorText(k))) {
            dialogue.refuse(tooManyDigitsMessage(k, f.indicatorText(k)));
            return stop(indicatorFieldName(k), true);
        }
    }
    const PlausibilityResult plaus = plausibilityQuestions(f.indicators);
    if (plaus.error) {
        dialogue.refuse(plaus.error->message);
        return stop(plaus.error->focus, true);
    }
    for (const PlausibilityQuestion &q : plaus.questions)
        if (!dialogue.confirm(q.question))
            return stop(indicatorFieldName(q.focus), false);

    out.validationState = QStringLiteral("0");
    if (dialogue.confirm(kValidateQuestion)) {
        out.validationState = QStringLiteral("1");
        if (const auto failure = validateRecord(f.value(QStringLiteral("邮政编码")), f.indicators)) {
            out.validationFailed = true;
            dialogue.refuse(failure->message);
            return stop(failure->focus, false);
        }
    }

    WriteRequest w;
    w.fields = f;
    w.regionCode = countyCode(db, f.value(QStringLiteral("省")), f.value(QStringLiteral("地市")),
                              f.value(QStringLiteral("县")));
    w.validationState = out.validationState;
    w.entryMode = request.entryMode;
    w.openedId = request.openedId;
    w.opened = request.opened;
    w.now = request.now;
    out.written = writeRecord(db, w);
    out.saved = true;
    dialogue.inform(kSavedMessage);
    return out;
}

} // namespace kestrova
