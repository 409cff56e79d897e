#pragma once
// 报送情况: which offices below have sent their workbooks. Every import leaves one row in
// 报送记录 (in the import's own transaction); the list puts those rows beside the records
// the database now holds for each office.
#include <QString>
#include <QStringList>

#include <functional>

namespace kestrova {
class Database;
}

namespace kestrova::transfer {

// One imported workbook.
struct Submission {
    QString file;    // the file's name, without its folder
    QString hash;    // fileHash
    QString time;    // stored form, yyyy-MM-dd HH:mm:ss
    QStringList offices; // keys (Office::key) of the offices below its rows came from
    int rows = 0;
    int replaced = 0;
    int added = 0;
    QString user; // who was logged in
};

// The file's SHA-1, in hex: tells the same file sent again. Empty for what is not a
// regular file, or cannot be read.
QString fileHash(const QString &path);
// Appends the row for one import.
void logSubmission(Database &db, const Submission &s);
// Every logged import with this hash, oldest first.
QList<Submission> submissionsOfHash(Database &db, const QString &hash);

// One office below, as the list shows it.
struct SubmissionLine {
    QString office;
    int imports = 0;      // workbooks that held its records
    QString lastTime;     // shown form of the latest of them, empty for none
    QString lastFile;
    qint64 records = 0;   // its records now in the database
    QString repeated;     // "“甲.xls”导入了 2 次" when one file of it came twice
};

struct SubmissionList {
    QString area;                // this office's area
    QList<SubmissionLine> lines; // in the order of the offices
    qint64 otherRecords = 0;     // records of no office below
};

// For the task record's level. A database without 报送记录 (opened read-only before
// the table existed) has logged nothing.
SubmissionList submissionList(Database &db);

// The list as a table: the column headings, then one row of texts per office, with a
// closing row for records of no office below when there are any.
QStringList submissionHeadings();
QList<QStringList> submissionTable(const SubmissionList &list);

} // namespace kestrova::transfer
