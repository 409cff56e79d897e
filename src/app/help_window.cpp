#include "app/help_window.h"

#include "app/system_commands.h"
#include "app/ui/prompter.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kestrova::ui {

HelpWindow::HelpWindow(const QString &file, QWidget *parent) : QDialog(parent), m_file(file)
{
    setObjectName(QStringLiteral("TFrmHelp"));
    setWindowTitle(QStringLiteral("Kestrova指标解释"));
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("Browser"));
    m_browser->setAccessibleName(QStringLiteral("指标解释"));
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(QUrl::fromLocalFile(file));

    auto *browser = new QPushButton(QStringLiteral("在浏览器中打开"), this);
    browser->setObjectName(QStringLiteral("BtnBrowser"));
    browser->setAutoDefault(false);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("BtnClose"));
    close->setDefault(true);
    connect(browser, &QPushButton::clicked, this, &HelpWindow::openInBrowser);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(browser);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addLayout(buttons);
    resize(960, 680);
}

void HelpWindow::openInBrowser()
{
    if (!ui::openInBrowser(QUrl::fromLocalFile(m_file)))
        prompter().message(this, QStringLiteral("提示"),
                           QStringLiteral("没有可以打开帮助文件的浏览器，请用浏览器打开：") + m_file, Icon::Warning);
}

} // namespace kestrova::ui
