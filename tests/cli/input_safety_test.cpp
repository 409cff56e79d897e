// What a careless or unlucky user gives kestrova-cli: cells no workbook can carry back,
// arguments a command does not take, a pipe under a workbook's name, a damaged, locked or
// foreign database, long file names and hostile texts in a report. Each is refused or
// handled with a message that says what to do, and the records stay as they were.
#include "cli/cli_home.h"
#include "cli/hand_built_upload.h"

#include <QFile>
#include <QProcess>

#include <cmath>
#include <limits>
#include <sys/stat.h>

using namespace kestrova;
using namespace kestrova::test;

namespace {

const QString kReport = QStringLiteral("表2-1-2 全国粮油仓储企业总仓容汇总表（分地区）");
const QString kFacilities = QStringLiteral("表3-1-2 全国粮油仓储企业附属设施汇总表（分地区）");

using InputSafety = CliHome;

// Sheet column 17 (Q) holds 占地面积, column 89 (CK) 备注.
constexpr size_t kArea = 16;
constexpr size_t kRemarks = 88;

TEST_F(InputSafety, ImportRefusesATextLongerThanAWorkbookCellHoldsNamingSheetRowAndColumn)
{
    HandRow longest = handRow("长备注库");
    longest[kRemarks] = std::string(32767, 'x');
    HandRow tooLong = handRow("过长库");
    tooLong[kRemarks] = std::string(32768, 'x');
    const QString fits = store.file(QStringLiteral("fits.xls")), refused = store.file(QStringLiteral("long.xls"));
    writeHandBuiltUpload(fits.toStdString(), {longest});
    writeHandBuiltUpload(refused.toStdString(), {handRow("甲库"), tooLong});

    const QStringList entries = folderEntries(store.home());
    CliResult r = cli({"import", refused});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("工作表“数据信息”第 3 行第 CK 列（备注）"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("32767 个字符"))) << r.err.toStdString();
    expectIntact(entries, "refused import");

    // The longest text a cell holds is taken, and the records still export.
    r = cli({"import", fits});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = cli({"export", store.file(QStringLiteral("上报.xls"))});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
}

TEST_F(InputSafety, ImportRefusesNumbersWorkbooksCannotCarryAndSumsPastTheLargestNumberNameTheirColumn)
{
    struct Case {
        const char *file;
        HandCell area;
        const char *why;
    };
    const Case cases[] = {
        {"max.xls", std::string("1.7976931348623157e308"), "15 位有效数字"},
        {"digits.xls", std::string("123456789012345678"), "15 位有效数字"},
        {"nan.xls", std::numeric_limits<double>::quiet_NaN(), "不是数字"},
        {"inf.xls", std::numeric_limits<double>::infinity(), "不是数字"},
    };
    for (const Case &c : cases) {
        HandRow row = handRow("数值库");
        row[kArea] = c.area;
        const QString file = store.file(QString::fromUtf8(c.file));
        writeHandBuiltUpload(file.toStdString(), {row});
        const QStringList entries = folderEntries(store.home());
        const CliResult r = cli({"import", file});
        EXPECT_EQ(r.exitCode, 1) << c.file;
        EXPECT_TRUE(r.err.contains(QStringLiteral("工作表“数据信息”第 2 行第 Q 列（占地面积）"))) << c.file << ": "
                                                                                      << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.why))) << c.file << ": " << r.err.toStdString();
        expectIntact(entries, c.file);
    }

    // Two of the largest numbers a workbook shows: each is stored, their sum is not a number.
    HandRow a = handRow("大库甲"), b = handRow("大库乙");
    a[kArea] = std::string("1E+308");
    b[kArea] = 1e308;
    for (HandRow *row : {&a, &b}) {
        (*row)[3] = std::string("河北省");
        (*row)[4] = std::string("石家庄市");
        (*row)[13] = std::string("否");
    }
    const QString big = store.file(QStringLiteral("big.xls"));
    writeHandBuiltUpload(big.toStdString(), {a, b});
    CliResult r = cli({"import", big});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = cli({"summary"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("a1（占地面积） 的合计超出了数值的范围"))) << r.err.toStdString();
    EXPECT_FALSE((r.out + r.err).contains(QStringLiteral("INF")));
    ASSERT_EQ(cli({"task", "--year", "2013", "--level", "省级汇总", "--province", "河北省"}).exitCode, 0);
    r = cli({"report", kFacilities});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("占地面积 的合计超出了数值的范围"))) << r.err.toStdString();
    EXPECT_FALSE((r.out + r.err).contains(QStringLiteral("INF")));
}

TEST_F(InputSafety, EveryCommandRefusesArgumentsItDoesNotTakeBeforeDoingAnything)
{
    const QString backup = store.file(QStringLiteral("mybackup.bak"));
    ASSERT_EQ(cli({"backup", backup}).exitCode, 0);
    const QString a = store.file(QStringLiteral("a.xls")), b = store.file(QStringLiteral("b.xls"));
    const QList<QStringList> refused{
        {"reset", backup},
        {"init", "extra"},
        {"task", "--year", "2014", "--level", "国家级汇总", "extra"},
        {"demo", "5", "extra"},
        {"demo"},
        {"import"},
        {"export", a, b},
        {"export", ""},
        {"report", kReport, "extra"},
        {"report", kReport, "--xls", a, "--xls", b},
        {"summary", "extra"},
        {"summary", "--bogus", "x"},
        {"backup", store.file(QStringLiteral("x.bak")), store.file(QStringLiteral("y.bak"))},
        {"restore", backup, "extra"},
        {"restore"},
    };
    const QStringList entries = folderEntries(store.home());
    for (const QStringList &args : refused) {
        const std::string what = args.join(' ').toStdString();
        const CliResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << what;
        EXPECT_TRUE(r.err.contains(QStringLiteral("用法：kestrova-cli ") + args[0])) << what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << what;
        expectIntact(entries, what);
    }

    QTemporaryDir empty;
    EXPECT_EQ(runCli(empty.path(), {"init", "extra"}).exitCode, 2);
    EXPECT_FALSE(QFile::exists(empty.filePath(QStringLiteral("vardo.db")))) << "init extra created nothing";
}

CliResult runWithin(const QString &home, const QStringList &args, int ms)
{
    QProcess p;
    p.start(QStringLiteral(KESTROVA_BIN_DIR "/kestrova-cli"), QStringList{"--home", home} + args);
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished(5000);
        return {-1, {}, QStringLiteral("still running after %1 ms").arg(ms)};
    }
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

TEST_F(InputSafety, APipeNamedLikeAWorkbookOrBackupIsRefusedAtOnce)
{
    const QString pipeXls = store.file(QStringLiteral("x.xls")), pipeBak = store.file(QStringLiteral("x.bak"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipeXls).constData(), 0644), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipeBak).constData(), 0644), 0);
    const QStringList entries = folderEntries(store.home());
    CliResult r = runWithin(store.home(), {"import", pipeXls}, 20000);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("不是普通文件"))) << r.err.toStdString();
    expectIntact(entries, "import of a pipe");
    r = runWithin(store.home(), {"restore", pipeBak}, 20000);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("不是普通文件"))) << r.err.toStdString();
    expectIntact(entries, "restore of a pipe");
}

// No statement of the program and no temporary of its own reaches the user.
void expectOnlyTheUsersWords(const CliResult &r, const std::string &what)
{
    for (const char *internal : {"SELECT", "INSERT", "DELETE", "UPDATE", "CREATE", ".kestrova-tmp", ".part"})
        EXPECT_FALSE(r.err.contains(QString::fromUtf8(internal), Qt::CaseInsensitive))
            << what << " shows " << internal << ": " << r.err.toStdString();
}

TEST_F(InputSafety, MessagesSayWhatHappenedAndWhatToDoInChineseWithoutSqlOrInternalNames)
{
    struct Case {
        std::string what;
        std::function<void()> arrange;
        QStringList args;
        QString says; // on the first line
    };
    const QString bak = store.file(QStringLiteral("copy.bak"));
    ASSERT_EQ(cli({"backup", bak}).exitCode, 0);
    const auto restore = [&] {
        QFile::setPermissions(db(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(db());
        ASSERT_TRUE(QFile::copy(bak, db()));
    };
    const auto readOnly = [&] { QFile::setPermissions(db(), QFileDevice::ReadOwner | QFileDevice::ReadGroup); };
    const Case cases[] = {
        {"damaged", [&] { damageRecords(db()); }, {"summary"}, QStringLiteral("数据库文件已损坏。请恢复最近的一份备份。")},
        {"not a database",
         [&] {
             QFile f(db());
             ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
             f.write(QByteArray(8192, 'k'));
         },
         {"reset"}, QStringLiteral("不是本系统的数据库")},
        {"read-only reset", readOnly, {"reset"}, QStringLiteral("数据库文件是只读的，不能写入。请取消它的只读属性后再试。")},
        {"read-only demo", readOnly, {"demo", "3"}, QStringLiteral("数据库文件是只读的")},
    };
    for (const Case &c : cases) {
        c.arrange();
        const CliResult r = cli(c.args);
        EXPECT_EQ(r.exitCode, 1) << c.what;
        EXPECT_TRUE(r.err.section('\n', 0, 0).contains(c.says)) << c.what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(db())) << c.what << ": the detail names the file";
        EXPECT_FALSE(r.err.contains(QStringLiteral("kestrova-cli init"))) << c.what << ": init would not help";
        expectOnlyTheUsersWords(r, c.what);
        restore();
    }

    // Locked by another program: the message says to close it.
    {
        Database other(db());
        other.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        const CliResult r = cli({"reset"});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("数据库正被另一个程序使用。请关闭那个程序后再试。"))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("kestrova-cli init")));
        expectOnlyTheUsersWords(r, "locked");
        other.exec(QStringLiteral("ROLLBACK"));
    }
    EXPECT_TRUE(databaseState(db()).rows == before.rows);

    // Only a missing database is what init makes.
    QTemporaryDir empty;
    CliResult r = runCli(empty.path(), {"summary"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("（可先运行 kestrova-cli init）"))) << r.err.toStdString();

    // Failures to write name the user's own file, in Chinese.
    const QString nowhere = store.file(QStringLiteral("没有这个目录"));
    r = cli({"backup", nowhere + QStringLiteral("/x.bak")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(nowhere + QStringLiteral("/x.bak"))) << r.err.toStdString();
    expectOnlyTheUsersWords(r, "backup into a missing folder");
    r = cli({"summary", "--xls", nowhere + QStringLiteral("/x.xls")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.section('\n', 0, 0).contains(QStringLiteral("无法保存工作簿“x.xls”"))) << r.err.toStdString();
    expectOnlyTheUsersWords(r, "summary into a missing folder");

    // A file name of 254 bytes, within the 255 a name may have, is written as given.
    const QString stem(250, QLatin1Char('a'));
    for (const QStringList &args : {QStringList{"export", store.file(stem + ".xls")},
                                    QStringList{"summary", "--xls", store.file(stem.left(249) + "s.xls")},
                                    QStringList{"backup", store.file(stem + ".bak")}}) {
        r = cli(args);
        EXPECT_EQ(r.exitCode, 0) << args[0].toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(QFile::exists(args.last())) << args[0].toStdString();
    }
}

// The TSV cell back as the grid holds it.
QString unescapeTsv(const QString &cell)
{
    QString out;
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (cell[i] != QLatin1Char('\\') || i + 1 == cell.size()) {
            out += cell[i];
            continue;
        }
        const QChar c = cell[++i];
        out += c == u't' ? QChar(u'\t') : c == u'n' ? QChar(u'\n') : c == u'r' ? QChar(u'\r') : c == u'0' ? QChar(u'\0') : c;
    }
    return out;
}

TEST_F(InputSafety, ReportTsvEscapesBackslashTabLineBreaksAndNulSoEveryCellStaysInItsColumn)
{
    const QString hostile = QStringLiteral("唐\t山\\n市\r\n") + QChar(u'\0') + QStringLiteral("尾\\");
    {
        auto d = openStore(StoreOpen::MustExist);
        d->exec(QStringLiteral("INSERT INTO TZ_XIANGMU(企业名称, 省, 地市, 行政区划代码, 新疆兵团, 占地面积) "
                               "VALUES ('怪名库', '河北省', ?1, '130203', '否', 7)"),
                {hostile});
    }
    ASSERT_EQ(cli({"task", "--year", "2013", "--level", "省级汇总", "--province", "河北省"}).exitCode, 0);
    const CliResult r = cli({"report", kFacilities});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains(QChar(u'\0')));
    EXPECT_FALSE(r.out.contains(QChar(u'\r')));
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    const qsizetype tabs = lines[0].count(QLatin1Char('\t'));
    int found = 0;
    for (const QString &line : lines) {
        EXPECT_EQ(line.count(QLatin1Char('\t')), tabs) << line.toStdString();
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (unescapeTsv(cells[0]) == hostile) {
            ++found;
            EXPECT_EQ(cells[1], QStringLiteral("7")) << "the figures stay under their headings";
        }
    }
    EXPECT_EQ(found, 1) << r.out.toStdString();
}

} // namespace
