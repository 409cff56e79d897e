#pragma once
// Where the database lives and where the shipped files (templates, help) are found.
// The application directory is the executable's folder unless --home DIR names another;
// shipped files are looked for in the home first and then beside the executable.
#include <QString>
#include <QStringList>

namespace kestrova {

// Removes "--home DIR" (or "--home=DIR") from args and returns DIR, or an empty
// string when absent. The caller falls back to the executable's folder.
QString takeHomeOption(QStringList &args);
// Sets the application directory (with a trailing '/') in the global context and
// remembers the executable's folder for shipped files.
void setApplicationDirectory(const QString &home, const QString &executableDir);
QString databasePath();                            // <home>/vardo.db
QString shippedFile(const QString &relativePath);  // e.g. "templet/out.xls"
QString templateDirectory();                       // the folder that holds templet/

} // namespace kestrova
