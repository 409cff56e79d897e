#include "transfer/upload_import.h"

#include "data/database.h"
#include "data/datetime_text.h"
#include "data/task_record.h"
#include "transfer/messages.h"
#include "transfer/offices.h"
#include "transfer/record_import.h"
#include "transfer/sheet_row_stream.h"
#include "transfer/submissions.h"
#include "transfer/transfer_error.h"
#include "transfer/upload_sheet.h"
#include "xls/errors.h"

#include <QDateTime>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cstdlib>
#include <future>
#include <array>
#include <unordered_map>

namespace kestrova::transfer {

namespace {
// Lets the interruption tests kill an import while it is writing; unset in real use.
int rowDelayForTests()
{
    const char *v = std::getenv("KESTROVA_TEST_IMPORT_ROW_DELAY_MS");
    return v ? std::atoi(v) : 0;
}

// The bar's share of each stage, in thousandths, as the stages take their time with a
// large workbook: reading the file, reading the names ahead and deleting their records,
// then the rows, then the indexes and the commit.
class ImportProgress {
public:
    static constexpr int kMax = 1000;
    static constexpr int kOpened = 120;
    static constexpr int kNamesRead = 220;
    static constexpr int kReplaced = 300;
    static constexpr int kRowsWritten = 960;

    explicit ImportProgress(Progress &p) : m_p(p)
    {
        m_p.setMaximum(kMax);
        m_p.setValue(0);
    }
    void reach(int value)
    {
        if (value > m_value)
            m_p.setValue(m_value = value);
    }
    void row(int done, int rows)
    {
        if (rows > 0)
            reach(kReplaced + int(qint64(kRowsWritten - kReplaced) * done / rows));
    }

private:
    Progress &m_p;
    int m_value = 0;
};

// Where the rows written come from, one entry per distinct origin. A row's origin is
// known by a hash of its three texts; only a new one is kept as text.
class Origins {
public:
    explicit Origins(const UploadRowFormat &format)
        : m_code(format.columnIndex(QStringLiteral("行政区划代码"))),
          m_central(format.columnIndex(QStringLiteral("央企名称"))),
          m_corps(format.columnIndex(QStringLiteral("新疆兵团")))
    {
    }
    void add(const UploadRowFormat::Row &row)
    {
        if (row.blank)
            return;
        const std::string_view code = rowText(row, m_code), central = rowText(row, m_central),
                               corps = rowText(row, m_corps);
        const std::hash<std::string_view> h;
        const size_t key = h(code) ^ (h(central) * 0x9e3779b97f4a7c15ull) ^ (h(corps) * 0xc2b2ae3d27d4eb4full);
        if (m_seen.contains(key))
            return;
        m_seen.emplace(key, std::array<std::string, 3>{std::string(code), std::string(central), std::string(corps)});
    }
    // The keys of the offices below that they belong to, in the offices' order.
    QStringList officeKeys(const OfficeMap &map) const
    {
        std::vector<int> found;
        for (const auto &[key, origin] : m_seen) {
            const int office = map.officeOf({origin[0], origin[1], origin[2]});
            if (office >= 0)
                found.push_back(office);
        }
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        QStringList keys;
        for (const int office : found)
            keys << map.offices()[office].key;
        return keys;
    }

private:
    int m_code, m_central, m_corps;
    std::unordered_map<size_t, std::array<std::string, 3>> m_seen;
};
} // namespace

bool hasUploadSuffix(const QString &path)
{
    return path.endsWith(QLatin1String("xls"), Qt::CaseSensitive);
}

QString importedCounts(const ImportResult &r)
{
    return QStringLiteral("替换原有记录 %1 条，新增记录 %2 条（共写入 %3 条）。").arg(r.replaced).arg(r.added).arg(r.appended);
}

ImportResult importUploadWorkbook(Database &db, const QString &path, Progress &progress, const QString &user)
{
    ImportProgress bar(progress);
    // The hash reads the file once more while the import works; it is wanted only at the end.
    auto hash = std::async(std::launch::async, [path] { return fileHash(path); });
    try {
        const UploadSheet upload = openUploadSheet(path);
        const xls::WorkbookReader &book = upload.book;
        const std::string &sheet = upload.sheet;
        bar.reach(ImportProgress::kOpened);

        RecordImporter importer(db, kRecordSheet);
        importer.setHeader(upload.header);

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
        bar.reach(ImportProgress::kNamesRead);
        importer.replaceNames(names, dataRows);
        names = {};
        bar.reach(ImportProgress::kReplaced);

        const int delayMs = rowDelayForTests();
        Origins origins(importer.format());
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
        int done = 0;
        while (rows.next(row)) {
            importer.write(row);
            origins.add(row);
            if (!row.blank)
                bar.row(++done, dataRows);
            if (delayMs > 0)
                QThread::msleep(static_cast<unsigned long>(delayMs));
        }

        Submission s;
        s.file = QFileInfo(path).fileName();
        s.hash = hash.get();
        s.time = storedDateTime(QDateTime::currentDateTime());
        s.offices = origins.officeKeys(OfficeMap(db, loadTask(db)));
        s.rows = importer.appended();
        s.replaced = importer.deleted();
        s.added = importer.added();
        s.user = user;
        logSubmission(db, s);
        importer.commit();
        bar.reach(ImportProgress::kMax);
        return {importer.appended(), importer.replacedNames(), importer.deleted(), importer.added()};
    } catch (const xls::XlsError &e) {
        throw TransferError(kImportFailed, workbookCause(path, e));
    } catch (const DbError &e) {
        throw TransferError(kImportFailed, e.message());
    }
}

} // namespace kestrova::transfer
