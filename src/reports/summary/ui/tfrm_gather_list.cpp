#include "reports/summary/ui/tfrm_gather_list.h"

#include "app/ui/prompter.h"
#include "data/database.h"
#include "data/store.h"
#include "app/ui/workbook_save.h"
#include "records/ui/indicator_block_widget.h"
#include "reports/summary/summary_condition.h"
#include "reports/summary/summary_export.h"
#include "reports/summary/summary_figures.h"
#include "reports/summary/summary_header.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
constexpr int kKindRole = Qt::UserRole;
constexpr int kPathRole = Qt::UserRole + 1;
constexpr int kCountRole = Qt::UserRole + 2;
constexpr int kGrownRole = Qt::UserRole + 3;
// Room a line edit needs beside its text: its frame and the cursor.
constexpr int kFieldPadding = 14;

SummaryNode nodeOf(const QTreeWidgetItem *item)
{
    return {NodeKind(item->data(0, kKindRole).toInt()), item->data(0, kPathRole).toStringList(),
            item->data(0, kCountRole).toLongLong()};
}

QTreeWidgetItem *makeItem(const SummaryNode &n)
{
    auto *item = new QTreeWidgetItem(QStringList{n.text()});
    item->setData(0, kKindRole, int(n.kind));
    item->setData(0, kPathRole, n.path);
    item->setData(0, kCountRole, n.count);
    return item;
}

// What a screen reader says for field k: its labels on the form, outermost first.
QString fieldName(int k)
{
    const Indicator &i = indicator(k);
    QString name = QString::fromUtf8(i.group.data(), qsizetype(i.group.size()));
    if (!name.isEmpty())
        name += QLatin1Char('/');
    name += QString::fromUtf8(i.caption.data(), qsizetype(i.caption.size()));
    return name.replace(QLatin1Char('/'), QStringLiteral("／"));
}

QLabel *fixedText(const QString &text, QWidget *parent, int pointSize = 0, bool bold = false)
{
    auto *l = new QLabel(text, parent);
    if (pointSize > 0 || bold) {
        QFont f = l->font();
        if (pointSize > 0)
            f.setPointSize(pointSize);
        f.setBold(bold);
        l->setFont(f);
    }
    return l;
}

// Runs one database step; a failure shows the database's own message.
template <typename F> void withStore(QWidget *parent, F step)
{
    try {
        auto db = openStore(StoreOpen::MustExist);
        step(*db);
    } catch (const DbError &e) {
        prompter().error(parent, e.message());
    }
}
} // namespace

TFrmGatherList::TFrmGatherList(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmGatherList"));
    setWindowTitle(QStringLiteral("数据分析--数据汇总"));
    // The form is larger than many screens: shown maximised, it scrolls inside.
    setWindowState(windowState() | Qt::WindowMaximized);

    auto *menuBar = new QMenuBar(this);
    QAction *back = menuBar->addMenu(QStringLiteral("返回"))->addAction(QStringLiteral("返回"));
    back->setObjectName(QStringLiteral("N2"));
    connect(back, &QAction::triggered, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    auto addButton = [&](const char *name, const QString &caption, void (TFrmGatherList::*handler)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, handler);
        buttons->addWidget(b);
        return b;
    };
    addButton("BitBtn1", QStringLiteral("统计"), &TFrmGatherList::BitBtn1Click);
    m_save = addButton("BitBtn6", QStringLiteral("保存表格"), &TFrmGatherList::BitBtn6Click);
    m_save->setEnabled(false); // nothing summed yet
    addButton("BitBtn5", QStringLiteral("返回"), &TFrmGatherList::BitBtn5Click);
    buttons->addStretch();

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setAccessibleName(QStringLiteral("汇总范围"));
    m_tree->setHeaderHidden(true);
    // Node texts show whole: the column is as wide as its longest text, and scrolls.
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);
    m_tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { TreeView1Click(item); });
    // The node highlighted by the keys is the chosen one, as much as a clicked one.
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            TreeView1Click(item);
    });

    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(buildHeader());
    pageLayout->addWidget(buildSelectionFields());
    m_block = new IndicatorBlockWidget({/*keyFilters=*/false, /*changeHandlers=*/false}, page);
    pageLayout->addWidget(m_block);
    pageLayout->addStretch();
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);

    m_body = new QSplitter(Qt::Horizontal, this);
    m_body->setChildrenCollapsible(false);
    m_body->addWidget(m_tree);
    m_body->addWidget(scroll);
    m_body->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(buttons);
    layout->addWidget(m_body, 1);

    FormCreate();
    fitTreeWidth();
}

void TFrmGatherList::fitTreeWidth()
{
    m_tree->resizeColumnToContents(0);
    const int needed = m_tree->header()->sectionSize(0) + 2 * m_tree->frameWidth() +
                       m_tree->verticalScrollBar()->sizeHint().width() + 8;
    const int width = std::clamp(needed, 240, 420);
    m_tree->setMinimumWidth(160);
    m_body->setSizes({width, std::max(width * 4, 1000)});
}

QWidget *TFrmGatherList::buildHeader()
{
    auto *header = new QWidget;
    auto *grid = new QGridLayout(header);
    grid->setContentsMargins(0, 0, 0, 0);

    auto *title = fixedText(QStringLiteral("Kestrova年报汇总表"), header, 18, true);
    title->setObjectName(QStringLiteral("Label1"));
    title->setAlignment(Qt::AlignCenter);
    grid->addWidget(title, 0, 0, 1, 7);
    auto *corner = fixedText(QStringLiteral("表    号:GL20表\n制表机关:Tarnhold\n批准机关:国家统计局\n"
                                            "批准文号：国统制[2012]192号\n有效期至:2014年12月"),
                             header);
    grid->addWidget(corner, 0, 7, 2, 2, Qt::AlignRight | Qt::AlignTop);

    auto field = [&](const char *name, const QString &caption, int row, int col) {
        auto *e = new QLineEdit(header);
        e->setObjectName(QString::fromLatin1(name));
        QLabel *label = fixedText(caption, header);
        label->setBuddy(e); // the field is named by its caption
        grid->addWidget(label, row, col, Qt::AlignRight);
        grid->addWidget(e, row, col + 1);
        return e;
    };
    m_edit1 = field("Edit1", QStringLiteral("制表单位："), 2, 0);
    m_edit2 = field("Edit2", QStringLiteral("制表日期："), 2, 2);
    m_edit3 = field("Edit3", QStringLiteral("汇总年度："), 2, 4);
    m_edit4 = field("Edit4", QStringLiteral("汇总单位："), 3, 0);
    m_edit11 = field("Edit11", QStringLiteral("企业个数："), 3, 4);

    grid->addWidget(fixedText(QStringLiteral("企业性质："), header), 3, 2, Qt::AlignRight);
    auto *radios = new QHBoxLayout;
    auto *group = new QButtonGroup(this);
    auto radio = [&](const char *name, Ownership o) {
        auto *r = new QRadioButton(ownershipCaption(o), header);
        r->setObjectName(QString::fromLatin1(name));
        group->addButton(r);
        radios->addWidget(r);
        return r;
    };
    m_all = radio("RadioButton1", Ownership::All);
    m_state = radio("RadioButton2", Ownership::State);
    m_nonState = radio("RadioButton3", Ownership::NonState);
    grid->addLayout(radios, 3, 3);
    connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton *, bool on) {
        if (on)
            dropStaleFigures();
    });
    return header;
}

QWidget *TFrmGatherList::buildSelectionFields()
{
    // The selection lives in hidden fields, so it can be read back as the user left it.
    auto *box = new QWidget;
    auto *row = new QHBoxLayout(box);
    auto field = [&](const char *name, const QString &caption) {
        auto *label = fixedText(caption, box);
        auto *e = new QLineEdit(box);
        e->setObjectName(QString::fromLatin1(name));
        row->addWidget(label);
        row->addWidget(e);
        return e;
    };
    m_edit9 = field("Edit9", QStringLiteral("中央/地方："));
    m_edit8 = field("Edit8", QStringLiteral("央企名称："));
    m_edit5 = field("Edit5", QStringLiteral("省："));
    m_edit6 = field("Edit6", QStringLiteral("地市："));
    m_edit7 = field("Edit7", QStringLiteral("县："));
    m_edit10 = field("Edit10", QStringLiteral("新疆兵团"));
    for (QLineEdit *e : {m_edit5, m_edit6, m_edit7})
        connect(e, &QLineEdit::textChanged, this, &TFrmGatherList::Edit5Change);
    box->hide();
    return box;
}

void TFrmGatherList::FormCreate()
{
    for (int k = 1; k <= kIndicatorCount; ++k) {
        QLineEdit *f = m_block->field(k);
        f->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont font = f->font();
        font.setPointSize(12);
        f->setFont(font);
        f->clear();
        // Sums are shown, never typed.
        f->setReadOnly(true);
        f->setAccessibleName(fieldName(k));
        f->setAccessibleDescription(QStringLiteral("指标%1").arg(k));
        m_fieldWidths[size_t(k - 1)] = f->minimumWidth();
    }
    m_edit2->setText(tabulationDate(QDate::currentDate()));
    m_edit4->setText(kNationalUnit);
    m_all->setChecked(true);
    withStore(this, [this](Database &db) {
        m_edit1->setText(tabulatingUnit(db));
        m_edit3->setText(summaryYear(db));
        buildTree();
    });
}

void TFrmGatherList::buildTree()
{
    auto db = openStore(StoreOpen::MustExist);
    const SummaryTreeItem root = openingTree(*db);
    auto *top = makeItem(root.node);
    for (const SummaryTreeItem &category : root.children) {
        auto *item = makeItem(category.node);
        for (const SummaryTreeItem &child : category.children)
            item->addChild(makeItem(child.node));
        top->addChild(item);
    }
    m_tree->addTopLevelItem(top);
    top->setExpanded(true);
    for (int i = 0; i < top->childCount(); ++i)
        top->child(i)->setExpanded(true);
}

void TFrmGatherList::addChildren(QTreeWidgetItem *item, const std::vector<SummaryNode> &nodes)
{
    QList<QTreeWidgetItem *> items;
    for (const SummaryNode &n : nodes)
        items << makeItem(n);
    item->addChildren(items);
    item->setData(0, kGrownRole, true);
    item->setExpanded(true);
}

void TFrmGatherList::TreeView1Click(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const SummaryNode node = nodeOf(item);
    m_all->setChecked(true);
    setSelection(node.selection());
    dropStaleFigures();
    if (node.growsChildren() && item->childCount() == 0 && !item->data(0, kGrownRole).toBool())
        withStore(this, [&](Database &db) { addChildren(item, childNodes(db, node)); });
}

void TFrmGatherList::dropStaleFigures()
{
    // Sums of another selection must neither stay on screen nor go into a workbook
    // under this selection's labels.
    if (!m_shown || (m_shown->first == selection() && m_shown->second == ownership()))
        return;
    m_shown.reset();
    m_block->setTexts(IndicatorTexts{});
    fitFields();
    m_edit11->clear();
    m_save->setEnabled(false);
}

void TFrmGatherList::fitFields()
{
    // Each field at least as wide as its sum, so no digit is ever cut off; the page
    // scrolls when the window is narrower than the form.
    for (int k = 1; k <= kIndicatorCount; ++k) {
        QLineEdit *f = m_block->field(k);
        const QMargins m = f->textMargins();
        const int text = f->fontMetrics().horizontalAdvance(f->text()) + m.left() + m.right();
        f->setMinimumWidth(std::max(m_fieldWidths[size_t(k - 1)], text + kFieldPadding));
    }
}

void TFrmGatherList::setSelection(const SummarySelection &s)
{
    m_edit9->setText(s.category);
    m_edit8->setText(s.enterprise);
    m_edit5->setText(s.province);
    m_edit6->setText(s.city);
    m_edit7->setText(s.county);
    m_edit10->setText(s.corps);
}

SummarySelection TFrmGatherList::selection() const
{
    return {m_edit9->text(), m_edit8->text(), m_edit5->text(), m_edit6->text(), m_edit7->text(), m_edit10->text()};
}

Ownership TFrmGatherList::ownership() const
{
    if (m_state->isChecked())
        return Ownership::State;
    if (m_nonState->isChecked())
        return Ownership::NonState;
    return Ownership::All;
}

void TFrmGatherList::Edit5Change()
{
    m_edit4->setText(summaryUnit(selection()));
}

void TFrmGatherList::BitBtn1Click()
{
    const SummaryCondition condition = summaryCondition(selection(), ownership());
    withStore(this, [&](Database &db) {
        const SummaryFigures f = summaryFigures(db, condition);
        m_block->setTexts(f.sums);
        fitFields();
        m_edit11->setText(f.count);
        m_shown.emplace(selection(), ownership());
        m_save->setEnabled(true);
    });
}

void TFrmGatherList::BitBtn6Click()
{
    if (!m_shown)
        return; // the figures on screen belong to no selection
    SummaryHeader h;
    h.tabulatingUnit = m_edit1->text();
    h.date = m_edit2->text();
    h.year = m_edit3->text();
    h.unit = m_edit4->text();
    h.ownership = ownership();
    h.count = m_edit11->text();
    const IndicatorTexts fields = m_block->texts();
    saveWorkbookAs(this, summaryFileName(QDate::currentDate()), [&](const QString &path) {
        writeSummaryWorkbook(summaryTemplatePath(), path, h, fields);
    });
}

void TFrmGatherList::BitBtn5Click()
{
    close();
}

} // namespace kestrova::ui
