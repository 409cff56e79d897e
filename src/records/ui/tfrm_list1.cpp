#include "records/ui/tfrm_list1.h"

#include "app/ui/modal.h"
#include "app/ui/prompter.h"
#include "app/ui/window_fit.h"
#include "app/ui/window_registry.h"
#include "data/context.h"
#include "records/list_query.h"
#include "records/ui/input_guards.h"
#include "records/ui/record_list_model.h"
#include "records/ui/store_access.h"
#include "records/ui/tfrm_define.h"
#include "records/ui/tfrm_input1.h"
#include "records/ui/tfrm_log.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
int s_selectedRow = 0;
qint64 s_selectedId = 0; // the record on the selected row, so a refill finds it again

const QString kCaption = QStringLiteral("提示");

Answer ask(QWidget *w, const QString &text)
{
    return prompter().message(w, kCaption, text, Icon::Information, Buttons::OkCancel);
}

void tell(QWidget *w, const QString &text)
{
    prompter().message(w, kCaption, text, Icon::Information, Buttons::Ok);
}

QComboBox *picker(QWidget *parent, const char *name, const QString &title, const QStringList &items)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setAccessibleName(title);
    c->setAccessibleDescription(title);
    c->setEditable(true);
    c->lineEdit()->setAccessibleName(title);
    c->setInsertPolicy(QComboBox::NoInsert); // Enter searches; it adds nothing to the list
    c->addItems(items);
    c->setCurrentIndex(-1);
    c->setEditText(QString());
    c->setMinimumWidth(110);
    return c;
}

QLineEdit *edit(QWidget *parent, const char *name, const QString &title)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAccessibleName(title);
    return e;
}

QLabel *label(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *l = new QLabel(text, parent);
    l->setBuddy(buddy);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}
} // namespace

TFrmList1::TFrmList1(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmList1"));
    setWindowTitle(QStringLiteral("Kestrova年报表"));
    // Every new list becomes the enterprise list reference, which the custom query refills.
    noteWindow(QStringLiteral("TFrmList1"), this);
    buildUi();
    ini();
    fillProvinceFilter();
}

TFrmList1::~TFrmList1() = default;

TFrmList1 *TFrmList1::current()
{
    return qobject_cast<TFrmList1 *>(windowReference(QStringLiteral("TFrmList1")));
}

int TFrmList1::selectedRow()
{
    return s_selectedRow;
}

void TFrmList1::setSelectedRow(int row)
{
    s_selectedRow = row;
    s_selectedId = 0;
}

void TFrmList1::buildUi()
{
    auto *root = new QVBoxLayout(this);

    auto *menu = new QMenuBar(this);
    QMenu *back = menu->addMenu(QStringLiteral("返回"));
    QAction *n2 = back->addAction(QStringLiteral("返回"));
    n2->setObjectName(QStringLiteral("N2"));
    connect(n2, &QAction::triggered, this, &QDialog::close);
    root->setMenuBar(menu);

    auto *tools = new QHBoxLayout;
    QPushButton *add = button(this, "BitBtn4", QStringLiteral("添加"));
    QPushButton *modify = button(this, "BitBtn1", QStringLiteral("修改"));
    QPushButton *del = button(this, "BitBtn3", QStringLiteral("删除"));
    QPushButton *delEmpty = button(this, "BitBtn6", QStringLiteral("删除空记录"));
    QPushButton *log = button(this, "BitBtnLog", QStringLiteral("修改日志"));
    QPushButton *ret = button(this, "BitBtn5", QStringLiteral("返回"));
    for (QPushButton *b : {add, modify, del, delEmpty, log, ret})
        tools->addWidget(b);
    tools->addStretch(1);
    root->addLayout(tools);

    auto *panel = new QGroupBox(this);
    auto *g = new QGridLayout(panel);
    m_ownership = picker(panel, "ComboBox2", QStringLiteral("企业性质"),
                         {QStringLiteral("国有"), QStringLiteral("外资"), QStringLiteral("民营")});
    m_province = picker(panel, "ComboBox1", QStringLiteral("省"), {});
    m_business = picker(panel, "ComboBox3", QStringLiteral("经营范围"),
                        {QStringLiteral("储备"), QStringLiteral("加工"), QStringLiteral("物流")});
    m_name = edit(panel, "Edit1", QStringLiteral("企业名称"));
    m_from = edit(panel, "Edit2", QStringLiteral("仓容合计：从"));
    m_to = edit(panel, "Edit3", QStringLiteral("到"));
    m_affiliation = edit(panel, "Edit4", QStringLiteral("隶属关系"));
    acceptDecimal(m_from);
    acceptDecimal(m_to);
    g->addWidget(label(panel, QStringLiteral("企业性质："), m_ownership), 0, 0);
    g->addWidget(m_ownership, 0, 1);
    g->addWidget(label(panel, QStringLiteral("省："), m_province), 0, 2);
    g->addWidget(m_province, 0, 3);
    g->addWidget(label(panel, QStringLiteral("经营范围："), m_business), 0, 4);
    g->addWidget(m_business, 0, 5);
    g->addWidget(label(panel, QStringLiteral("企业名称："), m_name), 0, 6);
    g->addWidget(m_name, 0, 7);
    g->addWidget(label(panel, QStringLiteral("仓容合计：从"), m_from), 1, 0);
    g->addWidget(m_from, 1, 1);
    g->addWidget(label(panel, QStringLiteral("到"), m_to), 1, 2);
    g->addWidget(m_to, 1, 3);
    g->addWidget(label(panel, QStringLiteral("隶属关系："), m_affiliation), 1, 4);
    g->addWidget(m_affiliation, 1, 5);
    QPushButton *search = button(panel, "BitBtn2", QStringLiteral("查询"));
    QPushButton *define = button(panel, "BitBtndefine", QStringLiteral("自定义查询"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(search);
    buttons->addWidget(define);
    g->addLayout(buttons, 1, 6, 1, 2);
    root->addWidget(panel);

    m_model = new RecordListModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("AdvStringGrid1"));
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(30);
    m_grid->horizontalHeader()->setFixedHeight(30);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setWordWrap(false);
    m_grid->setAccessibleName(QStringLiteral("企业列表"));
    for (int c = 0; c < RecordListModel::columnWidths().size(); ++c)
        m_grid->setColumnWidth(c, RecordListModel::columnWidths().at(c));
    m_grid->installEventFilter(this);
    root->addWidget(m_grid, 1);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("LabelCount"));
    root->addWidget(m_count);

    // Enter in any filter searches.
    for (QLineEdit *e : {m_name, m_from, m_to, m_affiliation, m_ownership->lineEdit(), m_province->lineEdit(),
                         m_business->lineEdit()})
        connect(e, &QLineEdit::returnPressed, this, &TFrmList1::BitBtn2Click);

    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &i) { selectRow(i.row() + 1); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &i, const QModelIndex &previous) {
        // The view makes a first cell current by itself on focus; only a move counts.
        if (i.isValid() && previous.isValid())
            selectRow(i.row() + 1);
    });
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex &i) {
        selectRow(i.row() + 1);
        BitBtn1Click();
    });
    connect(log, &QPushButton::clicked, this, &TFrmList1::showLog);
    connect(search, &QPushButton::clicked, this, &TFrmList1::BitBtn2Click);
    connect(define, &QPushButton::clicked, this, &TFrmList1::BitBtndefineClick);
    connect(add, &QPushButton::clicked, this, &TFrmList1::BitBtn4Click);
    connect(modify, &QPushButton::clicked, this, &TFrmList1::BitBtn1Click);
    connect(del, &QPushButton::clicked, this, &TFrmList1::BitBtn3Click);
    connect(delEmpty, &QPushButton::clicked, this, &TFrmList1::BitBtn6Click);
    connect(ret, &QPushButton::clicked, this, &QDialog::close);

    fitToScreen(this, QSize(1080, 680));
}

bool TFrmList1::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a row opens it, as a double click does.
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && k->modifiers() == Qt::NoModifier) {
            if (m_grid->currentIndex().isValid())
                selectRow(m_grid->currentIndex().row() + 1);
            BitBtn1Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmList1::fillProvinceFilter()
{
    // The list was just filled without a condition, so its rows name every province.
    m_province->addItems(provincesOf(m_model->rows()));
    m_province->setCurrentIndex(-1);
    m_province->setEditText(QString());
}

bool TFrmList1::ini(const SqlCondition &condition)
{
    std::vector<ListRow> rows;
    if (!withStore(this, [&](Database &db) { rows = listRows(db, condition); }))
        return false;
    m_model->setRows(std::move(rows));
    m_count->setText(QStringLiteral("共 %1 条纪录").arg(m_model->rows().size()));
    // The selection stays with its record: after a deletion, a save that moved the
    // record to the top, or a search that left it out, no other record is selected.
    if (s_selectedId != 0) {
        int row = 0;
        for (size_t i = 0; i < m_model->rows().size() && row == 0; ++i)
            if (m_model->rows()[i].id == s_selectedId)
                row = int(i) + 1;
        selectRow(row);
    } else {
        selectRow(m_model->idAt(s_selectedRow) != 0 ? s_selectedRow : 0);
    }
    return true;
}

void TFrmList1::selectRow(int row)
{
    s_selectedRow = row;
    s_selectedId = m_model->idAt(row);
    m_model->setSelectedRow(row);
    if (row >= 1 && row <= m_model->rowCount())
        m_grid->scrollTo(m_model->index(row - 1, 0));
}

void TFrmList1::BitBtn2Click()
{
    ListFilter f;
    f.province = m_province->currentText();
    f.ownership = m_ownership->currentText();
    f.business = m_business->currentText();
    f.name = m_name->text();
    f.capacityFrom = m_from->text();
    f.capacityTo = m_to->text();
    f.affiliation = m_affiliation->text();
    const ListCondition c = listCondition(f);
    if (!c.error.isEmpty()) {
        tell(this, c.error);
        (f.capacityFrom.isEmpty() ? m_to : m_from)->setFocus();
        return;
    }
    ini(c.condition);
    m_province->setEditText(QString());
    m_ownership->setEditText(QString());
    m_name->clear();
}

void TFrmList1::openForm(int entryMode)
{
    context().entryMode = entryMode;
    auto *form = new TFrmInput1(this);
    showModal(form);
    // One list: the form hands back to this one, which shows the records as they are
    // now, the saved record selected.
    if (form->savedId() != 0)
        s_selectedId = form->savedId();
    ini();
}

bool TFrmList1::recordChosen()
{
    if (m_model->idAt(s_selectedRow) != 0)
        return true;
    tell(this, QStringLiteral("请先选择一条记录！"));
    return false;
}

void TFrmList1::BitBtn4Click()
{
    context().enterpriseName.clear();
    context().enterpriseId = 0;
    openForm(2);
}

void TFrmList1::BitBtn1Click()
{
    if (!recordChosen())
        return;
    context().enterpriseName = m_model->nameAt(s_selectedRow);
    context().enterpriseId = m_model->idAt(s_selectedRow);
    openForm(1);
}

void TFrmList1::showLog()
{
    if (!recordChosen())
        return;
    const ListRow &r = m_model->rows().at(size_t(s_selectedRow - 1));
    QString org;
    withStore(this, [&](Database &db) {
        org = db.scalar(QStringLiteral("SELECT 组织机构代码 FROM TZ_XIANGMU WHERE ID=?1"), {r.id});
    });
    auto *log = new TFrmLog(r.name, org, this);
    showModal(log);
}

void TFrmList1::BitBtn3Click()
{
    const QString name = m_model->nameAt(s_selectedRow);
    if (name.isEmpty() || m_model->idAt(s_selectedRow) == 0) {
        tell(this, QStringLiteral("请在列表中选择要删除的纪录！"));
        return;
    }
    // Every record of the name goes, so the question names it and says how many.
    int sharing = 1;
    withStore(this, [&](Database &db) {
        sharing = db.scalar(QStringLiteral("SELECT count(*) FROM TZ_XIANGMU WHERE 企业名称=?1"), {name}).toInt();
    });
    const QString question =
        sharing > 1 ? QStringLiteral("此操作将删除企业名称为“%1”的全部%2条纪录，是否继续？").arg(name).arg(sharing)
                    : QStringLiteral("此操作将删除当前纪录“%1”，是否继续？").arg(name);
    if (ask(this, question) != Answer::Ok)
        return;
    if (!withStore(this, [&](Database &db) { deleteRecordsNamed(db, name); }))
        return;
    tell(this, QStringLiteral("删除成功！"));
    ini();
}

void TFrmList1::BitBtn6Click()
{
    if (ask(this, QStringLiteral("此操作将删除企业名称为空的纪录，是否继续？")) != Answer::Ok)
        return;
    if (!withStore(this, [](Database &db) { deleteNamelessRecords(db); }))
        return;
    tell(this, QStringLiteral("删除成功！"));
    ini();
}

void TFrmList1::BitBtndefineClick()
{
    auto *w = new TFrmDefine(this);
    showModal(w);
}

} // namespace kestrova::ui
