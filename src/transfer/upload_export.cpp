#include "transfer/upload_export.h"

#include "data/database.h"
#include "data/file_error.h"
#include "data/schema.h"
#include "transfer/messages.h"
#include "transfer/sheet_rows.h"
#include "transfer/transfer_error.h"
#include "xls/template_filler.h"

#include <QDir>

namespace kestrova::transfer {

namespace {
void fillSheet(Database &db, const QString &table, CellSink &sink, int sheet, ProgressSteps &steps)
{
    const QStringList header = sheetHeader(db, table);
    steps.step();
    for (int c = 0; c < header.size(); ++c)
        sink.setText(sheet, 0, c, header[c].toStdString());
    int row = 0;
    forEachSheetRow(db, table, [&](const SheetRow &cells) {
        ++row;
        if (row >= kMaxSheetRows)
            throw TransferError(kExportFailed,
                                QStringLiteral("table %1 has more rows than one sheet holds").arg(table));
        for (size_t c = 0; c < cells.texts.size(); ++c) {
            if (cells.isNumber[c])
                sink.setNumber(sheet, row, int(c), cells.numbers[c]);
            else if (!cells.texts[c].empty())
                sink.setText(sheet, row, int(c), cells.texts[c]);
        }
        steps.step();
    });
    steps.step();
}

class FillerSink : public CellSink {
public:
    explicit FillerSink(xls::TemplateFiller &f) : m_f(f) {}
    void setText(int sheet, int row, int col, std::string_view utf8) override { m_f.setText(sheet, row, col, utf8); }
    void setNumber(int sheet, int row, int col, double value) override { m_f.setNumber(sheet, row, col, value); }

private:
    xls::TemplateFiller &m_f;
};
} // namespace

void fillUploadSheets(Database &db, CellSink &sink, int recordSheet, int logSheet, Progress &progress)
{
    ProgressSteps steps(progress);
    steps.start(int(tableRowCount(db, tables::records)) + 5);
    steps.step(); // the command's own first step
    steps.step(); // the workbook is open
    fillSheet(db, tables::records, sink, recordSheet, steps);
    fillSheet(db, tables::changeLog, sink, logSheet, steps);
}

void writeUploadWorkbook(Database &db, const QString &templatePath, const QString &outPath, Progress &progress)
{
    try {
        writeWorkbookFile(outPath, [&] {
            xls::TemplateFiller filler(QDir::toNativeSeparators(templatePath).toStdString());
            // The import finds the records by the sheet's name, the log sheet is the second one.
            if (filler.sheetCount() < 2 || filler.sheetIndex(kRecordSheet.toStdString()) != 0)
                throw TransferError(kExportFailed, QStringLiteral("%1: the first of at least two sheets must be %2")
                                                       .arg(templatePath, kRecordSheet));
            FillerSink sink(filler);
            fillUploadSheets(db, sink, 0, 1, progress);
            filler.save(outPath.toStdString());
        });
    } catch (const FileError &e) {
        throw TransferError(kExportFailed, e.message());
    } catch (const DbError &e) {
        throw TransferError(kExportFailed, e.message());
    }
}

} // namespace kestrova::transfer
