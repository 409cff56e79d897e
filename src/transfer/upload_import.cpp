#include "transfer/upload_import.h"

#include "data/database.h"
#include "transfer/messages.h"
#include "transfer/record_import.h"
#include "transfer/transfer_error.h"
#include "xls/errors.h"
#include "xls/reader.h"

#include <QThread>

#include <cstdlib>

namespace kestrova::transfer {

namespace {
QStringList toQt(const std::vector<std::string> &cells)
{
    QStringList out;
    out.reserve(qsizetype(cells.size()));
    for (const auto &c : cells)
        out << QString::fromStdString(c);
    return out;
}

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

        int dataRows = 0;
        book.forEachRow(sheet, [&](int row, const std::vector<std::string> &) { dataRows += row > 0 ? 1 : 0; });
        ProgressSteps steps(progress);
        steps.start(dataRows);

        const int delayMs = rowDelayForTests();
        RecordImporter importer(db, kRecordSheet);
        bool header = false;
        book.forEachRow(sheet, [&](int row, const std::vector<std::string> &cells) {
            // The header is the sheet's first row; a sheet whose row 1 is empty has none.
            if (!header) {
                if (row != 0)
                    throw TransferError(kImportFailed, QStringLiteral("sheet %1, row 1 is empty").arg(kRecordSheet));
                importer.setHeader(toQt(cells));
                header = true;
                return;
            }
            importer.addRow(row + 1, toQt(cells));
            steps.step();
            if (delayMs > 0)
                QThread::msleep(static_cast<unsigned long>(delayMs));
        });
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
