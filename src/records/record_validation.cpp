#include "records/record_validation.h"

#include "data/number_format.h"

#include <functional>

namespace kestrova {

QString notANumberMessage(int k, const QString &text)
{
    return QStringLiteral("“%1”的内容“%2”不是有效的数字，请改正！").arg(indicatorCaption(k), text);
}

QString tooManyDigitsMessage(int k, const QString &text)
{
    return QStringLiteral("“%1”的内容“%2”超过%3位有效数字，无法准确保存，请改正！")
        .arg(indicatorCaption(k), text)
        .arg(kSignificantDigits);
}

namespace {

struct Rule {
    int number;
    std::function<bool(const IndicatorValues &)> fails;
    const char *message;
    int focus;               // indicator field
    std::vector<int> fields; // the fields compared, as a person reads the rule
};

const char *const kPostcodeMessage = "要求：邮政编码必须为6位";

const std::vector<Rule> &rules()
{
    using V = IndicatorValues;
    auto greater = [](int left, int right) { return [=](const V &v) { return v[size_t(left)] > v[size_t(right)]; }; };
    auto oneZero = [](int a, int b) { return [=](const V &v) { return (v[size_t(a)] == 0) != (v[size_t(b)] == 0); }; };
    auto tank = [](int n, int c, double lo, double hi) {
        return [=](const V &v) {
            const double count = v[size_t(n)], cap = v[size_t(c)];
            return (hi > 0 && cap > count * hi) || (lo > 0 && cap < count * lo);
        };
    };
    static const char *const kTank = "要求：罐容＜或＝单罐罐容×油罐个数";
    static const std::vector<Rule> r = {
        {2, greater(2, 1), "要求：可用空地面积＜占地面积", 1, {1, 2}},
        {3, [](const V &v) { return v[5] + v[6] > v[4]; }, "要求：粮油保管员+粮油质量检验员＜从业人员", 5, {5, 6, 4}},
        {4, greater(8, 7), "要求：熏蒸剂＜储粮药剂", 7, {7, 8}},
        {5, greater(10, 9), "要求：有效长度＜铁路专用线", 9, {9, 10}},
        {6, greater(24, 23), "要求：低温和准低温仓房＜符合储粮要求仓房容量", 24, {23, 24}},
        {7, greater(25, 23), "要求：因结构调整无法利用仓容＜符合储粮要求仓房容量", 25, {23, 25}},
        {8, greater(36, 35), "要求：储粮罩棚＜罩棚", 35, {35, 36}},
        {9, greater(47, 46), "要求：已防火改造数量＜数量", 46, {46, 47}},
        {10, greater(49, 48), "要求：已防火改造存粮＜存粮", 48, {48, 49}},
        {11, greater(51, 50), "要求：已防火改造数量＜数量", 50, {50, 51}},
        {12, greater(53, 52), "要求：已防火改造存粮＜存粮", 52, {52, 53}},
        {13, greater(72, 71), "要求：粮油散进散出量＜粮油经营量", 71, {71, 72}},
        {14, oneZero(11, 12), "要求：泊位数与总吨位，同时为零或者同时不为零", 11, {11, 12}},
        {15, oneZero(55, 56), "要求：烘干设备数量和烘干能力，同时为零或者同时不为零", 55, {55, 56}},
        {16, oneZero(38, 42), "要求：罐的数量和罐容，同时为零或者同时不为零", 38, {38, 42}},
        {17, oneZero(39, 43), "要求：油罐的数量和罐容，同时为零或者同时不为零", 39, {39, 43}},
        {18, oneZero(40, 44), "要求：油罐的数量和罐容，同时为零或者同时不为零", 40, {40, 44}},
        {19, oneZero(41, 45), "要求：油罐的数量和罐容，同时为零或者同时不为零", 41, {41, 45}},
        {20, tank(38, 42, 0, 1000), kTank, 38, {38, 42}},
        {21, tank(39, 43, 1000, 5000), kTank, 39, {39, 43}},
        {22, tank(40, 44, 5000, 10000), kTank, 40, {40, 44}},
        {23, tank(41, 45, 10000, 0), kTank, 41, {41, 45}},
        {24, oneZero(46, 48), "要求：露天囤的数量和存粮，同时为零或者同时不为零", 46, {46, 48}},
        {25, oneZero(50, 52), "要求：露天垛的数量和存粮，同时为零或者同时不为零", 50, {50, 52}},
    };
    return r;
}

} // namespace

QString ruleMessage(int n)
{
    if (n == 1)
        return QString::fromUtf8(kPostcodeMessage);
    for (const Rule &r : rules())
        if (r.number == n)
            return QString::fromUtf8(r.message);
    return {};
}

std::vector<RuleFailure> failedRules(const QString &postcode, const IndicatorValues &v, bool firstOnly)
{
    std::vector<RuleFailure> out;
    if (postcode.trimmed().size() != 6) {
        out.push_back({1, QString::fromUtf8(kPostcodeMessage), QStringLiteral("Edit9"), {}});
        if (firstOnly)
            return out;
    }
    for (const Rule &r : rules()) {
        if (!r.fails(v))
            continue;
        out.push_back({r.number, QString::fromUtf8(r.message), indicatorFieldName(r.focus),
                       QList<int>(r.fields.begin(), r.fields.end())});
        if (firstOnly)
            break;
    }
    return out;
}

std::optional<RuleFailure> validateRecord(const QString &postcode, const IndicatorTexts &fields)
{
    // The postcode is looked at before any number is read.
    if (postcode.trimmed().size() != 6)
        return failedRules(postcode, {}, true).front();

    IndicatorValues v{};
    for (int k = 1; k <= kIndicatorCount; ++k) {
        const QString &t = fields[size_t(k - 1)];
        const auto n = parseNumberOrZero(t);
        if (!n)
            return RuleFailure{0, notANumberMessage(k, t), indicatorFieldName(k), {k}};
        v[size_t(k)] = *n;
    }
    auto failed = failedRules(postcode, v, true);
    if (failed.empty())
        return std::nullopt;
    return failed.front();
}

} // namespace kestrova
