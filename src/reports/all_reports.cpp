#include "reports/all_reports.h"

#include "data/database_files.h"
#include "data/file_error.h"
#include "reports/report_catalogue.h"
#include "reports/report_engine.h"
#include "reports/report_error.h"
#include "reports/report_export.h"
#include "reports/tables_workbook.h"
#include "xls/errors.h"
#include "xls/temporary_file.h"

#include <QDir>
#include <QFileInfo>

#include <memory>
#include <system_error>
#include <vector>

namespace kestrova::reports {

namespace {

QString safeFileName(QString name)
{
    // A place name holding a slash must not turn a file name into a folder path.
    return name.replace(QLatin1Char('/'), QChar(u'／')).replace(QLatin1Char('\\'), QChar(u'＼'));
}

FileError folderError(const QString &folder, const std::exception &e)
{
    return FileError(QStringLiteral("无法在文件夹“%1”中保存报表，没有保存任何文件。请检查磁盘空间、文件是否只读和文件夹的权限。")
                         .arg(QDir::toNativeSeparators(folder)),
                     QString::fromLocal8Bit(e.what()));
}

// A final name and the temporary that stands in for it until every file is complete.
struct PendingFile {
    QString path;
    std::unique_ptr<xls::TemporaryFile> temporary;
};

} // namespace

QString tableFileName(const QString &title)
{
    return safeFileName(title.trimmed()) + QStringLiteral(".xls");
}

QString allTablesFileName(const QString &year, const QString &office)
{
    return safeFileName(year.trimmed() + QStringLiteral("年") + office.trimmed() + QStringLiteral("全部报表")) +
           QStringLiteral(".xls");
}

AllReportsResult writeAllReports(Database &db, const GlobalContext &ctx, const AllReportsRequest &request,
                                 const AllReportsProgress &progress)
{
    AllReportsResult result;
    const QFileInfo folder(request.folder);
    if (!folder.isDir())
        throw FileError(QStringLiteral("文件夹“%1”不存在，没有保存任何文件。请另选一个文件夹。")
                            .arg(QDir::toNativeSeparators(request.folder)),
                        request.folder);
    const QDir dir(folder.absoluteFilePath());
    const int total = int(request.titles.size()) + 2;
    int done = 0;
    auto step = [&](const QString &what) { return !progress || progress(done++, total, what); };

    std::vector<PendingFile> pending;
    auto reserve = [&](const QString &name) -> PendingFile & {
        PendingFile p{dir.filePath(name), nullptr};
        refuseDatabaseTarget(p.path);
        try {
            p.temporary = std::make_unique<xls::TemporaryFile>(p.path.toStdString());
        } catch (const std::exception &e) {
            throw folderError(dir.path(), e);
        }
        pending.push_back(std::move(p));
        return pending.back();
    };

    std::vector<TableSheet> sheets;
    sheets.reserve(size_t(request.titles.size()));
    for (const QString &title : request.titles) {
        if (!step(title)) {
            result.cancelled = true;
            return result;
        }
        const ReportDefinition *def = definitionForTitle(title);
        if (!def)
            throw ReportError(QStringLiteral("没有这张报表：%1").arg(title));
        GlobalContext c = ctx;
        c.reportTitle = title;
        // A copy of the class state: the tables are built as their windows would be,
        // without moving what the windows remember.
        WindowClassState state = windowClassState(def->className);
        TableSheet sheet{title, def, ReportGrid()};
        buildReport(db, c, *def, state, sheet.grid);
        PendingFile &file = reserve(tableFileName(title));
        exportReport(sheet.grid, *def, templatePath(*def), QString::fromStdString(file.temporary->path()));
        sheets.push_back(std::move(sheet));
    }

    const QString allName = allTablesFileName(request.year, request.office);
    if (!step(allName)) {
        result.cancelled = true;
        return result;
    }
    PendingFile &all = reserve(allName);
    writeWorkbookFile(all.path, [&] { saveTablesWorkbook(sheets, QString::fromStdString(all.temporary->path())); });

    if (!step(QStringLiteral("保存"))) {
        result.cancelled = true;
        return result;
    }
    for (PendingFile &p : pending) {
        try {
            p.temporary->commit();
        } catch (const std::exception &e) {
            throw folderError(dir.path(), e);
        }
        result.files << p.path;
    }
    if (progress)
        progress(total, total, QString());
    return result;
}

} // namespace kestrova::reports
