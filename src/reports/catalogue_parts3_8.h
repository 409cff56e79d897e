#pragma once
// The report windows of parts three to eight of the return (附属设施, 设备仪器,
// 储粮技术应用, 储粮药剂管理, 从业人员, 经营情况), appended to the catalogue.
#include "reports/report_definition.h"

#include <vector>

namespace kestrova::reports {

// 表3-1 … 表4-4: eighteen windows, national summary before breakdown for each table.
std::vector<ReportDefinition> partsThreeAndFourDefinitions();
// 表5 … 表8: eight windows.
std::vector<ReportDefinition> partsFiveToEightDefinitions();

} // namespace kestrova::reports
