#pragma once
// The custom query window "自定义查询器": terms on the indicators of 查询指标, joined
// with 并且 / 或者, applied to the enterprise list that opened it.
#include "records/custom_query.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace kestrova::ui {

class TFrmDefine : public QDialog {
    Q_OBJECT
public:
    explicit TFrmDefine(QWidget *parent = nullptr);

    const CustomQuery &query() const { return m_query; }

    void ListBox1Click();
    void BitBtn2Click();  // 添加条件
    void joinClicked(TermJoin join);
    void BitBtn1Click();  // 确    定

private:
    void buildUi();
    void chooseIndicator(); // the selected indicator becomes the one the value is for
    void onValueEdited(const QString &text);
    QString selectedOperator() const;
    void setOperatorsEnabled(bool on);

    CustomQuery m_query;
    QStringList m_textIndicators;
    QStringList m_numericIndicators;
    QListWidget *m_list = nullptr;
    QLineEdit *m_value = nullptr;
    QList<QRadioButton *> m_operators;
    QRadioButton *m_and = nullptr;
    QRadioButton *m_or = nullptr;
    QTextEdit *m_text = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_ok = nullptr;
    bool m_filtering = false;
    QString m_chosen; // the indicator chosen for the next condition, empty before a choice
};

} // namespace kestrova::ui
