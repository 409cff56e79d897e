#pragma once
// Where the database lives and where the shipped files (templates, help) are found.
//
// The application directory holds the database, the default place for its backups and
// every file the program writes for itself. It is the user's data folder,
// $XDG_DATA_HOME/kestrova (normally ~/.local/share/kestrova), unless --home DIR names another.
// Shipped files are read from the --home folder when one was given, then from beside the
// executable (a build tree), then from the installed share folder, <prefix>/share/kestrova
// for an executable in <prefix>/bin.
#include <QString>
#include <QStringList>

namespace kestrova {

// Removes "--home DIR" (or "--home=DIR") from args and returns DIR, or an empty
// string when absent. The caller then uses the user's data folder.
QString takeHomeOption(QStringList &args);
// The user's data folder for this program, with a trailing '/'; nothing is created.
QString defaultDataDirectory();
// Sets the application directory (with a trailing '/') in the global context: home, or
// the user's data folder when home is empty. Remembers the executable's folder for
// shipped files.
void setApplicationDirectory(const QString &home, const QString &executableDir);
// Creates the application directory and its missing parents; false when that failed.
bool makeApplicationDirectory();
QString databasePath();                            // <home>/vardo.db
QString shippedFile(const QString &relativePath);  // e.g. "templet/out.xls"
QString templateDirectory();                       // the folder that holds templet/

} // namespace kestrova
