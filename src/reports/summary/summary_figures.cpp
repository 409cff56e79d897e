#include "reports/summary/summary_figures.h"

#include "data/database.h"
#include "data/number_format.h"
#include "data/record_columns.h"

#include <vector>

namespace kestrova {

SummaryFigures summaryFigures(Database &db, const SummaryCondition &condition)
{
    const auto records = recordColumns(db);
    const size_t rows = size_t(records->rowCount());

    const std::vector<char> selected = records->passing(condition.tests);
    std::vector<size_t> chosen;
    for (size_t r = 0; r < rows; ++r)
        if (selected[r])
            chosen.push_back(r);

    SummaryFigures f;
    f.count = QString::number(chosen.size());
    for (int k = 1; k <= kIndicatorCount; ++k) {
        const std::string_view name = indicator(k).column;
        const std::vector<double> &values = records->numberColumn(QString::fromUtf8(name.data(), qsizetype(name.size())));
        double sum = 0;
        bool present = false;
        for (size_t r : chosen) {
            const double v = values[r];
            if (RecordColumns::isNull(v))
                continue;
            sum += v;
            present = true;
        }
        f.sums[size_t(k - 1)] =
            present ? sumText(sum, QStringLiteral("a%1（%2）").arg(k).arg(QString::fromUtf8(name.data(), qsizetype(name.size()))))
                    : QString();
    }
    return f;
}

} // namespace kestrova
