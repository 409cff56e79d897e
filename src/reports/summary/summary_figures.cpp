#include "reports/summary/summary_figures.h"

#include "data/database.h"
#include "data/number_format.h"
#include "data/record_columns.h"

#include <vector>

namespace kestrova {

namespace {

// Which texts of a column pass one test: a flag per text id.
std::vector<char> passingTexts(const RecordColumns::Texts &column, const ColumnTest &test)
{
    std::vector<char> pass(size_t(column.values.size()), test.equal ? 0 : 1);
    for (const QString &v : test.values) {
        const int id = column.idOf(v);
        if (id >= 0)
            pass[size_t(id)] = test.equal ? 1 : 0;
    }
    return pass;
}

} // namespace

SummaryFigures summaryFigures(Database &db, const SummaryCondition &condition)
{
    const auto records = recordColumns(db);
    const size_t rows = size_t(records->rowCount());

    // The records that pass, as one flag each.
    std::vector<char> selected(rows, 1);
    for (const ColumnTest &test : condition.tests) {
        const RecordColumns::Texts *column = records->texts(test.column);
        if (!column)
            throw DbError(QStringLiteral("no such column: %1").arg(test.column));
        const std::vector<char> pass = passingTexts(*column, test);
        for (size_t r = 0; r < rows; ++r)
            selected[r] &= pass[size_t(column->ids[r])];
    }
    std::vector<size_t> chosen;
    for (size_t r = 0; r < rows; ++r)
        if (selected[r])
            chosen.push_back(r);

    SummaryFigures f;
    f.count = QString::number(chosen.size());
    for (int k = 1; k <= kIndicatorCount; ++k) {
        const std::string_view name = indicator(k).column;
        const std::vector<double> &values = *records->numbers(QString::fromUtf8(name.data(), qsizetype(name.size())));
        double sum = 0;
        bool present = false;
        for (size_t r : chosen) {
            const double v = values[r];
            if (RecordColumns::isNull(v))
                continue;
            sum += v;
            present = true;
        }
        f.sums[size_t(k - 1)] = present ? formatGeneral(sum) : QString();
    }
    return f;
}

} // namespace kestrova
