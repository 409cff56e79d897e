#pragma once
// 保存表格 of the entry form: the return as shown, written into a copy of the
// paper-form template under a name the user chooses.
#include "records/printed/printed_return.h"

class QWidget;

namespace kestrova::ui {

// Returns true when the workbook was written.
bool savePrintedReturn(QWidget *form, const PrintedReturnFields &fields);

} // namespace kestrova::ui
