#pragma once
// The 72 indicator fields MaskEdit001 … MaskEdit072 laid out as the paper form's
// three blocks (基本情况, 库容情况, 机械设备情况), with their group labels, captions
// and units from the indicator catalogue. The entry form uses it with key filters and
// automatic totals; the annual summary shows the same fields without either.
#include "records/record_fields.h"

#include <QList>
#include <QWidget>

#include <array>

class QGridLayout;
class QLabel;
class QLineEdit;

namespace kestrova::ui {

class IndicatorBlockWidget : public QWidget {
    Q_OBJECT
public:
    struct Options {
        bool keyFilters = true;     // digits, backspace and Enter only
        bool changeHandlers = true; // a change of a part recomputes its total
    };

    explicit IndicatorBlockWidget(Options options, QWidget *parent = nullptr);

    QLineEdit *field(int k) const;
    QString text(int k) const;
    void setText(int k, const QString &text);
    IndicatorTexts texts() const;
    void setTexts(const IndicatorTexts &texts);

    // While off, changes of the parts leave the totals alone.
    void setAutoTotals(bool on) { m_autoTotals = on; }
    bool autoTotals() const { return m_autoTotals; }
    // Fields 13, 17 and 23 := the sums of their parts, in the general number format.
    void recomputeTotals();

    // Zeros shown as empty fields, and back.
    void emptyZeros();
    void zeroEmpties();

    static QColor totalBackground();
    // The name field k goes by for screen readers and tests: its caption, with what
    // tells it apart where another field has the same caption. Unique among the 72.
    static QString fieldTitle(int k);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void build();
    QLabel *cellLabel(const QString &text, bool bold = false, QWidget *parent = nullptr);
    QLineEdit *makeField(int k, QWidget *parent);
    QWidget *fieldCell(int k, QWidget *parent, int minimumWidth = 0);
    void onPartChanged();

    Options m_options;
    QGridLayout *m_grid = nullptr;
    QList<QGridLayout *> m_tableGrids; // the tank and open-air tables of block 2
    std::array<QLineEdit *, kIndicatorCount> m_fields{};
    bool m_autoTotals = false;
};

} // namespace kestrova::ui
