#pragma once
// 全部报表: every table an office hands in, written in one go into one folder. Each
// table's workbook is the one its window's 保存表格 writes (the same export, the same
// bytes); one more workbook holds every table as a sheet. The records are read once for
// all tables. Every file is written to a temporary first and renamed only once all are
// complete, so a cancel or a failure leaves none of them under its final name.
#include "data/context.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kestrova {
class Database;
}

namespace kestrova::reports {

struct AllReportsRequest {
    QStringList titles; // in menu order
    QString folder;     // must exist
    QString year;       // of the task record
    QString office;     // the office's name as file names carry it
};

// Called before each step with the steps done so far and the step about to be taken
// (a title, the workbook of all tables, or the final renaming); false cancels.
using AllReportsProgress = std::function<bool(int done, int total, const QString &step)>;

struct AllReportsResult {
    bool cancelled = false;
    QStringList files; // the paths written, in title order, the workbook of all tables last
};

// "表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）.xls": a table's file name.
QString tableFileName(const QString &title);
// "2026年河南省全部报表.xls": the workbook of all tables.
QString allTablesFileName(const QString &year, const QString &office);

// Builds and writes every title with the level and places of ctx. Throws ReportError,
// FileError or DbError; nothing is left under a final name then, nor on a cancel.
AllReportsResult writeAllReports(Database &db, const GlobalContext &ctx, const AllReportsRequest &request,
                                 const AllReportsProgress &progress = {});

} // namespace kestrova::reports
