#pragma once
// Opening this program's database in the application directory.
#include "data/database.h"

#include <memory>

namespace kestrova {

enum class StoreOpen { MustExist, CreateIfMissing };

// Opens <home>/vardo.db. With CreateIfMissing a missing file is created with the
// schema and reference data (created tells whether that happened). Throws DbError,
// naming the file, when the folder is missing or unwritable, the file is not a SQLite
// database, or it lacks this program's tables; an existing file is never overwritten.
std::unique_ptr<Database> openStore(StoreOpen how = StoreOpen::CreateIfMissing, bool *created = nullptr);
std::unique_ptr<Database> openStoreAt(const QString &path, StoreOpen how, bool *created = nullptr);

} // namespace kestrova
