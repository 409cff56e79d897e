// export and import: the upload workbook without windows.
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "data/app_home.h"
#include "transfer/export_gate.h"
#include "transfer/messages.h"
#include "transfer/transfer_error.h"
#include "transfer/upload_export.h"
#include "transfer/upload_import.h"

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

// Each file is imported on its own, in the order given; one that fails leaves the
// database as it was before that file and the next one is still tried.
int runImport(const QStringList &args)
{
    const Options o = parseOptions(args, {}, 1, -1);
    auto db = openExistingStore();
    bool allDone = true;
    for (const QString &file : o.positional) {
        if (!transfer::hasUploadSuffix(file)) {
            printErr(file + QStringLiteral("：") + transfer::kWrongFileType);
            allDone = false;
            continue;
        }
        try {
            transfer::NoProgress none;
            const auto result = transfer::importUploadWorkbook(*db, file, none);
            printOut(file + QStringLiteral("：") + transfer::kImported +
                     QStringLiteral("（%1 条记录，%2 个企业名称）").arg(result.appended).arg(result.names));
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

} // namespace kestrova::cli
