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

        RecordImporter importer(db, kRecordSheet);
        // The header is the sheet's first row; a sheet whose row 1 is empty has none.
        const std::vector<std::string> header = book.readRow(sheet, 0);
        if (header.empty()) {
            if (book.rowsWithCells(sheet) == 0)
                throw TransferError(kImportFailed, QStringLiteral("sheet %1 is empty").arg(kRecordSheet));
            throw TransferError(kImportFailed, QStringLiteral("sheet %1, row 1 is empty").arg(kRecordSheet));
        }
        importer.setHeader(header);

        // The names are read ahead so their records go before any row is written. A row
        // with a name holds a value, so it is written; its name is among these.
        xls::WorkbookReader::ColumnSurvey survey = book.surveyColumn(sheet, importer.nameColumn());
        const int dataRows = int(std::max<size_t>(survey.rowsWithCells, 1) - 1); // less the header
        std::vector<std::string> names;
        names.reserve(survey.texts.size());
        for (size_t row = 1; row < survey.texts.size(); ++row)
            if (!survey.texts[row].empty())
                names.push_back(std::move(survey.texts[row]));
        survey = {};
        importer.replaceNames(names, dataRows);
        names = {};

        ProgressSteps steps(progress);
        steps.start(dataRows);
        const int delayMs = rowDelayForTests();
        // The reading thread makes every row ready; this thread only writes.
        RecordImporter::SharedNumbers numbers(book.sharedStringCount());
        SheetRowStream<RecordImporter::Row> rows(
            book, sheet, [&](int row, const RecordImporter::CellViews &cells, RecordImporter::Row &item) {
                if (row == 0)
                    item.blank = true; // the header, taken above
                else
                    importer.prepare(row + 1, cells, item, &numbers);
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
        importer.commit();
        return {importer.appended(), importer.replacedNames()};
    } catch (const xls::XlsError &e) {
        throw TransferError(kImportFailed, QString::fromUtf8(e.what()));
    } catch (const DbError &e) {
        throw TransferError(kImportFailed, e.message());
    }
}

} // namespace kestrova::transfer
