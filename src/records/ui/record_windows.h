#pragma once
namespace kestrova::ui {
// Registers the record windows (TFrmList1, and the windows they open; TFrmCheckAll) by class name.
void registerRecordWindows();
} // namespace kestrova::ui
