#pragma once
// Reading one enterprise record into the form's texts and writing it back with its
// modification log, in one transaction.
#include "records/record_fields.h"

#include <QDateTime>
#include <QStringList>

#include <optional>
#include <vector>

namespace kestrova {

class Database;

// A record as text, every column in table order (ID first).
struct LoadedRecord {
    qint64 id = 0;
    QStringList columns;
    QStringList values;
    QString value(const QString &column) const;
};

std::optional<LoadedRecord> loadRecordById(Database &db, qint64 id);
// The first record of that name (the list's header row hands over "企业名称").
std::optional<LoadedRecord> loadRecordByName(Database &db, const QString &name);
// The form's texts for a loaded record; indicators show their stored number ("0" too).
RecordFields fieldsFromRecord(const LoadedRecord &record);

// Whether another record already holds the organisation code. idText is the hidden
// ID field: when it names a record, that record is not counted.
bool orgCodeTaken(Database &db, const QString &org, const QString &idText);

struct ChangeLogRow {
    QStringList values; // the eleven values of 修改日志, in column order
};

// One row per column, positions 1 … N−3, whose text differs between the opened and
// the saved record. Positions 0 (ID) and the last two (修改时间, 校验状态) never count.
std::vector<ChangeLogRow> changeLogRows(const LoadedRecord &opened, const LoadedRecord &saved, const QDateTime &now);

struct WriteRequest {
    RecordFields fields;          // indicator texts must be numbers (empty counts as 0)
    QString regionCode;           // 行政区划代码
    QString validationState;      // "1" or "0"
    int entryMode = 2;            // 1 = edit the opened record, 2 = new record
    qint64 openedId = 0;          // the record the form was opened on, 0 for none
    std::optional<LoadedRecord> opened; // the record as it was when opened
    QDateTime now;
};

struct WriteResult {
    qint64 id = 0;
    bool inserted = false;
    int logRows = 0;
};

// Updates the opened record (entry mode 1, when it still exists) or inserts a new one,
// then logs each changed column; all or nothing. Throws DbError.
WriteResult writeRecord(Database &db, const WriteRequest &request);

} // namespace kestrova
