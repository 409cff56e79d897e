#pragma once
namespace kestrova {
class Database;
// Fills the reference tables (regions, branch companies, years up to next year,
// aggregation levels, the custom-query indicators). Call inside a transaction.
void fillReferenceData(Database &db, int currentYear);
} // namespace kestrova
