#include "records/printed/ui/printed_return_save.h"

#include "app/ui/workbook_save.h"

namespace kestrova::ui {

bool savePrintedReturn(QWidget *form, const PrintedReturnFields &fields)
{
    return saveWorkbookAs(form, printedReturnFileName(QDate::currentDate()), [&](const QString &path) {
        writePrintedReturn(printedReturnTemplatePath(), path, fields);
    });
}

} // namespace kestrova::ui
