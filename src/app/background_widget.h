#pragma once
// The main window's calm backdrop: a soft painted gradient with the program's name.
#include <QWidget>

namespace kestrova::ui {

class BackgroundWidget : public QWidget {
    Q_OBJECT
public:
    explicit BackgroundWidget(const QString &title, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_title;
};

} // namespace kestrova::ui
