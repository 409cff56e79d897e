#pragma once
// The save steps every workbook the windows write shares: the save dialog with the
// suggested name, the write, and "保存成功！" or the failure's own message.
#include <QString>

#include <functional>

class QWidget;

namespace kestrova::ui {

// Asks for a file (default extension "xls"); Cancel returns false without writing.
// write(path) fills the workbook; an exception it throws is shown as the error's
// own text and the success message is not shown.
bool saveWorkbookAs(QWidget *parent, const QString &suggestedName, const std::function<void(const QString &)> &write,
                    const QString &caption = QString());

} // namespace kestrova::ui
