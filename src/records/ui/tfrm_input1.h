#pragma once
// The entry form "统计表输入": one enterprise record as the paper form of the return.
#include "records/record_store.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace kestrova::ui {

class IndicatorBlockWidget;
class WheelScroller;

class TFrmInput1 : public QDialog {
    Q_OBJECT
public:
    explicit TFrmInput1(QWidget *parent = nullptr);

    IndicatorBlockWidget *indicators() const { return m_block; }
    QScrollArea *scrollArea() const { return m_scroll; }
    // The record as loaded (its ID and old values), if one was.
    const std::optional<LoadedRecord> &opened() const { return m_opened; }
    QString regionCode() const { return m_regionCode; }

    void ini1();          // load the record chosen in the list
    void BitBtn2Click();  // 保存: on success the form closes, accepted
    void BitBtn5Click();  // 返回: closes the form, asking first if anything changed
    void BitBtn6Click();  // 保存表格
    void showLog();       // 修改日志 of the record as loaded

    // The record the last save wrote, 0 when none was saved.
    qint64 savedId() const { return m_savedId; }
    // Whether any field differs from what was loaded or last saved.
    bool hasUnsavedChanges() const;
    // Closing by Esc, the close button or 返回: asks "放弃未保存的修改？" when something changed.
    void reject() override;

    // The texts of every field, as the save reads them.
    RecordFields fields() const;
    // Paints the focused field yellow and every other field white.
    void paintFocus(QWidget *focused);
    // Puts the focus on the field of that object name, painted and scrolled into view.
    void focusField(const QString &objectName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildUi();
    void setTabOrderOfThePaperForm();
    QWidget *buildIdentity(QWidget *paper);
    QWidget *buildClosing(QWidget *paper);
    void connectHandlers();
    void listcity();
    void listcounty();
    void lookupCounty();
    void fillBranches(const QString &company);
    void setPickerText(QComboBox *picker, const QString &text);
    void replaceItems(QComboBox *picker, const QStringList &items);
    QList<QWidget *> paintedFields() const;

    IndicatorBlockWidget *m_block = nullptr;
    QScrollArea *m_scroll = nullptr;
    WheelScroller *m_wheel = nullptr;
    QLineEdit *m_id = nullptr;        // Edit_ID
    QLineEdit *m_name = nullptr;      // Edit6
    QCheckBox *m_corps = nullptr;     // CheckBox1
    QComboBox *m_province = nullptr;  // ComboBox01
    QComboBox *m_city = nullptr;      // ComboBox02
    QComboBox *m_county = nullptr;    // ComboBox03
    QLineEdit *m_address = nullptr;   // Edit7
    QLineEdit *m_postcode = nullptr;  // Edit9
    QLineEdit *m_phone = nullptr;     // Edit1
    QLineEdit *m_org = nullptr;       // Edit5
    QComboBox *m_ownership = nullptr; // ComboBox1
    QLineEdit *m_legal = nullptr;     // Edit2
    QComboBox *m_business = nullptr;  // ComboBox2
    QLineEdit *m_affiliation = nullptr; // Edit3
    QComboBox *m_company = nullptr;   // ComboBox3
    QComboBox *m_branch = nullptr;    // ComboBox4
    QComboBox *m_year = nullptr;      // Comb_niandu
    QLineEdit *m_remarks = nullptr;   // MaskEditS6
    QLineEdit *m_head = nullptr;      // MaskEditS7
    QLineEdit *m_filler = nullptr;    // MaskEditS8
    QDateEdit *m_date = nullptr;      // DateTimePicker1

    QPushButton *m_logButton = nullptr;
    QString m_regionCode;
    std::optional<LoadedRecord> m_opened;
    RecordFields m_shown; // the fields as loaded or last saved
    qint64 m_savedId = 0;
    bool m_quietPickers = false; // picker texts set by the program run no handlers
};

} // namespace kestrova::ui
