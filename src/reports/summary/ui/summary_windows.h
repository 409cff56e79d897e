#pragma once
namespace kestrova::ui {
// Registers the annual summary window TFrmGatherList by class name.
void registerSummaryWindows();
} // namespace kestrova::ui
