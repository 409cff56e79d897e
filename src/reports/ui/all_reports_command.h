#pragma once
// 统计报表 → 全部报表: asks for a folder, writes every table the office's level offers
// into it under a progress dialog that can cancel, and says how it ended.
class QWidget;

namespace kestrova::ui {

// The window class name the menu opens it by.
inline constexpr const char *kAllReportsClass = "TFrmAllReports";

void allReportsCommand(QWidget *parent);

} // namespace kestrova::ui
