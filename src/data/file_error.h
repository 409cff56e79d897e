#pragma once
// A file the program would not or could not write, as the user is told it: what happened
// and what to do on the first line, the cause on the second. Workbook and backup writers
// throw it in place of a library's own error, so no English text stands alone.
#include <QString>

#include <functional>
#include <stdexcept>

namespace kestrova {

class FileError : public std::runtime_error {
public:
    FileError(const QString &summary, const QString &detail);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Writes the workbook at path through write(), which does the whole job (read the
// template, fill it, save it to path). First refuses a path that is the database or one
// of its companions (database_files.h), before anything is read or written; a failure of
// the workbook library becomes a FileError saying whether the template, the content or
// the target was at fault.
void writeWorkbookFile(const QString &path, const std::function<void()> &write);

} // namespace kestrova
