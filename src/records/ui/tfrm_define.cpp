#include "records/ui/tfrm_define.h"

#include "app/ui/prompter.h"
#include "app/ui/window_fit.h"
#include "app/ui/window_registry.h"
#include "data/schema.h"
#include "records/numeric_typing.h"
#include "records/ui/store_access.h"
#include "records/ui/tfrm_list1.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
// Only so many text indicators are consulted when one is selected.
constexpr int kTextIndicatorsConsulted = 150;

QRadioButton *radio(QWidget *parent, const QString &name, const QString &caption)
{
    auto *r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    return r;
}
} // namespace

TFrmDefine::TFrmDefine(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmDefine"));
    noteWindow(objectName(), this);
    setWindowTitle(QStringLiteral("自定义查询器"));
    buildUi();
    m_and->setEnabled(false);
    m_or->setEnabled(false);
    withStore(this, [this](Database &db) {
        for (const QueryIndicator &q : queryIndicators(db)) {
            m_list->addItem(q.name);
            (q.isText ? m_textIndicators : m_numericIndicators) << q.name;
        }
    });
    setFixedSize(sizeHint().expandedTo(QSize(560, 420)));
    centreOnScreen(this);
}

void TFrmDefine::buildUi()
{
    auto *root = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("ListBox1"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setAccessibleName(QStringLiteral("查询指标"));
    root->addWidget(m_list, 1);

    auto *right = new QVBoxLayout;
    auto *ops = new QGroupBox(this);
    auto *opsLayout = new QHBoxLayout(ops);
    auto *opGroup = new QButtonGroup(this);
    const QStringList captions{QStringLiteral("="), QStringLiteral(">"), QStringLiteral("<"), QStringLiteral(">="),
                               QStringLiteral("<=")};
    for (int i = 0; i < captions.size(); ++i) {
        QRadioButton *r = radio(ops, QStringLiteral("RadioButton%1").arg(i + 3), captions[i]);
        opGroup->addButton(r);
        opsLayout->addWidget(r);
        m_operators << r;
    }
    m_operators.front()->setChecked(true);
    right->addWidget(ops);

    auto *valueLine = new QHBoxLayout;
    auto *valueLabel = new QLabel(QStringLiteral("值"), this);
    valueLine->addWidget(valueLabel);
    m_value = new QLineEdit(this);
    m_value->setObjectName(QStringLiteral("Edit1"));
    m_value->setAccessibleName(QStringLiteral("值"));
    valueLabel->setBuddy(m_value);
    valueLine->addWidget(m_value, 1);
    m_add = new QPushButton(QStringLiteral("添加条件"), this);
    m_add->setObjectName(QStringLiteral("BitBtn2"));
    valueLine->addWidget(m_add);
    right->addLayout(valueLine);

    auto *joins = new QHBoxLayout;
    auto *joinGroup = new QButtonGroup(this);
    m_and = radio(this, QStringLiteral("RadioButton1"), QStringLiteral("并且"));
    m_or = radio(this, QStringLiteral("RadioButton2"), QStringLiteral("或者"));
    joinGroup->addButton(m_and);
    joinGroup->addButton(m_or);
    joins->addWidget(m_and);
    joins->addWidget(m_or);
    joins->addStretch(1);
    right->addLayout(joins);

    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("RichEdit1"));
    m_text->setReadOnly(true);
    m_text->setAccessibleName(QStringLiteral("查询条件"));
    right->addWidget(m_text, 1);

    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("确    定"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    auto *back = new QPushButton(QStringLiteral("返    回"), this);
    back->setObjectName(QStringLiteral("BitBtn3"));
    for (QPushButton *b : {m_add, m_ok, back})
        b->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(back);
    right->addLayout(buttons);
    root->addLayout(right, 2);

    // An indicator is chosen by a click or by the arrow keys; the item merely outlined
    // when the list takes the focus is not chosen.
    connect(m_list, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_list->selectedItems().isEmpty() && m_list->selectedItems().front()->text() != m_chosen)
            chooseIndicator();
    });
    connect(m_value, &QLineEdit::textEdited, this, &TFrmDefine::onValueEdited);
    connect(m_value, &QLineEdit::returnPressed, this, [this] {
        if (m_add->isEnabled())
            BitBtn2Click();
    });
    connect(m_add, &QPushButton::clicked, this, &TFrmDefine::BitBtn2Click);
    connect(m_and, &QRadioButton::clicked, this, [this] { joinClicked(TermJoin::And); });
    connect(m_or, &QRadioButton::clicked, this, [this] { joinClicked(TermJoin::Or); });
    connect(m_ok, &QPushButton::clicked, this, &TFrmDefine::BitBtn1Click);
    connect(back, &QPushButton::clicked, this, &QDialog::close);
}

void TFrmDefine::ListBox1Click()
{
    chooseIndicator();
    if (!m_chosen.isEmpty())
        m_value->setFocus();
}

void TFrmDefine::chooseIndicator()
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    const QListWidgetItem *item = selected.isEmpty() ? m_list->currentItem() : selected.front();
    if (!item)
        return;
    m_chosen = item->text();
    setCustomQueryTextKind(m_textIndicators.mid(0, kTextIndicatorsConsulted).contains(item->text()));
    for (QRadioButton *r : m_operators)
        r->show();
    setOperatorsEnabled(!customQueryTextKind());
    m_value->setEnabled(true);
    m_value->clear();
}

void TFrmDefine::onValueEdited(const QString &text)
{
    if (customQueryTextKind() || m_filtering)
        return;
    const QString kept = numericTyped(text);
    if (kept != text) {
        m_filtering = true;
        const int cursor = m_value->cursorPosition();
        m_value->setText(kept);
        m_value->setCursorPosition(std::max(0, cursor - int(text.size() - kept.size())));
        m_filtering = false;
    }
}

QString TFrmDefine::selectedOperator() const
{
    for (QRadioButton *r : m_operators)
        if (r->isChecked())
            return r->text();
    return {};
}

void TFrmDefine::setOperatorsEnabled(bool on)
{
    for (QRadioButton *r : m_operators)
        r->setEnabled(on);
}

void TFrmDefine::BitBtn2Click()
{
    // Without a chosen indicator the value would be compared with whatever the list
    // happens to outline, as a number.
    if (m_chosen.isEmpty()) {
        prompter().message(this, QStringLiteral("提示！"), QStringLiteral("请先在左边的列表中选择查询指标！"),
                           Icon::Information);
        m_list->setFocus();
        return;
    }
    const QString value = m_value->text();
    if (value.trimmed().isEmpty()) {
        prompter().message(this, QStringLiteral("提示！"), QStringLiteral("请填入条件！"), Icon::Information);
        m_ok->setEnabled(true);
        for (QRadioButton *r : {m_and, m_or}) {
            r->setEnabled(false);
            r->setAutoExclusive(false);
            r->setChecked(false);
            r->setAutoExclusive(true);
        }
        m_value->setFocus();
        m_value->clear();
        return;
    }
    QueryTerm term{m_chosen, customQueryTextKind(), selectedOperator(), value};
    // An unusable term is refused here, before it can reach the database.
    QString problem;
    withStore(this, [&](Database &db) { problem = termProblem(term, db.columns(tables::records)); });
    if (!problem.isEmpty()) {
        prompter().message(this, QStringLiteral("提示！"), problem, Icon::Information);
        m_value->setFocus();
        return;
    }
    m_query.add(term);
    m_text->setPlainText(m_query.wordsText());
    m_chosen.clear();
    m_list->clearSelection();
    m_list->setEnabled(false);
    m_value->setEnabled(false);
    m_ok->setEnabled(true);
    m_add->setEnabled(false);
    for (QRadioButton *r : {m_and, m_or}) {
        r->setEnabled(true);
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(true);
    }
    setOperatorsEnabled(false);
    m_value->clear();
}

void TFrmDefine::joinClicked(TermJoin join)
{
    m_query.join(join);
    m_text->setPlainText(m_query.wordsText());
    m_list->setEnabled(true);
    m_value->setEnabled(true);
    m_ok->setEnabled(false);
    m_add->setEnabled(true);
    m_and->setEnabled(false);
    m_or->setEnabled(false);
    setOperatorsEnabled(true);
}

void TFrmDefine::BitBtn1Click()
{
    setLastCustomCondition(m_query.displayText().trimmed());
    if (!m_query.isEmpty()) {
        TFrmList1 *list = TFrmList1::current();
        CustomQuery::Sql sql;
        if (!withStore(this, [&](Database &db) { sql = m_query.toSql(db.columns(tables::records)); }))
            return;
        if (!sql.error.isEmpty()) {
            prompter().message(this, QStringLiteral("提示！"), sql.error, Icon::Information);
            return;
        }
        if (list && !list->ini(sql.condition))
            return;
    }
    close();
}

} // namespace kestrova::ui
