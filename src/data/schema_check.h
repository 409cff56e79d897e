#pragma once
// Whether a database file is exactly this program's: the same tables, with the same
// columns in the same order and of the same types, the same indexes, and no triggers or
// views. A restore accepts nothing else, since a trigger or a missing column would act on
// or break every later use. The comparison is made against what createTables builds, so it
// follows the schema wherever it changes.
#include <QStringList>

namespace kestrova {

class Database;

// What differs from this program's schema, one sentence each, for the user; empty when
// nothing does. A missing table of laterTables() is no difference.
QStringList schemaDifferences(Database &db);

// Creates the tables of laterTables() that db lacks, with their indexes, as createTables
// defines them, in one transaction.
void completeSchema(Database &db);

} // namespace kestrova
