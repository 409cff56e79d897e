// Golden cases: each folder under golden/ holds case.txt (title, level, province, city,
// one per line), records.tsv (a header of column names, then one record per line) and
// expected.tsv (the grid as kestrova-cli report prints it).
#include "report_test_support.h"

#include "data/indicators.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QStringList goldenCases()
{
    QDir dir(QStringLiteral(KESTROVA_TEST_DATA_DIR "/reports/golden"));
    return dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

class Golden : public ::testing::TestWithParam<QString> {};

TEST_P(Golden, GridMatchesExpected)
{
    const QString dir = QStringLiteral(KESTROVA_TEST_DATA_DIR "/reports/golden/") + GetParam() + QLatin1Char('/');
    const QStringList setup = readText(dir + "case.txt").split(QLatin1Char('\n'));
    ASSERT_GE(setup.size(), 2);
    reports::resetWindowClassStates();
    TempStore store;
    QStringList lines = readText(dir + "records.tsv").split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    const QStringList header = lines.takeFirst().split(QLatin1Char('\t'));
    for (const QString &line : lines) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        Fields f;
        for (int i = 0; i < header.size(); ++i) {
            const QString v = cells.value(i);
            const bool isText = !kestrova::indicatorByColumn(header[i].toStdString());
            f.insert(header[i], isText ? QVariant(v) : (v.isEmpty() ? QVariant() : QVariant(v.toDouble())));
        }
        addRecord(*store.db, f);
    }
    const auto grid = buildTitle(*store.db, setup[0], setup[1], setup.value(2), setup.value(3));
    const QString actual = toTsv(grid);
    if (qEnvironmentVariableIsSet("KESTROVA_GOLDEN_UPDATE")) {
        QFile out(dir + "expected.tsv");
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(actual.toUtf8());
    }
    EXPECT_EQ(actual.toStdString(), readText(dir + "expected.tsv").toStdString());
}

INSTANTIATE_TEST_SUITE_P(Reports, Golden, ::testing::ValuesIn([] {
                             const QStringList c = goldenCases();
                             return std::vector<QString>(c.begin(), c.end());
                         }()),
                         [](const auto &info) {
                             QString name = info.param;
                             name.replace(QLatin1Char('-'), QLatin1Char('_'));
                             return name.toStdString();
                         });

} // namespace
