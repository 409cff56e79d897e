#include "transfer/upload_import.h"

#include "data/database.h"
#include "transfer/messages.h"
#include "transfer/record_import.h"
#include "transfer/sheet_row_stream.h"
#include "transfer/transfer_error.h"
#include "xls/errors.h"
#include "xls/reader.h"

#include <QThread>

#include <algorithm>
#include <cstdlib>

namespace kestrova::transfer {

namespace {
// Lets the interruption tests kill an import while it is writing; unset in real use.
int rowDelayForTests()
{
    const char *v = std::getenv("KESTROVA_TEST_IMPORT_ROW_DELAY_MS");
    return v ? std::atoi(v) : 0;
}
} // namespace

bool hasUploadSuffix(const QString &path)
{
    return path.endsWith(QLatin1String("xls"), Qt::CaseSensitive);
}

ImportResult importUploadWorkbook(Database &db, const QString &path, Progress &progress)
{
    try {
        const xls::WorkbookReader book = xls::WorkbookReader::open(path.toStdString());
        const std::string sheet = kRecordSheet.toStdString();
        bool found = false;
        for (const auto &name : book.sheetNames())
            found = found || name == sheet;
        if (!found)
            throw TransferError(kImportFailed, QStringLiteral("%1: no sheet %2").arg(path, kRecordSheet));

        const int dataRows = int(std::max<size_t>(book.rowsWithCells(sheet), 1) - 1); // less the header
        ProgressSteps steps(progress);
        steps.start(dataRows);

        const int delayMs = rowDelayForTests();
        RecordImporter importer(db, kRecordSheet, dataRows);
        // The reading thread checks the header and makes every row ready; this thread
        // only writes. The header is the sheet's first row; a sheet whose row 1 is
        // empty has none.
        bool header = false;
        SheetRowStream<RecordImporter::Row> rows(
            book, sheet, [&](int row, const std::vector<std::string> &cells, RecordImporter::Row &item) {
                if (header) {
                    importer.prepare(row + 1, cells, item);
                    return;
                }
                if (row != 0)
                    throw TransferError(kImportFailed, QStringLiteral("sheet %1, row 1 is empty").arg(kRecordSheet));
                importer.setHeader(cells);
                header = true;
                item.blank = true; // nothing to write
            });
        RecordImporter::Row row;
        bool first = true;
        while (rows.next(row)) {
            importer.write(row);
            if (!first)
                steps.step();
            first = false;
            if (delayMs > 0)
                QThread::msleep(static_cast<unsigned long>(delayMs));
        }
        if (!header)
            throw TransferError(kImportFailed, QStringLiteral("sheet %1 is empty").arg(kRecordSheet));
        importer.commit();
        return {importer.appended(), importer.replacedNames()};
    } catch (const xls::XlsError &e) {
        throw TransferError(kImportFailed, QString::fromUtf8(e.what()));
    } catch (const DbError &e) {
        throw TransferError(kImportFailed, QString::fromStdString(e.what()));
    }
}

} // namespace kestrova::transfer
