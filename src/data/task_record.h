#pragma once
// The task record: the single row of 任务信息 that says which office this is.
#include <QString>

#include <optional>

namespace kestrova {

class Database;

struct TaskRecord {
    QString year;
    QString level;
    QString province;
    QString city;
    QString county;
    QString regionCode = QStringLiteral("000000");
    QString reportingUnit; // 填报单位, read by backup
};

// Which place pickers a level asks for.
struct PlacePickers {
    bool province = false;
    bool city = false;
    bool county = false;
};
PlacePickers placePickersFor(const QString &level);

enum class TaskField { Year, Level, Province, City, County };
struct TaskProblem {
    QString message;
    TaskField focus;
};

// The checks of the settings window, in order: the first failing one, or nothing.
// Texts are checked with spaces removed; the pickers enabled decide which places count.
std::optional<TaskProblem> checkTask(const TaskRecord &task, const PlacePickers &enabled);

std::optional<TaskRecord> loadTask(Database &db);
// Replaces the task record in one transaction: on failure the old one stays.
void saveTask(Database &db, const TaskRecord &task);
// Loads the task record into the global context (level, province, city, county).
void loadTaskIntoContext(Database &db);

} // namespace kestrova
