#pragma once
// The report windows this program knows, one definition per window class.
#include "reports/report_definition.h"

#include <vector>

namespace kestrova::reports {

const std::vector<ReportDefinition> &reportCatalogue();
// nullptr when unknown.
const ReportDefinition *definitionForClass(const QString &className);
// The definition that serves this report title exactly, or nullptr.
const ReportDefinition *definitionForTitle(const QString &title);

// The text of a variant in full-width brackets, e.g. "（国有企业）".
QString variantText(Variant v);

} // namespace kestrova::reports
