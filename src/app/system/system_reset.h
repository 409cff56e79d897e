#pragma once
// 系统复位: the office's own data goes, the reference tables stay.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kestrova {

class Database;

// The tables emptied by a reset, in the order they are emptied.
const QStringList &resetTables();
// Empties them in one transaction (all or nothing); the rows deleted per table.
QList<QPair<QString, int>> resetSystem(Database &db);

} // namespace kestrova
