#pragma once
// Generated, plausible enterprise records for trying the program out and for
// benchmarks. Every record passes the entry form's validation rules.
#include <cstdint>

namespace kestrova {

class Database;

// Appends n records in one transaction; the same seed gives the same records.
void addDemoRecords(Database &db, int n, std::uint64_t seed);

} // namespace kestrova
