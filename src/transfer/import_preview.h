#pragma once
// What importing some workbooks, in the order given, would do, found without writing
// anything: per workbook its rows, names, the local records it would replace and the
// records it would add, and the offices its rows come from; and the rows worth a second
// look, each with what is the matter. The import's own reading of a sheet and the entry
// form's plausibility rules decide, so the preview and the import cannot disagree.
#include "transfer/progress.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrova {
class Database;
}

namespace kestrova::transfer {

struct WorkbookPreview {
    QString path;
    QString refusal;  // what stops its import (the import's own message and cause); empty when it would go in
    int rows = 0;     // records it would write
    int names = 0;    // distinct 企业名称
    int replaced = 0; // records it would delete, counting what the workbooks before it leave
    int added = 0;    // rows whose name no record has by then
    QString offices;  // the offices below its rows come from, with their rows: "河南省 120 行、湖北省 3 行"
    QString importedBefore; // when the same file (by hash) was imported already
};

enum class PreviewFlag {
    OtherCounty,      // its name is a local record's in another county, which would be deleted
    TwiceInWorkbook,  // its name occurs more than once in the workbook
    InOtherWorkbook,  // its name occurs in another of the workbooks chosen
    OutsideArea,      // the row lies outside this office's area
    NotValidated,     // 校验状态 is not "1"
    FailsRule,        // a plausibility rule of the entry form fails
};
// The category as the user reads it.
QString previewFlagText(PreviewFlag flag);

struct PreviewNote {
    int workbook = 0; // index into ImportPreview::workbooks
    int sheetRow = 0; // 1-based row of the sheet
    QString name;     // the row's 企业名称
    PreviewFlag flag;
    QString detail;
};

struct ImportPreview {
    QList<WorkbookPreview> workbooks;
    QList<PreviewNote> notes; // by workbook, then row, then flag
    bool canImport() const;   // whether any workbook would go in
};

// Reads every workbook once and the database's names and places; changes nothing.
ImportPreview previewImports(Database &db, const QStringList &paths, Progress &progress);

// The preview as two tables, headings first: the workbooks, and the notes.
QList<QStringList> workbookTable(const ImportPreview &p);
QList<QStringList> noteTable(const ImportPreview &p);

} // namespace kestrova::transfer
