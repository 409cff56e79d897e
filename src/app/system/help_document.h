#pragma once
// Kestrova指标解释: the help document on the 72 indicators, as one HTML page.
#include <QString>

namespace kestrova {

inline const QString kHelpFileName = QStringLiteral("Kestrova指标解释.html");

// The whole page, from the indicator catalogue: block, group, caption, unit and hint of each.
QString helpDocumentHtml();

} // namespace kestrova
