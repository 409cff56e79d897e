#include "records/ui/tfrm_input1.h"

#include "records/printed/ui/printed_return_save.h"

#include "app/ui/choice_picker.h"
#include "app/ui/modal.h"
#include "app/ui/prompter.h"
#include "app/ui/window_fit.h"
#include "app/ui/window_registry.h"
#include "data/context.h"
#include "data/regions.h"
#include "data/task_record.h"
#include "records/save_flow.h"
#include "records/ui/indicator_block_widget.h"
#include "records/ui/input_guards.h"
#include "records/ui/store_access.h"
#include "records/ui/tfrm_log.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
const QColor kFocusColour(Qt::yellow);
const QColor kFieldColour(Qt::white);

QLineEdit *textField(QWidget *parent, const char *name, const QString &title, int minWidth = 120)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAccessibleName(title);
    e->setMinimumWidth(minWidth);
    return e;
}

// The county picker takes typing (a county missing from the table can be entered).
QComboBox *typingPicker(QWidget *parent, const char *name, const QString &title)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setAccessibleName(title);
    c->setAccessibleDescription(title);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c->setMinimumWidth(110);
    c->lineEdit()->setAccessibleName(title);
    c->setStyleSheet(kListBelowPicker);
    keepListColours(c);
    return c;
}

QLabel *caption(QWidget *parent, const QString &text, QWidget *buddy = nullptr)
{
    auto *l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

void paint(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    if (qobject_cast<QCheckBox *>(w)) {
        p.setColor(QPalette::Window, colour);
        w->setAutoFillBackground(true);
    }
    auto *c = qobject_cast<QComboBox *>(w);
    if (c && !c->isEditable())
        p.setColor(QPalette::Button, colour); // a picker without a text box is drawn as a button
    w->setPalette(p);
    if (c && c->lineEdit()) {
        QPalette lp = c->lineEdit()->palette();
        lp.setColor(QPalette::Base, colour);
        c->lineEdit()->setPalette(lp);
    }
}

// The indicator texts as the save sees them: an empty field is a zero.
IndicatorTexts asSaved(IndicatorTexts t)
{
    for (QString &v : t)
        if (v.isEmpty())
            v = QStringLiteral("0");
    return t;
}

bool sameFields(const RecordFields &a, const RecordFields &b)
{
    return a.text == b.text && asSaved(a.indicators) == asSaved(b.indicators) && a.filingDate == b.filingDate;
}

class PromptDialogue : public SaveDialogue {
public:
    explicit PromptDialogue(QWidget *w) : m_w(w) {}
    void refuse(const QString &message) override
    {
        prompter().message(m_w, QStringLiteral("输入错误提示"), message, Icon::Information);
    }
    bool confirm(const QString &question) override
    {
        return prompter().message(m_w, QStringLiteral("提示"), question, Icon::Information, Buttons::OkCancel) ==
               Answer::Ok;
    }
    void inform(const QString &message) override
    {
        prompter().message(m_w, QStringLiteral("提示"), message, Icon::Information);
    }

private:
    QWidget *m_w;
};
} // namespace

TFrmInput1::TFrmInput1(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFrmInput1"));
    noteWindow(objectName(), this);
    setWindowTitle(QStringLiteral("统计表输入"));
    buildUi();
    m_block->setAutoTotals(false);

    // The years offered are those of the 年度 table; a new record is for the task's year.
    QString taskYear;
    withStore(this, [&](Database &db) {
        replaceItems(m_province, provinceNames(db));
        QStringList years;
        Statement st = db.prepare(QStringLiteral("SELECT 年度 FROM 年度 ORDER BY rowid"));
        while (st.next())
            years << st.text(0).trimmed();
        replaceItems(m_year, years);
        if (const auto task = loadTask(db))
            taskYear = task->year.trimmed();
    });
    m_date->setDate(QDate::currentDate());
    setPickerText(m_year, taskYear.isEmpty() ? QString::number(QDate::currentDate().year() - 1) : taskYear);

    connectHandlers();
    if (context().enterpriseId > 0 || !context().enterpriseName.isEmpty())
        ini1();
    m_block->setAutoTotals(true);
    m_shown = fields();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && isAncestorOf(now)) {
            paintFocus(now);
            // A field reached by Tab, Enter or a failed check is brought into view.
            if (m_scroll->widget()->isAncestorOf(now))
                m_scroll->ensureWidgetVisible(now, 24, 24);
        }
    });
}

bool TFrmInput1::hasUnsavedChanges() const
{
    return !sameFields(fields(), m_shown);
}

void TFrmInput1::reject()
{
    // Esc, the close button, 返回 and the menu's 返回 all come here: typed input is
    // only thrown away when the user says so.
    if (hasUnsavedChanges() &&
        prompter().message(this, QStringLiteral("提示"), QStringLiteral("放弃未保存的修改？"), Icon::Question,
                           Buttons::YesNoDefaultNo) != Answer::Yes)
        return;
    QDialog::reject();
}

bool TFrmInput1::eventFilter(QObject *watched, QEvent *event)
{
    // Enter moves on to the next field, as on the paper form, unless a list is open.
    if (event->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(event);
        auto *w = qobject_cast<QWidget *>(watched);
        const bool enter = k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
        if (enter && w && k->modifiers() == Qt::NoModifier) {
            auto *picker = qobject_cast<QComboBox *>(w) ? qobject_cast<QComboBox *>(w)
                                                        : qobject_cast<QComboBox *>(w->parentWidget());
            const bool listOpen = picker && (picker->view()->isVisible() ||
                                             (picker->completer() && picker->completer()->popup()->isVisible()));
            if (!listOpen) {
                focusNextChild();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmInput1::buildUi()
{
    auto *root = new QVBoxLayout(this);
    auto *menu = new QMenuBar(this);
    QAction *n2 = menu->addMenu(QStringLiteral("返回"))->addAction(QStringLiteral("返回"));
    n2->setObjectName(QStringLiteral("N2"));
    connect(n2, &QAction::triggered, this, &QDialog::reject);
    root->setMenuBar(menu);

    auto *tools = new QHBoxLayout;
    auto *save = new QPushButton(QStringLiteral("保存"), this);
    save->setObjectName(QStringLiteral("BitBtn2"));
    auto *print = new QPushButton(QStringLiteral("保存表格"), this);
    print->setObjectName(QStringLiteral("BitBtn6"));
    auto *back = new QPushButton(QStringLiteral("返回"), this);
    back->setObjectName(QStringLiteral("BitBtn5"));
    m_logButton = new QPushButton(QStringLiteral("修改日志"), this);
    m_logButton->setObjectName(QStringLiteral("BitBtnLog"));
    m_logButton->setEnabled(false); // a record not yet saved has no log
    for (QPushButton *b : {save, print, m_logButton, back}) {
        b->setAutoDefault(false);
        tools->addWidget(b);
    }
    tools->addStretch(1);
    root->addLayout(tools);
    connect(save, &QPushButton::clicked, this, &TFrmInput1::BitBtn2Click);
    connect(print, &QPushButton::clicked, this, &TFrmInput1::BitBtn6Click);
    connect(m_logButton, &QPushButton::clicked, this, &TFrmInput1::showLog);
    connect(back, &QPushButton::clicked, this, &TFrmInput1::BitBtn5Click);

    auto *paper = new QWidget;
    paper->setObjectName(QStringLiteral("paper"));
    paper->setAutoFillBackground(true);
    QPalette pp = paper->palette();
    pp.setColor(QPalette::Window, QColor(0xfb, 0xfb, 0xf6));
    paper->setPalette(pp);
    auto *v = new QVBoxLayout(paper);
    v->setContentsMargins(16, 12, 16, 16);

    auto *head = new QGridLayout;
    auto *title = new QLabel(QStringLiteral("Kestrova年报表"), paper);
    QFont tf = title->font();
    tf.setPointSize(18);
    tf.setBold(true);
    title->setFont(tf);
    title->setAlignment(Qt::AlignCenter);
    head->addWidget(title, 0, 0, 5, 1);
    const QStringList fixed{QStringLiteral("表    号:GL20表"), QStringLiteral("制表机关:Tarnhold"),
                            QStringLiteral("批准机关:国家统计局"), QStringLiteral("批准文号：国统制[2012]192号"),
                            QStringLiteral("有效期至:2014年12月")};
    for (int i = 0; i < fixed.size(); ++i)
        head->addWidget(new QLabel(fixed[i], paper), i, 1);
    head->setColumnStretch(0, 1);
    v->addLayout(head);
    v->addWidget(buildIdentity(paper));
    m_block = new IndicatorBlockWidget({true, true}, paper);
    v->addWidget(m_block);
    v->addWidget(buildClosing(paper));
    v->addStretch(1);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollBox1"));
    m_scroll->setWidget(paper);
    m_scroll->setWidgetResizable(true);
    root->addWidget(m_scroll, 1);
    m_wheel = new WheelScroller(m_scroll);
    m_wheel->watch(m_scroll->viewport());
    m_wheel->watch(paper);
    setTabOrderOfThePaperForm();
    for (QWidget *w : paper->findChildren<QWidget *>())
        if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) || qobject_cast<QCheckBox *>(w))
            w->installEventFilter(this);
    // The form scrolls inside a window that fits the screen.
    fitToScreen(this, QSize(1280, 800));
}

void TFrmInput1::setTabOrderOfThePaperForm()
{
    // Line by line as the paper form reads, the indicators in their field order (the
    // tank and open-air tables row by row), then the closing lines.
    QList<QWidget *> chain{m_name, m_corps, m_province, m_city, m_county, m_address, m_postcode, m_phone,
                           m_org, m_ownership, m_legal, m_business, m_affiliation, m_company, m_branch, m_year};
    for (int k = 1; k <= kIndicatorCount; ++k)
        chain << m_block->field(k);
    chain << m_remarks << m_head << m_filler << m_date;
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

QWidget *TFrmInput1::buildIdentity(QWidget *paper)
{
    auto *box = new QWidget(paper);
    auto *g = new QGridLayout(box);
    g->setContentsMargins(0, 8, 0, 8);
    m_id = textField(box, "Edit_ID", QStringLiteral("ID"));
    m_id->hide();
    m_name = textField(box, "Edit6", QStringLiteral("企业名称"), 300);
    m_corps = new QCheckBox(QStringLiteral("是否归属新疆兵团"), box);
    m_corps->setObjectName(QStringLiteral("CheckBox1"));
    m_province = choicePicker(box, QStringLiteral("ComboBox01"), QStringLiteral("省"), {}, 130);
    m_city = choicePicker(box, QStringLiteral("ComboBox02"), QStringLiteral("地市"), {}, 130);
    m_county = typingPicker(box, "ComboBox03", QStringLiteral("县"));
    m_county->setMinimumWidth(130);
    m_address = textField(box, "Edit7", QStringLiteral("企业地址"), 260);
    m_postcode = textField(box, "Edit9", QStringLiteral("邮政编码"));
    acceptDigitsOnly(m_postcode);
    m_phone = textField(box, "Edit1", QStringLiteral("联系电话"));
    m_org = textField(box, "Edit5", QStringLiteral("组织机构代码"));
    m_org->setToolTip(QStringLiteral(
        "没有组织机构代码的单位填写规则：6位邮编+两位字母，前6位是企业邮编，后两位是企业核心名称首字母。"));
    m_ownership = choicePicker(box, QStringLiteral("ComboBox1"), QStringLiteral("企业性质"),
                               {QStringLiteral("国有"), QStringLiteral("外资"), QStringLiteral("民营")});
    m_legal = textField(box, "Edit2", QStringLiteral("法人代表"));
    m_business = choicePicker(box, QStringLiteral("ComboBox2"), QStringLiteral("经营范围"),
                              {QStringLiteral("储备"), QStringLiteral("加工"), QStringLiteral("物流")});
    m_affiliation = textField(box, "Edit3", QStringLiteral("隶属关系"), 200);
    m_company = choicePicker(box, QStringLiteral("ComboBox3"), QStringLiteral("所属公司"),
                             {QStringLiteral("中国储备粮管理总公司"), QStringLiteral("中粮集团有限责任公司"),
                              QStringLiteral("中国中纺集团公司")},
                             170);
    m_branch = choicePicker(box, QStringLiteral("ComboBox4"), QStringLiteral("分公司"), {}, 170);
    m_year = choicePicker(box, QStringLiteral("Comb_niandu"), QStringLiteral("统计年度"), {}, 80);

    auto line = [&](int row, std::initializer_list<std::pair<QString, QWidget *>> cells) {
        auto *h = new QHBoxLayout;
        for (const auto &[text, w] : cells) {
            if (!text.isEmpty())
                h->addWidget(caption(box, text, w));
            if (w)
                h->addWidget(w);
        }
        h->addStretch(1);
        g->addLayout(h, row, 0);
    };
    line(0, {{QStringLiteral("企业名称："), m_name}, {QString(), m_corps}});
    line(1, {{QStringLiteral("企业地址："), m_province}, {QString(), m_city}, {QString(), m_county}, {QString(), m_address}});
    line(2, {{QStringLiteral("邮政编码："), m_postcode},
             {QStringLiteral("联系电话："), m_phone},
             {QStringLiteral("组织机构代码："), m_org}});
    line(3, {{QStringLiteral("企业性质："), m_ownership},
             {QStringLiteral("法人代表："), m_legal},
             {QStringLiteral("经营范围："), m_business}});
    line(4, {{QStringLiteral("隶属关系："), m_affiliation},
             {QStringLiteral("（选项：所属公司："), m_company},
             {QStringLiteral("分公司："), m_branch},
             {QStringLiteral("）"), nullptr},
             {QStringLiteral("统计年度："), m_year}});
    return box;
}

QWidget *TFrmInput1::buildClosing(QWidget *paper)
{
    auto *box = new QWidget(paper);
    auto *g = new QGridLayout(box);
    g->setContentsMargins(0, 8, 0, 0);
    m_remarks = textField(box, "MaskEditS6", QStringLiteral("备注"), 400);
    m_head = textField(box, "MaskEditS7", QStringLiteral("单位负责人"));
    m_filler = textField(box, "MaskEditS8", QStringLiteral("填表人"));
    m_date = new QDateEdit(box);
    m_date->setObjectName(QStringLiteral("DateTimePicker1"));
    m_date->setAccessibleName(QStringLiteral("填报日期"));
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setCalendarPopup(true);
    auto *h1 = new QHBoxLayout;
    h1->addWidget(caption(box, QStringLiteral("备注"), m_remarks));
    h1->addWidget(m_remarks, 1);
    g->addLayout(h1, 0, 0);
    auto *h2 = new QHBoxLayout;
    h2->addWidget(caption(box, QStringLiteral("单位负责人："), m_head));
    h2->addWidget(m_head);
    h2->addSpacing(24);
    h2->addWidget(caption(box, QStringLiteral("填表人："), m_filler));
    h2->addWidget(m_filler);
    h2->addSpacing(24);
    h2->addWidget(caption(box, QStringLiteral("填报日期："), m_date));
    h2->addWidget(m_date);
    h2->addStretch(1);
    g->addLayout(h2, 1, 0);
    return box;
}

void TFrmInput1::connectHandlers()
{
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString &t) { m_affiliation->setText(t); });
    connect(m_branch, &QComboBox::textActivated, this, [this](const QString &t) { m_affiliation->setText(t); });
    connect(m_corps, &QCheckBox::toggled, this, [this](bool on) {
        m_company->setEnabled(!on);
        m_branch->setEnabled(!on);
        if (on) {
            setPickerText(m_company, QString());
            setPickerText(m_branch, QString());
            m_affiliation->setText(m_name->text());
        } else {
            m_affiliation->clear();
        }
    });
    connect(m_company, &QComboBox::currentTextChanged, this, [this](const QString &t) {
        if (!m_quietPickers && !t.isEmpty())
            fillBranches(t);
    });
    connect(m_province, &QComboBox::currentTextChanged, this, [this] {
        if (m_quietPickers)
            return;
        setPickerText(m_city, QString());
        setPickerText(m_county, QString());
        listcity();
    });
    connect(m_city, &QComboBox::currentTextChanged, this, [this] {
        if (m_quietPickers)
            return;
        setPickerText(m_county, QString());
        listcounty();
    });
    connect(m_county, &QComboBox::currentTextChanged, this, [this] {
        if (!m_quietPickers)
            lookupCounty();
    });
}

void TFrmInput1::setPickerText(QComboBox *picker, const QString &text)
{
    const bool was = m_quietPickers;
    m_quietPickers = true;
    if (picker->isEditable())
        picker->setEditText(text);
    else
        showChoice(picker, text);
    m_quietPickers = was;
}

void TFrmInput1::replaceItems(QComboBox *picker, const QStringList &items)
{
    // Emptying a picker's list leaves its text as it is.
    const bool was = m_quietPickers;
    m_quietPickers = true;
    if (picker->isEditable()) {
        const QString text = picker->currentText();
        picker->clear();
        picker->addItems(items);
        picker->setCurrentIndex(-1);
        picker->setEditText(text);
    } else {
        replaceChoices(picker, items);
    }
    m_quietPickers = was;
}

void TFrmInput1::listcity()
{
    withStore(this, [this](Database &db) {
        replaceItems(m_city, {});
        replaceItems(m_county, {});
        replaceItems(m_city, citiesOfProvince(db, m_province->currentText()));
    });
}

void TFrmInput1::listcounty()
{
    withStore(this, [this](Database &db) {
        replaceItems(m_county, countiesOfCity(db, m_province->currentText(), m_city->currentText()));
    });
}

void TFrmInput1::lookupCounty()
{
    withStore(this, [this](Database &db) {
        m_regionCode = countyCode(db, m_province->currentText(), m_city->currentText(), m_county->currentText());
    });
}

void TFrmInput1::fillBranches(const QString &company)
{
    withStore(this, [&](Database &db) {
        Statement st = db.prepare(QStringLiteral("SELECT 分公司 FROM 分公司 WHERE 公司=?1 ORDER BY rowid"));
        st.bindText(1, company);
        QStringList items;
        while (st.next())
            items << st.text(0).trimmed();
        replaceItems(m_branch, items);
    });
}

void TFrmInput1::ini1()
{
    m_block->setAutoTotals(false);
    std::optional<LoadedRecord> rec;
    withStore(this, [&](Database &db) {
        if (context().enterpriseId > 0)
            rec = loadRecordById(db, context().enterpriseId);
        else
            rec = loadRecordByName(db, context().enterpriseName);
    });
    if (!rec) {
        m_block->setAutoTotals(true);
        return;
    }
    const RecordFields f = fieldsFromRecord(*rec);
    m_id->setText(f.idText);
    m_name->setText(f.value(QStringLiteral("企业名称")));
    m_address->setText(f.value(QStringLiteral("企业地址")));
    m_regionCode = f.value(QStringLiteral("行政区划代码"));
    setPickerText(m_province, f.value(QStringLiteral("省")));
    setPickerText(m_city, f.value(QStringLiteral("地市")));
    setPickerText(m_county, f.value(QStringLiteral("县")));
    m_postcode->setText(f.value(QStringLiteral("邮政编码")));
    m_phone->setText(f.value(QStringLiteral("联系电话")));
    m_org->setText(f.value(QStringLiteral("组织机构代码")));
    setPickerText(m_ownership, f.value(QStringLiteral("企业性质")));
    m_legal->setText(f.value(QStringLiteral("法人代表")));
    m_affiliation->setText(f.value(QStringLiteral("隶属关系")));
    setPickerText(m_company, f.value(QStringLiteral("央企名称")));
    m_corps->setChecked(f.value(QStringLiteral("新疆兵团")) == QStringLiteral("是"));
    setPickerText(m_business, f.value(QStringLiteral("经营范围")));
    setPickerText(m_year, f.value(QStringLiteral("年度")));
    m_block->setTexts(f.indicators);
    m_remarks->setText(f.value(QStringLiteral("备注")));
    m_head->setText(f.value(QStringLiteral("单位负责人")));
    m_filler->setText(f.value(QStringLiteral("填表人")));
    if (f.filingDate.isValid())
        m_date->setDate(f.filingDate);
    m_opened = rec;

    if (!m_province->currentText().isEmpty())
        listcity();
    if (!m_city->currentText().isEmpty())
        listcounty();
    if (!m_county->currentText().isEmpty())
        lookupCounty();
    m_block->emptyZeros();
    m_block->setAutoTotals(true);
    m_logButton->setEnabled(true);
}

RecordFields TFrmInput1::fields() const
{
    RecordFields f;
    f.idText = m_id->text();
    auto set = [&](const char *column, const QString &text) { f.text[QString::fromUtf8(column)] = text; };
    set("企业名称", m_name->text());
    set("企业地址", m_address->text());
    set("行政区划代码", m_regionCode);
    set("省", m_province->currentText());
    set("地市", m_city->currentText());
    set("县", m_county->currentText());
    set("邮政编码", m_postcode->text());
    set("联系电话", m_phone->text());
    set("组织机构代码", m_org->text());
    set("企业性质", m_ownership->currentText());
    set("法人代表", m_legal->text());
    set("隶属关系", m_affiliation->text());
    set("央企名称", m_company->currentText());
    set("新疆兵团", m_corps->isChecked() ? QStringLiteral("是") : QStringLiteral("否"));
    set("经营范围", m_business->currentText());
    set("年度", m_year->currentText());
    set("备注", m_remarks->text());
    set("单位负责人", m_head->text());
    set("填表人", m_filler->text());
    f.indicators = m_block->texts();
    f.filingDate = m_date->date();
    return f;
}

void TFrmInput1::BitBtn2Click()
{
    m_block->setAutoTotals(false);
    m_block->zeroEmpties();
    SaveRequest req;
    req.fields = fields();
    req.entryMode = context().entryMode;
    req.openedId = m_opened ? m_opened->id : 0;
    req.opened = m_opened;
    req.now = QDateTime::currentDateTime();
    PromptDialogue dialogue(this);
    std::optional<SaveOutcome> outcome;
    withStore(this, [&](Database &db) { outcome = runSave(db, req, dialogue); });
    m_block->setAutoTotals(true);
    if (!outcome)
        return; // a database failure was shown; nothing was written
    if (!outcome->saved) {
        if (outcome->validationFailed)
            m_block->emptyZeros();
        focusField(outcome->focus);
        return;
    }
    m_block->emptyZeros();
    // Back to the list that opened the form, which shows the saved record.
    m_savedId = outcome->written.id;
    m_shown = fields();
    accept();
}

void TFrmInput1::focusField(const QString &objectName)
{
    if (auto *w = findChild<QWidget *>(objectName)) {
        w->setFocus();
        paintFocus(w);
        m_scroll->ensureWidgetVisible(w, 24, 24);
    }
}

void TFrmInput1::BitBtn5Click()
{
    reject();
}

void TFrmInput1::showLog()
{
    if (!m_opened)
        return;
    auto *log = new TFrmLog(m_opened->value(QStringLiteral("企业名称")), m_opened->value(QStringLiteral("组织机构代码")),
                            this);
    showModal(log);
}

void TFrmInput1::BitBtn6Click()
{
    // The return is printed as the form shows it, saved or not.
    PrintedReturnFields f;
    f.name = m_name->text();
    f.province = m_province->currentText();
    f.city = m_city->currentText();
    f.county = m_county->currentText();
    f.address = m_address->text();
    f.postcode = m_postcode->text();
    f.phone = m_phone->text();
    f.orgCode = m_org->text();
    f.ownership = m_ownership->currentText();
    f.legalRep = m_legal->text();
    f.affiliation = m_affiliation->text();
    f.business = m_business->currentText();
    f.year = m_year->currentText();
    f.indicators = m_block->texts();
    f.remarks = m_remarks->text();
    f.head = m_head->text();
    f.filler = m_filler->text();
    f.filingDate = m_date->date();
    savePrintedReturn(this, f);
}

QList<QWidget *> TFrmInput1::paintedFields() const
{
    QList<QWidget *> out{m_name,  m_corps,       m_province, m_city,    m_county, m_address, m_postcode,
                         m_phone, m_org,         m_ownership, m_legal,  m_business, m_affiliation, m_company,
                         m_branch, m_year,       m_remarks,  m_head,    m_filler, m_date};
    for (int k = 1; k <= kIndicatorCount; ++k)
        if (!isComputedTotal(k))
            out << m_block->field(k);
    return out;
}

void TFrmInput1::paintFocus(QWidget *focused)
{
    QWidget *target = nullptr;
    const QList<QWidget *> all = paintedFields();
    for (QWidget *w : all)
        if (w == focused || (focused && w->isAncestorOf(focused)))
            target = w;
    for (QWidget *w : all)
        paint(w, w == target ? kFocusColour : kFieldColour);
}

} // namespace kestrova::ui
