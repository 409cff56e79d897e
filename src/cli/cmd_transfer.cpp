// export, import and submissions: the upload workbook without windows.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/app_home.h"
#include "transfer/export_gate.h"
#include "transfer/import_preview.h"
#include "transfer/messages.h"
#include "transfer/submissions.h"
#include "transfer/transfer_error.h"
#include "transfer/upload_export.h"
#include "transfer/upload_import.h"

#include <algorithm>

namespace kestrova::cli {

int runExport(const QStringList &args)
{
    const Options o = parseOptions(args, {}, 1, 1);
    auto db = openExistingStore();
    if (const auto refusal = transfer::exportRefusal(*db))
        throw CliError(*refusal);
    try {
        transfer::NoProgress none;
        transfer::writeUploadWorkbook(*db, shippedFile(QStringLiteral("templet/out.xls")), o.positional[0], none);
    } catch (const transfer::TransferError &e) {
        throw CliError(e.fullText());
    }
    printOut(transfer::kExported);
    return 0;
}

namespace {
void printTable(const QList<QStringList> &rows)
{
    for (const QStringList &row : rows)
        printOut(tsvLine(row));
}

// Who the submissions log names for an import from the command line.
QString commandLineUser()
{
    const QString login = qEnvironmentVariable("USER");
    return login.isEmpty() ? QStringLiteral("kestrova-cli") : QStringLiteral("kestrova-cli（%1）").arg(login);
}

// What importing the files would do, as two tables; nothing is written.
int previewImport(const QStringList &files)
{
    auto db = openExistingStore();
    transfer::NoProgress none;
    const transfer::ImportPreview preview = transfer::previewImports(*db, files, none);
    printTable(transfer::workbookTable(preview));
    printOut(QString());
    printTable(transfer::noteTable(preview));
    const bool allGo = std::all_of(preview.workbooks.begin(), preview.workbooks.end(),
                                   [](const transfer::WorkbookPreview &w) { return w.refusal.isEmpty(); });
    return allGo ? 0 : 1;
}
} // namespace

// Each file is imported on its own, in the order given; one that fails leaves the
// database as it was before that file and the next one is still tried.
int runImport(const QStringList &args)
{
    QStringList rest = args;
    const bool preview = rest.removeAll(QStringLiteral("--preview")) > 0;
    const Options o = parseOptions(rest, {}, 1, -1);
    if (preview)
        return previewImport(o.positional);
    auto db = openExistingStore();
    const QString user = commandLineUser();
    bool allDone = true;
    for (const QString &file : o.positional) {
        if (!transfer::hasUploadSuffix(file)) {
            printErr(file + QStringLiteral("：") + transfer::kWrongFileType);
            allDone = false;
            continue;
        }
        try {
            transfer::NoProgress none;
            const auto result = transfer::importUploadWorkbook(*db, file, none, user);
            printOut(file + QStringLiteral("：") + transfer::kImported + transfer::importedCounts(result));
        } catch (const transfer::TransferError &e) {
            printErr(file + QStringLiteral("：") + e.fullText());
            allDone = false;
        } catch (const std::exception &e) {
            printErr(file + QStringLiteral("：") +
                     transfer::TransferError(transfer::kImportFailed, QString::fromUtf8(e.what())).fullText());
            allDone = false;
        }
    }
    return allDone ? 0 : 1;
}

int runSubmissions(const QStringList &args)
{
    parseOptions(args, {}, 0, 0);
    auto db = openExistingStore();
    printOut(tsvLine(transfer::submissionHeadings()));
    printTable(transfer::submissionTable(transfer::submissionList(*db)));
    return 0;
}

} // namespace kestrova::cli
