#pragma once
// The database file and the files SQLite keeps beside it while it writes (-journal, -wal,
// -shm), and the guard every file writer of the program calls before it writes anything:
// a workbook or a backup saved onto one of them would destroy every record.
#include "data/file_error.h"

#include <QString>
#include <QStringList>

namespace kestrova {

// The names SQLite gives the files beside a database: path + each suffix.
const QStringList &companionSuffixes();

// Whether target is the database file or one of its companions: the same file (device
// and inode, whatever links or extra names lead there) when both exist, else the same
// path once symbolic links, ".", ".." and doubled slashes are resolved, so a target that
// does not exist yet but would be created as one of them counts too.
bool isDatabaseFile(const QString &target, const QString &databaseFile);

// Throws FileError, naming target, when it is databaseFile (by default the
// application directory's database) or one of its companions.
void refuseDatabaseTarget(const QString &target, const QString &databaseFile = {});

} // namespace kestrova
