#include "transfer/import_preview.h"

#include "data/database.h"
#include "data/datetime_text.h"
#include "data/indicators.h"
#include "data/task_record.h"
#include "records/record_validation.h"
#include "transfer/messages.h"
#include "transfer/offices.h"
#include "transfer/sheet_row_stream.h"
#include "transfer/submissions.h"
#include "transfer/transfer_error.h"
#include "transfer/upload_import.h"
#include "transfer/upload_row_format.h"
#include "transfer/upload_sheet.h"

#include <QFileInfo>

#include <algorithm>
#include <future>
#include <unordered_map>

namespace kestrova::transfer {

namespace {

QString fromView(std::string_view v)
{
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

// What the preview keeps of a row once it is read.
struct RowFacts {
    int sheetRow = 0;
    std::string name;
    std::string code;
    std::string central;
    int office = -1;
    bool inside = true;
    std::string status; // 校验状态
    QString ruleFailure; // the first failing rule's message
};

struct PreviewItem {
    UploadRowFormat::Row row;
    RowFacts facts;
};

// Where the facts are in a prepared row.
struct FactColumns {
    int code, central, corps, postcode, status;
    std::array<int, kIndicatorCount + 1> indicators{};

    explicit FactColumns(const UploadRowFormat &f)
        : code(f.columnIndex(QStringLiteral("行政区划代码"))), central(f.columnIndex(QStringLiteral("央企名称"))),
          corps(f.columnIndex(QStringLiteral("新疆兵团"))), postcode(f.columnIndex(QStringLiteral("邮政编码"))),
          status(f.columnIndex(QStringLiteral("校验状态")))
    {
        for (int k = 1; k <= kIndicatorCount; ++k) {
            const std::string_view column = indicator(k).column;
            indicators[size_t(k)] = f.columnIndex(fromView(column));
        }
    }

    void fill(const UploadRowFormat::Row &row, const OfficeMap &map, RowFacts &facts) const
    {
        facts.sheetRow = row.sheetRow;
        facts.name = row.name;
        facts.code.assign(rowText(row, code));
        facts.central.assign(rowText(row, central));
        const RecordOrigin origin{facts.code, facts.central, rowText(row, corps)};
        facts.office = map.officeOf(origin);
        facts.inside = map.withinArea(origin);
        facts.status.assign(rowText(row, status));
        IndicatorValues values{};
        for (int k = 1; k <= kIndicatorCount; ++k) {
            const int i = indicators[size_t(k)];
            values[size_t(k)] = i >= 0 && row.kinds[size_t(i)] == UploadRowFormat::Row::Kind::Number ? row.numbers[size_t(i)] : 0;
        }
        const auto failure = validateValues(fromView(rowText(row, postcode)), values);
        facts.ruleFailure = failure ? failure->message : QString();
    }
};

// Reads one workbook's rows as the import would; throws what the import would throw.
std::vector<RowFacts> readFacts(Database &db, const QString &path, const OfficeMap &map, Progress &progress, int base)
{
    const UploadSheet upload = openUploadSheet(path);
    UploadRowFormat format(db, kRecordSheet);
    format.setHeader(upload.header);
    const FactColumns columns(format);
    const int rows = int(std::max<size_t>(upload.book.rowsWithCells(upload.sheet), 1) - 1);
    progress.setValue(base + 150);
    UploadRowFormat::SharedNumbers numbers(upload.book.sharedStringCount());
    std::vector<RowFacts> facts;
    facts.reserve(size_t(rows));
    try {
        SheetRowStream<PreviewItem> stream(upload.book, upload.sheet,
                                           [&](int row, const UploadRowFormat::CellViews &cells, PreviewItem &item) {
                                               if (row == 0) {
                                                   item.row.blank = true;
                                                   return;
                                               }
                                               format.prepare(row + 1, cells, item.row, &numbers);
                                               if (!item.row.blank)
                                                   columns.fill(item.row, map, item.facts);
                                           });
        PreviewItem item;
        while (stream.next(item)) {
            if (item.row.blank)
                continue;
            facts.push_back(std::move(item.facts));
            if (rows > 0 && facts.size() % 1024 == 0)
                progress.setValue(base + 150 + int(qint64(700) * qint64(facts.size()) / rows));
        }
    } catch (const xls::XlsError &e) {
        throw TransferError(kImportFailed, workbookCause(path, e));
    }
    return facts;
}

// Up to a few row numbers: "第 5、9、12 行" or "第 5、9、12 行等 40 行".
QString rowList(const std::vector<int> &rows)
{
    constexpr size_t kShown = 8;
    QStringList shown;
    for (size_t i = 0; i < rows.size() && i < kShown; ++i)
        shown << QString::number(rows[i]);
    QString text = QStringLiteral("第 %1 行").arg(shown.join(QStringLiteral("、")));
    if (rows.size() > kShown)
        text += QStringLiteral("等 %1 行").arg(rows.size());
    return text;
}

struct LocalName {
    int records = 0;
    std::vector<std::string> codes; // distinct
};

// A name as one earlier workbook holds it.
struct EarlierName {
    int workbook;
    std::vector<int> sheetRows;
};

} // namespace

QString previewFlagText(PreviewFlag flag)
{
    switch (flag) {
    case PreviewFlag::OtherCounty: return QStringLiteral("将删除其他县的同名企业");
    case PreviewFlag::TwiceInWorkbook: return QStringLiteral("工作簿内重名");
    case PreviewFlag::InOtherWorkbook: return QStringLiteral("多个工作簿中重名");
    case PreviewFlag::OutsideArea: return QStringLiteral("不在本单位范围内");
    case PreviewFlag::NotValidated: return QStringLiteral("未校验");
    case PreviewFlag::FailsRule: return QStringLiteral("不符合校验规则");
    }
    return QString();
}

bool ImportPreview::canImport() const
{
    return std::any_of(workbooks.begin(), workbooks.end(), [](const WorkbookPreview &w) { return w.refusal.isEmpty(); });
}

ImportPreview previewImports(Database &db, const QStringList &paths, Progress &progress)
{
    constexpr int kPerWorkbook = 1000;
    progress.setMaximum(int(paths.size()) * kPerWorkbook);
    progress.setValue(0);
    ImportPreview out;
    const OfficeMap map(db, loadTask(db));

    std::unordered_map<std::string, LocalName> local;
    {
        Statement st = db.prepare(QStringLiteral("SELECT 企业名称, 行政区划代码 FROM TZ_XIANGMU"));
        while (st.next()) {
            LocalName &n = local[std::string(st.utf8(0))];
            ++n.records;
            const std::string_view code = st.utf8(1);
            if (std::find(n.codes.begin(), n.codes.end(), code) == n.codes.end())
                n.codes.emplace_back(code);
        }
    }
    // Records of each name as the import would leave them after each workbook.
    std::unordered_map<std::string, int> records;
    for (const auto &[name, n] : local)
        records.emplace(name, n.records);
    std::unordered_map<std::string, std::vector<EarlierName>> earlier;

    for (int w = 0; w < paths.size(); ++w) {
        const int base = w * kPerWorkbook;
        WorkbookPreview book;
        book.path = paths[w];
        const QString file = QFileInfo(book.path).fileName();
        if (!hasUploadSuffix(book.path)) {
            book.refusal = kWrongFileType;
            out.workbooks << book;
            progress.setValue(base + kPerWorkbook);
            continue;
        }
        auto hash = std::async(std::launch::async, [path = book.path] { return fileHash(path); });
        std::vector<RowFacts> facts;
        try {
            facts = readFacts(db, book.path, map, progress, base);
        } catch (const TransferError &e) {
            book.refusal = e.fullText();
        }
        const QList<Submission> before = submissionsOfHash(db, hash.get());
        if (!before.isEmpty())
            book.importedBefore = QStringLiteral("此文件已于 %1 导入过%2")
                                      .arg(displayDateTime(before.last().time),
                                           before.size() > 1 ? QStringLiteral("（共 %1 次）").arg(before.size()) : QString());
        if (!book.refusal.isEmpty()) {
            out.workbooks << book;
            progress.setValue(base + kPerWorkbook);
            continue;
        }

        // The rows of each name, in the order the names first occur.
        std::unordered_map<std::string, std::vector<int>> rowsOf;
        std::vector<const std::string *> order;
        for (int i = 0; i < int(facts.size()); ++i) {
            auto [it, fresh] = rowsOf.try_emplace(facts[size_t(i)].name);
            if (fresh)
                order.push_back(&it->first);
            it->second.push_back(i);
        }
        book.rows = int(facts.size());
        book.names = int(order.size());
        std::vector<int> perOffice(size_t(map.offices().size()) + 1, 0);
        for (const RowFacts &f : facts)
            ++perOffice[size_t(f.office + 1)];
        QStringList offices;
        for (int o = 0; o < map.offices().size(); ++o)
            if (perOffice[size_t(o + 1)] > 0)
                offices << QStringLiteral("%1 %2 行").arg(map.offices()[o].name).arg(perOffice[size_t(o + 1)]);
        if (perOffice[0] > 0)
            offices << QStringLiteral("其他 %1 行").arg(perOffice[0]);
        book.offices = offices.join(QStringLiteral("、"));

        const auto note = [&out](int workbook, const RowFacts &f, PreviewFlag flag, const QString &detail) {
            out.notes << PreviewNote{workbook, f.sheetRow, fromView(f.name), flag, detail};
        };
        for (const std::string *name : order) {
            const std::vector<int> &rows = rowsOf[*name];
            std::vector<int> sheetRows;
            for (const int i : rows)
                sheetRows.push_back(facts[size_t(i)].sheetRow);

            int &held = records[*name];
            book.replaced += held;
            if (held == 0)
                book.added += int(rows.size());
            held = int(rows.size());

            if (const auto l = local.find(*name); l != local.end()) {
                QStringList elsewhere;
                for (const std::string &code : l->second.codes) {
                    const bool inWorkbook = std::any_of(rows.begin(), rows.end(), [&](int i) {
                        return facts[size_t(i)].code == code;
                    });
                    if (!inWorkbook) {
                        const QString c = fromView(code);
                        const QString place = map.placeName(c);
                        elsewhere << (c.isEmpty() ? QStringLiteral("（无区划代码）")
                                                  : place.isEmpty() ? c : QStringLiteral("%1（%2）").arg(c, place));
                    }
                }
                if (!elsewhere.isEmpty())
                    for (const int i : rows)
                        note(w, facts[size_t(i)], PreviewFlag::OtherCounty,
                             QStringLiteral("本地同名企业在 %1，与本行的 %2 不同，导入将删除它")
                                 .arg(elsewhere.join(QStringLiteral("、")), fromView(facts[size_t(i)].code)));
            }
            if (rows.size() > 1)
                for (const int i : rows)
                    note(w, facts[size_t(i)], PreviewFlag::TwiceInWorkbook,
                         QStringLiteral("本工作簿中有 %1 行是此企业（%2），导入后将有 %1 条同名记录")
                             .arg(rows.size())
                             .arg(rowList(sheetRows)));
            auto &seen = earlier[*name];
            for (const EarlierName &e : seen) {
                const QString earlierFile = QFileInfo(paths[e.workbook]).fileName();
                for (const int i : rows)
                    note(w, facts[size_t(i)], PreviewFlag::InOtherWorkbook,
                         QStringLiteral("“%1”%2也是此企业；本文件在后，导入时将替换它，以本文件为准")
                             .arg(earlierFile, rowList(e.sheetRows)));
                for (const int row : e.sheetRows)
                    out.notes << PreviewNote{e.workbook, row, fromView(*name), PreviewFlag::InOtherWorkbook,
                                             QStringLiteral("后面的“%1”%2也是此企业，导入时将替换本行，以“%1”为准")
                                                 .arg(file, rowList(sheetRows))};
            }
            seen.push_back({w, sheetRows});
        }
        for (const RowFacts &f : facts) {
            if (!f.inside) {
                const QString code = fromView(f.code);
                const QString place = map.placeName(code);
                if (map.byEnterprise())
                    note(w, f, PreviewFlag::OutsideArea,
                         QStringLiteral("央企名称为“%1”，不是本单位（%2）的企业").arg(fromView(f.central), map.areaName()));
                else
                    note(w, f, PreviewFlag::OutsideArea,
                         QStringLiteral("行政区划代码%1不在本单位（%2）的范围内")
                             .arg(code.isEmpty()    ? QStringLiteral("为空，")
                                  : place.isEmpty() ? QStringLiteral(" %1 ").arg(code)
                                                    : QStringLiteral(" %1（%2）").arg(code, place),
                                  map.areaName()));
            }
            if (f.status != "1")
                note(w, f, PreviewFlag::NotValidated,
                     f.status.empty() ? QStringLiteral("校验状态为空，不是“1”")
                                      : QStringLiteral("校验状态为“%1”，不是“1”").arg(fromView(f.status)));
            if (!f.ruleFailure.isEmpty())
                note(w, f, PreviewFlag::FailsRule, f.ruleFailure);
        }
        out.workbooks << book;
        progress.setValue(base + kPerWorkbook);
    }
    std::stable_sort(out.notes.begin(), out.notes.end(), [](const PreviewNote &a, const PreviewNote &b) {
        if (a.workbook != b.workbook)
            return a.workbook < b.workbook;
        if (a.sheetRow != b.sheetRow)
            return a.sheetRow < b.sheetRow;
        return int(a.flag) < int(b.flag);
    });
    return out;
}

QList<QStringList> workbookTable(const ImportPreview &p)
{
    QList<QStringList> out{{QStringLiteral("文件"), QStringLiteral("行数"), QStringLiteral("企业名称数"),
                            QStringLiteral("将替换记录"), QStringLiteral("将新增记录"), QStringLiteral("来自下级单位"),
                            QStringLiteral("提示")}};
    for (const WorkbookPreview &w : p.workbooks) {
        QStringList hints;
        if (!w.refusal.isEmpty())
            hints << QStringLiteral("不能导入：") + w.refusal;
        if (!w.importedBefore.isEmpty())
            hints << w.importedBefore;
        const bool in = w.refusal.isEmpty();
        out << QStringList{QFileInfo(w.path).fileName(),
                           in ? QString::number(w.rows) : QString(),
                           in ? QString::number(w.names) : QString(),
                           in ? QString::number(w.replaced) : QString(),
                           in ? QString::number(w.added) : QString(),
                           w.offices,
                           hints.join(QStringLiteral("；"))};
    }
    return out;
}

QList<QStringList> noteTable(const ImportPreview &p)
{
    QList<QStringList> out{{QStringLiteral("文件"), QStringLiteral("行"), QStringLiteral("企业名称"), QStringLiteral("问题"),
                            QStringLiteral("说明")}};
    for (const PreviewNote &n : p.notes)
        out << QStringList{QFileInfo(p.workbooks[n.workbook].path).fileName(), QString::number(n.sheetRow), n.name,
                           previewFlagText(n.flag), n.detail};
    return out;
}

} // namespace kestrova::transfer
