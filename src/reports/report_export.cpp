#include "reports/report_export.h"

#include "data/app_home.h"
#include "data/file_error.h"
#include "reports/report_error.h"
#include "reports/report_templates.h"
#include "xls/template_filler.h"

#include <QFileInfo>

#include <algorithm>

namespace kestrova::reports {

QString defaultExportName(const ReportDefinition &def, const QString &reportTitle, const ReportGrid &grid,
                          const QString &year)
{
    QString number = def.titles.value(0).title.section(QLatin1Char(' '), 0, 0);
    for (const ServedTitle &t : def.titles)
        if (t.title == reportTitle)
            number = t.title.section(QLatin1Char(' '), 0, 0);
    QString name = number + QLatin1Char(' ') + grid.text(0, 0);
    if (!year.trimmed().isEmpty())
        name += QLatin1Char('(') + year.trimmed() + QLatin1Char(')');
    // A place name holding a slash must not turn the suggestion into a folder path.
    name.replace(QLatin1Char('/'), QChar(u'／')).replace(QLatin1Char('\\'), QChar(u'＼'));
    return name;
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
        // The grid's own title and unit, whatever the template shows there.
        filler.setText(0, 1, 0, grid.text(0, 0).toStdString());
        if (!def.unit.text.isEmpty()) {
            const CellPosition unit = unitCell(def);
            filler.setText(0, unit.row, unit.col, def.unit.text.toStdString());
        }
        const int lastCol = x.firstSheetColumn + (x.lastGridColumn - x.firstGridColumn) - 1;
        // A list longer than the national one goes on in the look of the template's last row.
        filler.extendRowFormats(0, lastTemplateRow(def));
        for (int r = x.firstRow; r < grid.rowCount(); ++r) {
            for (int g = x.firstGridColumn; g <= x.lastGridColumn; ++g) {
                // A cell hidden under a merged heading has nothing to show; the sheet's
                // block would take its empty text over the heading.
                const Merge *m = grid.mergeAt(g, r);
                if (m && (m->col != g || m->row != r))
                    continue;
                const int row = r + x.rowOffset - 1, col = x.firstSheetColumn + (g - x.firstGridColumn) - 1;
                const std::string text = grid.text(g, r).toStdString();
                // Values become numbers a spreadsheet can add up; labels and headings stay text.
                if (g > 0 && r >= def.firstDataRow())
                    filler.setNumberOrText(0, row, col, text);
                else
                    filler.setText(0, row, col, text);
            }
        }
        // The printout ends with the grid's last row, not with the template's bordered rows.
        filler.setPrintArea(0, 1, std::max(grid.rowCount(), def.firstDataRow() + 1) + x.rowOffset - 2, 0, lastCol);
        filler.save(outPath.toStdString());
    });
}

} // namespace kestrova::reports
