#include "app/task_settings_window.h"

#include "app/ui/choice_picker.h"
#include "app/ui/prompter.h"
#include "app/ui/window_fit.h"
#include "data/context.h"
#include "data/regions.h"
#include "data/store.h"
#include "data/task_record.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrova::ui {

namespace {
const QString kYellow = QStringLiteral("QComboBox { combobox-popup: 0; background-color: #ffff80; }");
const QString kGrey = QStringLiteral("QComboBox { combobox-popup: 0; background-color: #d4d0c8; }");

// Takes no typing, and the wheel only while focused: a wheel turned over the window
// on the way to a button must not change the year or the level.
QComboBox *makePicker(QWidget *parent, const char *name, const QString &caption)
{
    QComboBox *box = choicePicker(parent, QString::fromLatin1(name), caption, {}, 180);
    wheelOnlyWhenFocused(box);
    return box;
}
} // namespace

TaskSettingsWindow::TaskSettingsWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmRenwu_hz"));
    setWindowTitle(QStringLiteral("任务信息"));

    auto *heading = new QLabel(QStringLiteral("填报单位信息维护"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    heading->setAlignment(Qt::AlignCenter);
    heading->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold; color: #2a5d84;"));

    m_year = makePicker(this, "ComboBox01", QStringLiteral("填报年份"));
    m_level = makePicker(this, "ComboBox02", QStringLiteral("汇总级别"));
    m_province = makePicker(this, "ComboBox03", QStringLiteral("省"));
    m_city = makePicker(this, "ComboBox04", QStringLiteral("地市"));
    m_county = makePicker(this, "ComboBox05", QStringLiteral("县"));

    auto *grid = new QGridLayout;
    const QList<QPair<QString, QComboBox *>> rows{{QStringLiteral("填报年份"), m_year},
                                                 {QStringLiteral("汇总级别"), m_level},
                                                 {QStringLiteral("省"), m_province},
                                                 {QStringLiteral("地市"), m_city},
                                                 {QStringLiteral("县"), m_county}};
    int row = 0;
    for (const auto &[text, box] : rows) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("Label%1").arg(row + 2));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    auto *quit = new QPushButton(QStringLiteral("退出"), this);
    quit->setObjectName(QStringLiteral("BitBtn2"));
    ok->setAutoDefault(false);
    quit->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(quit);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 20, 36, 20);
    layout->setSpacing(14);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_level, &QComboBox::textActivated, this, &TaskSettingsWindow::levelChanged);
    connect(m_province, &QComboBox::textActivated, this, &TaskSettingsWindow::provinceChosen);
    connect(m_city, &QComboBox::textActivated, this, &TaskSettingsWindow::cityChosen);
    connect(m_county, &QComboBox::textActivated, this, &TaskSettingsWindow::countyChosen);
    connect(ok, &QPushButton::clicked, this, &TaskSettingsWindow::BitBtn1Click);
    connect(quit, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
    centreOnScreen(this);
}

void TaskSettingsWindow::FormCreate()
{
    // The code follows only what is chosen in this opening, whatever the record holds.
    m_regionCode = QStringLiteral("000000");
    try {
        auto db = openStore(StoreOpen::MustExist);
        Statement years = db->prepare(QStringLiteral("SELECT 年度 FROM 年度 ORDER BY rowid"));
        while (years.next())
            m_year->addItem(years.text(0));
        m_province->addItems(provinceNames(*db));
        Statement levels = db->prepare(QStringLiteral("SELECT 汇总级别 FROM 汇总级别 ORDER BY 序号"));
        while (levels.next())
            m_level->addItem(levels.text(0));
        // The record's place is shown as it stands; no cascade runs, so the city and
        // county lists hold only the values shown.
        const auto task = loadTask(*db);
        showChoice(m_year, task ? task->year : QStringLiteral("2013"));
        showChoice(m_level, task ? task->level : QString());
        showChoice(m_province, task ? task->province : QString());
        showChoice(m_city, task ? task->city : QString());
        showChoice(m_county, task ? task->county : QString());
    } catch (const DbError &e) {
        prompter().error(this, e.message());
    }
    m_shownLevel = m_level->currentText();
    m_shownProvince = m_province->currentText();
    m_shownCity = m_city->currentText();
    applyLevel(m_shownLevel);
}

void TaskSettingsWindow::applyLevel(const QString &level)
{
    const PlacePickers pickers = placePickersFor(level);
    const std::pair<QComboBox *, bool> states[] = {
        {m_province, pickers.province}, {m_city, pickers.city}, {m_county, pickers.county}};
    for (const auto &[box, enabled] : states) {
        box->setEnabled(enabled);
        box->setStyleSheet(enabled ? kYellow : kGrey);
    }
}

void TaskSettingsWindow::levelChanged()
{
    // Choosing the level already shown is no change: the places stay.
    const QString level = m_level->currentText();
    if (level == m_shownLevel)
        return;
    m_shownLevel = level;
    // The lists and the region code stay as they were; only the texts go.
    applyLevel(level);
    for (QComboBox *box : {m_province, m_city, m_county})
        box->setCurrentIndex(-1);
    m_shownProvince.clear();
    m_shownCity.clear();
}

void TaskSettingsWindow::provinceChosen()
{
    // Choosing the province shown again refills its cities but keeps the city and county.
    const QString province = m_province->currentText();
    const bool changed = province != m_shownProvince;
    m_shownProvince = province;
    const QString keptCity = changed ? QString() : m_city->currentText();
    const QString keptCounty = changed ? QString() : m_county->currentText();
    if (changed)
        m_shownCity.clear();
    try {
        auto db = openStore(StoreOpen::MustExist);
        m_regionCode = provincePrefix(*db, province) + QStringLiteral("0000");
        m_city->clear();
        m_city->addItems(citiesOfProvince(*db, province));
        showChoice(m_city, keptCity);
        m_county->clear();
        showChoice(m_county, keptCounty);
    } catch (const DbError &e) {
        prompter().error(this, e.message());
    }
}

void TaskSettingsWindow::cityChosen()
{
    const QString city = m_city->currentText();
    const bool changed = city != m_shownCity;
    m_shownCity = city;
    const QString keptCounty = changed ? QString() : m_county->currentText();
    try {
        auto db = openStore(StoreOpen::MustExist);
        const QString province = m_province->currentText();
        m_regionCode = cityPrefix(*db, province, city) + QStringLiteral("00");
        m_county->clear();
        m_county->addItems(countiesOfCity(*db, province, city));
        showChoice(m_county, keptCounty);
    } catch (const DbError &e) {
        prompter().error(this, e.message());
    }
}

void TaskSettingsWindow::countyChosen()
{
    try {
        auto db = openStore(StoreOpen::MustExist);
        m_regionCode = countyCode(*db, m_province->currentText(), m_city->currentText(), m_county->currentText());
    } catch (const DbError &e) {
        prompter().error(this, e.message());
    }
}

void TaskSettingsWindow::BitBtn1Click()
{
    TaskRecord task;
    task.year = m_year->currentText();
    task.level = m_level->currentText();
    task.province = m_province->currentText();
    task.city = m_city->currentText();
    task.county = m_county->currentText();
    task.regionCode = m_regionCode;
    const PlacePickers enabled{m_province->isEnabled(), m_city->isEnabled(), m_county->isEnabled()};
    if (const auto problem = checkTask(task, enabled)) {
        prompter().message(this, QStringLiteral("提示"), problem->message, Icon::Information);
        QComboBox *focus = problem->focus == TaskField::Year       ? m_year
                           : problem->focus == TaskField::Level    ? m_level
                           : problem->focus == TaskField::Province ? m_province
                           : problem->focus == TaskField::City     ? m_city
                                                                   : m_county;
        focus->setFocus();
        return;
    }
    try {
        auto db = openStore(StoreOpen::MustExist);
        saveTask(*db, task);
    } catch (const DbError &e) {
        prompter().error(this, e.message());
        return;
    }
    auto &ctx = context();
    ctx.hasTask = true;
    ctx.level = task.level;
    ctx.province = task.province;
    ctx.city = task.city;
    ctx.county = task.county;
    emit taskSaved();
    accept();
}

} // namespace kestrova::ui
