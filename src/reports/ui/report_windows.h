#pragma once
namespace kestrova::ui {
// Registers the report windows (TFrmb1_1_1 … TFrmb8_2) and TFrmGatherList by class name.
void registerReportWindows();
} // namespace kestrova::ui
