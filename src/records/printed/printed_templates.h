#pragma once
// The two paper-form templates, generated at build time from the indicator
// catalogue so that every cell of the shared cell map lands on its printed line.
#include <string>

namespace kestrova {

inline constexpr const char *kPrintedReturnTemplate = "templet/Kestrova年报表.xls";
inline constexpr const char *kAnnualSummaryTemplate = "templet/Kestrova年报汇总表.xls";

void writePrintedReturnTemplate(const std::string &path);
void writeAnnualSummaryTemplate(const std::string &path);
// Both templates into the templet folder (created if missing).
void writePaperFormTemplates(const std::string &templetDir);

} // namespace kestrova
