#pragma once
// TFrmHelp ("Kestrova指标解释"): the help page in the program's own window, so it shows
// whether or not the desktop has a browser; 在浏览器中打开 hands it to one.
#include <QDialog>

class QTextBrowser;

namespace kestrova::ui {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // file: the help page's absolute path.
    explicit HelpWindow(const QString &file, QWidget *parent = nullptr);

private:
    void openInBrowser();

    QString m_file;
    QTextBrowser *m_browser;
};

} // namespace kestrova::ui
