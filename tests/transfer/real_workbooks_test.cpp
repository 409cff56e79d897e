// Workbooks written by other programs, with cells typed as numbers and dates, import as
// the same records our own export gives.
#include "transfer/sheet_rows.h"
#include "transfer/upload_import.h"
#include "support/child_process.h"
#include "support/temp_store.h"
#include "transfer_fixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kestrova;
using namespace kestrova::transfer;

namespace {
QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString q = text;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The record sheet as our export fills it, as CSV.
void writeCsv(Database &db, const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    auto line = [&](const QStringList &cells) {
        QStringList q;
        for (const auto &c : cells)
            q << csvField(c);
        f.write((q.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8());
    };
    line(sheetHeader(db, tables::records));
    forEachSheetRow(db, tables::records, [&](const SheetRow &row) {
        QStringList texts;
        for (const auto &c : row.texts)
            texts << QString::fromStdString(c);
        line(texts);
    });
}

bool run(const QString &program, const QStringList &args, QString *output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    test::useUtf8Locale(p);
    p.start(program, args);
    if (!p.waitForFinished(180000))
        return false;
    if (output)
        *output = QString::fromUtf8(p.readAll());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

class RealWorkbooks : public ::testing::Test {
protected:
    test::TempStore source;
    QList<QStringList> want;
    QString csv;
    void SetUp() override
    {
        addDemoRecords(*source.db, 60, 21);
        // Values typed differently by spreadsheets: decimals, no value, a midnight time.
        source.db->exec("UPDATE TZ_XIANGMU SET 占地面积=12.75, 空地面积=NULL, 备注='含,逗号\"引号\"' WHERE ID=3");
        source.db->exec("UPDATE TZ_XIANGMU SET 修改时间='2014-04-01 00:00:00' WHERE ID=4");
        want = test::recordRows(*source.db, false);
        want[3][92] = "2014-04-01"; // written as the date alone
        csv = QDir(source.home()).filePath("数据信息.csv");
        writeCsv(*source.db, csv);
    }
    void expectImportsAsSource(const QString &xlsPath)
    {
        test::TempStore target;
        NoProgress none;
        importUploadWorkbook(*target.db, xlsPath, none, "测试员");
        const auto got = test::recordRows(*target.db, false);
        ASSERT_EQ(got.size(), want.size());
        for (int r = 0; r < want.size(); ++r)
            for (int c = 0; c < want[r].size(); ++c)
                EXPECT_EQ(got[r][c], want[r][c]) << "record " << r << " column " << recordColumns()[c + 1].toStdString();
    }
};
} // namespace

TEST_F(RealWorkbooks, TypedCellsWrittenByXlwtImportAsTheSameRecords)
{
    const QString out = source.file("xlwt.xls");
    QString log;
    ASSERT_TRUE(run(test::systemPython(), {QStringLiteral(KESTROVA_TEST_DATA_DIR "/transfer/typed_workbook.py"), csv, out}, &log))
        << log.toStdString();
    expectImportsAsSource(out);
}

TEST_F(RealWorkbooks, CsvConvertedByLibreOfficeImportsAsTheSameRecords)
{
    if (QStandardPaths::findExecutable("soffice").isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir profile;
    // Comma, double quote, UTF-8, from line 1, standard language, special numbers (dates) detected.
    const QStringList args{"-env:UserInstallation=file://" + profile.path(),
                           "--headless",
                           "--infilter=CSV:44,34,76,1,,0,false,true",
                           "--convert-to",
                           "xls:MS Excel 97",
                           "--outdir",
                           source.home(),
                           csv};
    QString log;
    ASSERT_TRUE(run("soffice", args, &log)) << log.toStdString();
    const QString out = QDir(source.home()).filePath("数据信息.xls");
    ASSERT_TRUE(QFile::exists(out)) << log.toStdString();
    expectImportsAsSource(out);
}
