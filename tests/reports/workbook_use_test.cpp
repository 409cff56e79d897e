// The exported workbooks as a person uses them: read by python3-xlrd (cell types, titles,
// units, print names), computed with by headless LibreOffice, and printed by it to PDF.
#include "report_test_support.h"

#include "data/demo_records.h"
#include "data/indicators.h"
#include "records/printed/printed_return.h"
#include "records/printed/printed_templates.h"
#include "reports/report_export.h"
#include "reports/report_templates.h"
#include "reports/summary/summary_condition.h"
#include "reports/summary/summary_export.h"
#include "reports/summary/summary_figures.h"
#include "support/child_process.h"
#include "support/xls_cells.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace kestrova;
using namespace kestrova::test;

namespace {

struct Level {
    QString level, province, city, county;
    QString tag;
};
const Level kNational{QStringLiteral("国家级汇总"), {}, {}, {}, QStringLiteral("国家级")};
const Level kProvince{QStringLiteral("省级汇总"), QStringLiteral("河南省"), {}, {}, QStringLiteral("省级")};
const Level kCounty{QStringLiteral("县级汇总"), QStringLiteral("河南省"), QStringLiteral("郑州市"),
                    QStringLiteral("中牟县"), QStringLiteral("县级")};

struct Exported {
    const reports::ReportDefinition *def;
    QString title;
    reports::ReportGrid grid;
    QString path;
};

bool run(const QString &program, const QStringList &args, QString *output = nullptr, int timeoutMs = 600000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    kestrova::test::useUtf8Locale(p);
    p.start(program, args);
    const bool finished = p.waitForFinished(timeoutMs);
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Headless LibreOffice with a profile of its own, converting every file in one start.
bool soffice(const QString &profile, const QStringList &args, QString *log)
{
    return run(QStringLiteral("soffice"),
               QStringList{QStringLiteral("-env:UserInstallation=file://") + profile, QStringLiteral("--headless")} + args,
               log);
}

// Demo records of the whole country, the templates as shipped, and the exports in one
// folder ($KESTROVA_EXPORT_DIR keeps them for looking at).
class WorkbookUse : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_store = new TempStore;
        addDemoRecords(*s_store->db, 300, 5);
        reports::writeReportTemplates(s_store->file(QStringLiteral("templet")));
        writePaperFormTemplates(s_store->file(QStringLiteral("templet")).toStdString());
    }
    static void TearDownTestSuite()
    {
        delete s_store;
        s_store = nullptr;
    }
    void SetUp() override { reports::resetWindowClassStates(); }

    static QString outDir()
    {
        const QString keep = qEnvironmentVariable("KESTROVA_EXPORT_DIR");
        const QString dir = keep.isEmpty() ? s_store->file(QStringLiteral("out")) : keep;
        QDir().mkpath(dir);
        return dir;
    }

    static Exported exportTitle(const QString &title, const Level &l, const QString &file)
    {
        Exported e;
        e.def = reports::definitionForTitle(title);
        e.title = title;
        e.grid = buildTitle(*s_store->db, title, l.level, l.province, l.city, l.county);
        e.path = QDir(outDir()).filePath(file);
        reports::exportReport(e.grid, *e.def, s_store->file(reports::templateRelativePath(*e.def)), e.path);
        return e;
    }

    static TempStore *s_store;
};
TempStore *WorkbookUse::s_store = nullptr;

// Every served title at three levels: the grid's own title and unit where a reader sees
// them, every value a number cell showing the grid's text, labels as text, headings
// repeated on every printed page and the printout ending with the grid's last row.
TEST_F(WorkbookUse, EveryTitleAtEveryLevelCarriesItsTitleUnitAndNumberCells)
{
    std::vector<Exported> all;
    QStringList paths;
    for (const Level &l : {kNational, kProvince, kCounty})
        for (const auto &def : reports::reportCatalogue())
            for (const auto &t : def.titles) {
                all.push_back(exportTitle(t.title, l, t.title.section(QLatin1Char(' '), 0, 0) + l.tag + ".xls"));
                paths << all.back().path;
            }
    ASSERT_EQ(all.size(), 94u * 3);
    const std::vector<XlsCells> read = readWithXlrd(paths);
    for (size_t i = 0; i < all.size(); ++i) {
        const Exported &e = all[i];
        const XlsCells &x = read[i];
        const reports::ExportSpec &mapping = e.def->exportSpec;
        SCOPED_TRACE(e.path.toStdString());
        ASSERT_TRUE(x.ok);
        EXPECT_EQ(x.at(2, 1), e.grid.text(0, 0));
        if (!e.def->unit.text.isEmpty()) {
            const reports::CellPosition u = reports::unitCell(*e.def);
            EXPECT_EQ(x.at(u.row + 1, u.col + 1), e.def->unit.text);
        }
        const int d = e.def->firstDataRow();
        for (int r = d; r < e.grid.rowCount(); ++r)
            for (int g = mapping.firstGridColumn; g <= mapping.lastGridColumn; ++g) {
                const int row = r + mapping.rowOffset, col = mapping.firstSheetColumn + g - mapping.firstGridColumn;
                const QString text = e.grid.text(g, r);
                if (g == 0) {
                    EXPECT_FALSE(x.isNumber(row, col)) << "label of row " << r;
                } else if (!text.isEmpty()) {
                    ASSERT_TRUE(x.isNumber(row, col)) << "grid (" << g << "," << r << ") " << text.toStdString();
                    ASSERT_EQ(x.at(row, col), text) << "grid (" << g << "," << r << ")";
                }
            }
        const int lastCol = mapping.firstSheetColumn + mapping.lastGridColumn - mapping.firstGridColumn;
        EXPECT_EQ(x.printTitles, (QJsonArray{QJsonArray{1 + mapping.rowOffset, 1, d - 1 + mapping.rowOffset, 256}}));
        EXPECT_EQ(x.printArea, (QJsonArray{QJsonArray{2, 1, e.grid.rowCount() - 1 + mapping.rowOffset, lastCol}}));
    }
}

// A spreadsheet's own SUM and COUNT over an exported value column: LibreOffice adds the
// cities' numbers up to the grid's 合计 (text cells would sum to 0 and count nothing).
TEST_F(WorkbookUse, SpreadsheetSumOverAValueColumnEqualsTheGridTotal)
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const Exported e = exportTitle(QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）"), kProvince,
                                   QStringLiteral("sum.xls"));
    const int d = e.def->firstDataRow(), k = e.def->exportSpec.rowOffset;
    ASSERT_GT(e.grid.rowCount(), d + 10);
    QTemporaryDir work;
    QString log;
    ASSERT_TRUE(soffice(work.filePath(QStringLiteral("profile")),
                        {QStringLiteral("--convert-to"), QStringLiteral("fods"), QStringLiteral("--outdir"), work.path(), e.path},
                        &log))
        << log.toStdString();
    // Two formulas to the right of the title row, over the cities' rows of column B.
    const QString range = QStringLiteral("[.B%1:.B%2]").arg(d + 1 + k).arg(e.grid.rowCount() - 1 + k);
    const QString fods = work.filePath(QStringLiteral("sum.fods")), withSum = work.filePath(QStringLiteral("withsum.fods"));
    ASSERT_TRUE(run(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(KESTROVA_TEST_DATA_DIR "/support/add_ods_formulas.py"), fods, withSum,
                     QStringLiteral("of:=SUM(%1)").arg(range), QStringLiteral("of:=COUNT(%1)").arg(range)},
                    &log))
        << log.toStdString();
    ASSERT_TRUE(soffice(work.filePath(QStringLiteral("profile")),
                        {QStringLiteral("--convert-to"),
                         QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,0"),
                         QStringLiteral("--outdir"), work.path(), withSum},
                        &log))
        << log.toStdString();
    QFile csv(work.filePath(QStringLiteral("withsum.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << log.toStdString();
    const QStringList first = QString::fromUtf8(csv.readLine()).trimmed().split(QLatin1Char(','));
    ASSERT_GE(first.size(), 2);
    const double sum = first[first.size() - 2].toDouble(), total = e.grid.text(1, d).toDouble();
    EXPECT_NEAR(sum, total, std::fabs(total) * 1e-12) << first.join(',').toStdString();
    EXPECT_EQ(first.last().toInt(), e.grid.rowCount() - d - 1);
}

// Pages as printed by LibreOffice: every report class at the national and the provincial
// level, the annual summary and the printed return. A national table and the two paper
// forms take one page each; a provincial list with one row per city takes at least 30
// rows a page, the column headings at the top of each.
TEST_F(WorkbookUse, EveryWorkbookPrintsOnItsPagesWithItsHeadingsOnEach)
{
    if (QStandardPaths::findExecutable(QStringLiteral("soffice")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "LibreOffice or poppler-utils is not installed";
    struct Printed {
        QString path;
        int maxPages;
        QStringList headings; // one of them on every page
    };
    std::vector<Printed> printed;
    for (const Level &l : {kNational, kProvince})
        for (const auto &def : reports::reportCatalogue()) {
            const Exported e = exportTitle(def.titles.first().title, l, def.className + l.tag + QStringLiteral(".xls"));
            const int rows = e.grid.rowCount() - def.firstDataRow();
            QStringList headings;
            for (const auto &h : def.headings)
                if (h.col > 0 && !h.text.contains(QLatin1Char('\r')))
                    headings << h.text;
            printed.push_back({e.path, l.level == kNational.level ? 1 : (rows + 29) / 30, headings});
        }

    const QString dir = outDir();
    const SummaryFigures f = summaryFigures(*s_store->db, SummaryCondition{});
    const SummaryHeader h{QStringLiteral("河南省粮食局"), QStringLiteral("2014年3月5日"), QStringLiteral("2013"),
                          QStringLiteral("Tarnhold"), Ownership::All, f.count};
    const QString summary = QDir(dir).filePath(QStringLiteral("summary.xls"));
    writeSummaryWorkbook(s_store->file(QString::fromUtf8(kAnnualSummaryTemplate)), summary, h, f.sums);
    printed.push_back({summary, 1, {}});
    PrintedReturnFields r;
    r.name = QStringLiteral("郑州中心粮库");
    r.year = QStringLiteral("2013");
    r.filingDate = QDate(2014, 3, 5);
    for (int k = 1; k <= kIndicatorCount; ++k)
        r.indicators[size_t(k - 1)] = f.sums[size_t(k - 1)];
    const QString printedReturn = QDir(dir).filePath(QStringLiteral("return.xls"));
    writePrintedReturn(s_store->file(QString::fromUtf8(kPrintedReturnTemplate)), printedReturn, r);
    printed.push_back({printedReturn, 1, {}});

    QStringList files;
    for (const Printed &p : printed)
        files << p.path;
    QTemporaryDir work;
    const QString pdfDir = QDir(dir).filePath(QStringLiteral("pdf"));
    QString log;
    ASSERT_TRUE(soffice(work.filePath(QStringLiteral("profile")),
                        QStringList{QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"), pdfDir} +
                            files,
                        &log))
        << log.toStdString();
    for (const Printed &p : printed) {
        const QString pdf = QDir(pdfDir).filePath(QFileInfo(p.path).completeBaseName() + QStringLiteral(".pdf"));
        SCOPED_TRACE(pdf.toStdString());
        QString info;
        ASSERT_TRUE(run(QStringLiteral("pdfinfo"), {pdf}, &info)) << info.toStdString();
        const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info).captured(1).toInt();
        EXPECT_GE(pages, 1);
        EXPECT_LE(pages, p.maxPages);
        for (int page = 2; page <= pages && !p.headings.isEmpty(); ++page) {
            QString text;
            ASSERT_TRUE(run(QStringLiteral("pdftotext"),
                            {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf,
                             QStringLiteral("-")},
                            &text));
            text.remove(QRegularExpression(QStringLiteral("\\s")));
            bool headed = false;
            for (const QString &heading : p.headings)
                headed = headed || text.contains(heading);
            EXPECT_TRUE(headed) << "page " << page << " has no column heading";
        }
    }
}

} // namespace
