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
#include <array>
#include <future>
#include <memory>
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
        const auto failed = failedRules(fromView(rowText(row, postcode)), values, true);
        facts.ruleFailure = failed.empty() ? QString() : failed.front().message;
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

// Up to a few sheet rows of these facts: "第 5、9、12 行" or "第 5、9、12 行等 40 行".
QString rowList(const std::vector<RowFacts> &facts, const std::vector<int> &rows)
{
    constexpr size_t kShown = 8;
    QStringList shown;
    for (size_t i = 0; i < rows.size() && i < kShown; ++i)
        shown << QString::number(facts[size_t(rows[i])].sheetRow);
    QString text = QStringLiteral("第 %1 行").arg(shown.join(QStringLiteral("、")));
    if (rows.size() > kShown)
        text += QStringLiteral("等 %1 行").arg(rows.size());
    return text;
}

// What the preview knows of one name: its local records, and the workbooks so far.
struct NameState {
    int localRecords = 0;
    std::string_view localCode;    // the local records' code, when they share one
    bool localCodesDiffer = false; // otherwise: LocalCodes holds them
    int held = 0;                  // its records once the workbooks so far went in
    int workbook = -1;             // the last workbook holding it
    int rows = 0;                  // its rows there
    int firstRow = 0;              // the index of the first of them
    std::vector<int> earlier;      // the workbooks before that one holding it
};

// The names and codes of the local records, in one block of text, and each name's state.
class Names {
public:
    explicit Names(Database &db)
    {
        std::vector<std::array<size_t, 4>> spans; // name start and length, code start and length
        Statement st = db.prepare(QStringLiteral("SELECT 企业名称, 行政区划代码 FROM TZ_XIANGMU"));
        while (st.next()) {
            const std::string_view name = st.utf8(0);
            spans.push_back({m_text.size(), name.size(), 0, 0});
            m_text.append(name);
            const std::string_view code = st.utf8(1);
            spans.back()[2] = m_text.size();
            spans.back()[3] = code.size();
            m_text.append(code);
        }
        m_states.reserve(spans.size());
        for (const auto &sp : spans) {
            const std::string_view name(m_text.data() + sp[0], sp[1]), code(m_text.data() + sp[2], sp[3]);
            NameState &n = m_states[name];
            if (n.localRecords++ == 0) {
                n.localCode = code;
            } else if (code != n.localCode || n.localCodesDiffer) {
                auto &codes = m_localCodes[name];
                if (!n.localCodesDiffer)
                    codes.push_back(n.localCode);
                n.localCodesDiffer = true;
                if (std::find(codes.begin(), codes.end(), code) == codes.end())
                    codes.push_back(code);
            }
            n.held = n.localRecords;
        }
    }
    // The state of a name; the view must outlive this.
    NameState &operator[](std::string_view name) { return m_states[name]; }
    std::vector<std::string_view> localCodes(std::string_view name, const NameState &n) const
    {
        if (!n.localCodesDiffer)
            return {n.localCode};
        return m_localCodes.at(name);
    }
    void reserve(size_t more) { m_states.reserve(m_states.size() + more); }

private:
    std::string m_text;
    std::unordered_map<std::string_view, NameState> m_states;
    std::unordered_map<std::string_view, std::vector<std::string_view>> m_localCodes;
};

// The rows (indices into its facts) of each name of a workbook, made when a name occurs
// in it more than once or in another workbook too.
using RowsOfName = std::unordered_map<std::string_view, std::vector<int>>;
RowsOfName rowsOfNames(const std::vector<RowFacts> &facts)
{
    RowsOfName out;
    for (size_t i = 0; i < facts.size(); ++i)
        out[facts[i].name].push_back(int(i));
    return out;
}

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
    Names names(db);
    // Every workbook's rows stay while later ones are looked at: the names view them.
    std::vector<std::vector<RowFacts>> read(size_t(paths.size()));
    std::vector<std::unique_ptr<RowsOfName>> rowsOf(size_t(paths.size()));
    const auto rowsOfName = [&](int workbook, std::string_view name) -> const std::vector<int> & {
        auto &index = rowsOf[size_t(workbook)];
        if (!index)
            index = std::make_unique<RowsOfName>(rowsOfNames(read[size_t(workbook)]));
        return (*index)[name];
    };

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
        std::vector<RowFacts> &facts = read[size_t(w)];
        try {
            facts = readFacts(db, book.path, map, progress, base);
        } catch (const TransferError &e) {
            book.refusal = e.fullText();
            facts.clear();
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

        // Each row's name, and the names in the order they first occur.
        names.reserve(facts.size());
        std::vector<NameState *> stateOf(facts.size());
        std::vector<NameState *> order;
        for (size_t i = 0; i < facts.size(); ++i) {
            NameState &n = names[facts[i].name];
            if (n.workbook != w) {
                if (n.workbook >= 0)
                    n.earlier.push_back(n.workbook);
                n.workbook = w;
                n.rows = 0;
                n.firstRow = int(i);
                order.push_back(&n);
            }
            ++n.rows;
            stateOf[i] = &n;
        }
        book.rows = int(facts.size());
        book.names = int(order.size());
        for (NameState *n : order) {
            book.replaced += n->held;
            if (n->held == 0)
                book.added += n->rows;
            n->held = n->rows;
        }
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
        for (size_t i = 0; i < facts.size(); ++i) {
            const RowFacts &f = facts[i];
            const NameState &n = *stateOf[i];
            if (n.localRecords > 0 || n.rows > 1) {
                const std::vector<int> one{int(i)};
                const std::vector<int> &rows = n.rows > 1 ? rowsOfName(w, f.name) : one;
                if (n.localRecords > 0) {
                    QStringList elsewhere;
                    for (const std::string_view code : names.localCodes(f.name, n)) {
                        if (std::any_of(rows.begin(), rows.end(), [&](int r) { return facts[size_t(r)].code == code; }))
                            continue;
                        const QString c = fromView(code);
                        const QString place = map.placeName(c);
                        elsewhere << (c.isEmpty()       ? QStringLiteral("（无区划代码）")
                                      : place.isEmpty() ? c
                                                        : QStringLiteral("%1（%2）").arg(c, place));
                    }
                    if (!elsewhere.isEmpty())
                        note(w, f, PreviewFlag::OtherCounty,
                             QStringLiteral("本地同名企业在 %1，与本行的 %2 不同，导入将删除它")
                                 .arg(elsewhere.join(QStringLiteral("、")), fromView(f.code)));
                }
                if (n.rows > 1)
                    note(w, f, PreviewFlag::TwiceInWorkbook,
                         QStringLiteral("本工作簿中有 %1 行是此企业（%2），导入后将有 %1 条同名记录")
                             .arg(n.rows)
                             .arg(rowList(facts, rows)));
            }
            for (const int e : n.earlier) {
                const std::vector<RowFacts> &earlier = read[size_t(e)];
                const std::vector<int> &earlierRows = rowsOfName(e, f.name);
                note(w, f, PreviewFlag::InOtherWorkbook,
                     QStringLiteral("“%1”%2也是此企业；本文件在后，导入时将替换它，以本文件为准")
                         .arg(QFileInfo(paths[e]).fileName(), rowList(earlier, earlierRows)));
                if (int(i) != n.firstRow)
                    continue;
                const QString later = QStringLiteral("后面的“%1”%2也是此企业，导入时将替换本行，以“%1”为准")
                                          .arg(file, rowList(facts, n.rows > 1 ? rowsOfName(w, f.name)
                                                                             : std::vector<int>{int(i)}));
                for (const int r : earlierRows)
                    out.notes << PreviewNote{e, earlier[size_t(r)].sheetRow, fromView(f.name),
                                             PreviewFlag::InOtherWorkbook, later};
            }
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
        // The cause is what to mend; the import's own message says no more than "cannot".
        if (!w.refusal.isEmpty())
            hints << QStringLiteral("不能导入：") + w.refusal.section(QLatin1Char('\n'), -1);
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
