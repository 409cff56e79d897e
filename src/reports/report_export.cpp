#include "reports/report_export.h"

#include "data/app_home.h"
#include "data/file_error.h"
#include "reports/report_error.h"
#include "xls/template_filler.h"

#include <QFileInfo>

namespace kestrova::reports {

QString defaultExportName(const GlobalContext &ctx, const ReportDefinition &def, const ReportGrid &grid,
                          const QDate &today)
{
    const QString name = def.isNational() ? ctx.province + ctx.city + ctx.county + def.tableName : grid.text(0, 0);
    return name + QLatin1Char('(') + today.toString(QStringLiteral("MM-dd")) + QLatin1Char(')');
}

QString templateRelativePath(const ReportDefinition &def)
{
    // A national table's template is named after its own title, never after text from
    // elsewhere, so the path cannot leave the template folder.
    const QString file = def.isNational() ? def.titles.value(0).title : def.exportSpec.fixedFile;
    return QStringLiteral("templet/%1/%2.xls").arg(def.exportSpec.folder, file);
}

QString templatePath(const ReportDefinition &def)
{
    return shippedFile(templateRelativePath(def));
}

void exportReport(const ReportGrid &grid, const ReportDefinition &def, const QString &templateFile,
                  const QString &outPath)
{
    writeWorkbookFile(outPath, [&] {
        if (!QFileInfo::exists(templateFile))
            throw ReportError(QStringLiteral("找不到模板文件：%1").arg(templateFile));
        // The filler holds the template and writes the whole filled copy in one go, so the
        // target keeps its old content until the new one is complete.
        xls::TemplateFiller filler(templateFile.toStdString());
        const ExportSpec &x = def.exportSpec;
        if (x.writeTitle)
            filler.setText(0, 1, 0, grid.text(0, 0).toStdString());
        for (int r = x.firstRow; r < grid.rowCount(); ++r) {
            for (int g = x.firstGridColumn; g <= x.lastGridColumn; ++g) {
                // A cell hidden under a merged heading has nothing to show; the sheet's
                // block would take its empty text over the heading.
                const Merge *m = grid.mergeAt(g, r);
                if (m && (m->col != g || m->row != r))
                    continue;
                filler.setText(0, r + x.rowOffset - 1, x.firstSheetColumn + (g - x.firstGridColumn) - 1,
                               grid.text(g, r).toStdString());
            }
        }
        filler.save(outPath.toStdString());
    });
}

} // namespace kestrova::reports
