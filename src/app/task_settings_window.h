#pragma once
// TfrmRenwu_hz (任务信息): the office's report year, aggregation level and place.
#include <QDialog>

class QComboBox;

namespace kestrova::ui {

class TaskSettingsWindow : public QDialog {
    Q_OBJECT
public:
    explicit TaskSettingsWindow(QWidget *parent = nullptr);
    // The region code that a save would store now.
    QString regionCode() const { return m_regionCode; }

signals:
    // The task record was replaced and the context updated; the menus follow it.
    void taskSaved();

private:
    void FormCreate();
    void levelChanged();
    void provinceChosen();
    void cityChosen();
    void countyChosen();
    void BitBtn1Click();
    void applyLevel(const QString &level);

    QComboBox *m_year;
    QComboBox *m_level;
    QComboBox *m_province;
    QComboBox *m_city;
    QComboBox *m_county;
    QString m_regionCode;
    // The level, province and city as last shown, so that choosing one again is no change.
    QString m_shownLevel;
    QString m_shownProvince;
    QString m_shownCity;
};

} // namespace kestrova::ui
