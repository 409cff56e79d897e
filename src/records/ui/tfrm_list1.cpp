#include "records/ui/tfrm_list1.h"

#include "app/ui/prompter.h"
#include "app/ui/window_registry.h"
#include "data/context.h"
#include "records/list_query.h"
#include "records/ui/input_guards.h"
#include "app/ui/modal.h"
#include "records/ui/record_list_model.h"
#include "records/ui/store_access.h"
#include "records/ui/tfrm_define.h"
#include "records/ui/tfrm_input1.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
int s_selectedRow = 0;

const QString kCaption = QStringLiteral("提示");

Answer ask(QWidget *w, const QString &text)
{
    return prompter().message(w, kCaption, text, Icon::Information, Buttons::OkCancel);
}

void tell(QWidget *w, const QString &text)
{
    prompter().message(w, kCaption, text, Icon::Information, Buttons::Ok);
}

QComboBox *picker(QWidget *parent, const char *name, const QStringList &items)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(true);
    c->addItems(items);
    c->setCurrentIndex(-1);
    c->setEditText(QString());
    c->setMinimumWidth(110);
    return c;
}

QLineEdit *edit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
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
    QPushButton *ret = button(this, "BitBtn5", QStringLiteral("返回"));
    for (QPushButton *b : {add, modify, del, delEmpty, ret})
        tools->addWidget(b);
    tools->addStretch(1);
    root->addLayout(tools);

    auto *panel = new QGroupBox(this);
    auto *g = new QGridLayout(panel);
    m_ownership = picker(panel, "ComboBox2", {QStringLiteral("国有"), QStringLiteral("外资"), QStringLiteral("民营")});
    m_province = picker(panel, "ComboBox1", {});
    m_business = picker(panel, "ComboBox3", {QStringLiteral("储备"), QStringLiteral("加工"), QStringLiteral("物流")});
    m_name = edit(panel, "Edit1");
    m_from = edit(panel, "Edit2");
    m_to = edit(panel, "Edit3");
    m_affiliation = edit(panel, "Edit4");
    acceptDigitsOnly(m_from);
    acceptDigitsOnly(m_to);
    g->addWidget(new QLabel(QStringLiteral("企业性质："), panel), 0, 0);
    g->addWidget(m_ownership, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("省："), panel), 0, 2);
    g->addWidget(m_province, 0, 3);
    g->addWidget(new QLabel(QStringLiteral("经营范围："), panel), 0, 4);
    g->addWidget(m_business, 0, 5);
    g->addWidget(new QLabel(QStringLiteral("企业名称："), panel), 0, 6);
    g->addWidget(m_name, 0, 7);
    g->addWidget(new QLabel(QStringLiteral("仓容合计：从"), panel), 1, 0);
    g->addWidget(m_from, 1, 1);
    g->addWidget(new QLabel(QStringLiteral("到"), panel), 1, 2);
    g->addWidget(m_to, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("隶属关系："), panel), 1, 4);
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
    for (int c = 0; c < RecordListModel::columnWidths().size(); ++c)
        m_grid->setColumnWidth(c, RecordListModel::columnWidths().at(c));
    root->addWidget(m_grid, 1);

    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex &i) { selectRow(i.row() + 1); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &i, const QModelIndex &previous) {
        // The view makes a first cell current by itself on focus; only a move counts.
        if (i.isValid() && previous.isValid())
            selectRow(i.row() + 1);
    });
    connect(m_grid, &QTableView::doubleClicked, this, [this] { BitBtn1Click(); });
    connect(search, &QPushButton::clicked, this, &TFrmList1::BitBtn2Click);
    connect(define, &QPushButton::clicked, this, &TFrmList1::BitBtndefineClick);
    connect(add, &QPushButton::clicked, this, &TFrmList1::BitBtn4Click);
    connect(modify, &QPushButton::clicked, this, &TFrmList1::BitBtn1Click);
    connect(del, &QPushButton::clicked, this, &TFrmList1::BitBtn3Click);
    connect(delEmpty, &QPushButton::clicked, this, &TFrmList1::BitBtn6Click);
    connect(ret, &QPushButton::clicked, this, &QDialog::close);

    resize(1080, 680);
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
    m_model->setSelectedRow(s_selectedRow);
    return true;
}

void TFrmList1::selectRow(int row)
{
    s_selectedRow = row;
    m_model->setSelectedRow(row);
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
    close();
}

void TFrmList1::BitBtn4Click()
{
    context().enterpriseName.clear();
    context().enterpriseId = 0;
    openForm(2);
}

void TFrmList1::BitBtn1Click()
{
    context().enterpriseName = m_model->nameAt(s_selectedRow);
    context().enterpriseId = m_model->idAt(s_selectedRow);
    openForm(1);
}

void TFrmList1::BitBtn3Click()
{
    const QString name = m_model->nameAt(s_selectedRow);
    if (name.isEmpty()) {
        tell(this, QStringLiteral("请在列表中选择要删除的纪录！"));
        return;
    }
    if (ask(this, QStringLiteral("此操作将删除当前纪录，是否继续？")) != Answer::Ok)
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
