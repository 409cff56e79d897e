#pragma once
// The process-wide values that windows share instead of passing arguments.
#include <QString>

namespace kestrova {

struct GlobalContext {
    QString appDir;          // the application directory, ending in '/'
    QString level;           // 汇总级别 of the task record
    QString province;        // 省, 地市, 县 of the task record
    QString city;
    QString county;
    QString reportTitle;     // set by a report command before its window is made
    QString enterpriseName;  // 企业名称 of the record chosen in the list
    qint64 enterpriseId = 0; // its ID, so two records sharing a name are not confused
    int entryMode = 0;       // 1 = edit the chosen record, 2 = new record
    QString unitLabel;       // text put into suggested file names
    bool hasTask = false;    // whether 任务信息 held a row when last read
    QString userName;        // who logged in (f2 of userinfo)
};

GlobalContext &context();

} // namespace kestrova
