#include "app/ui/prompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kestrova::ui {

namespace {
class WidgetPrompter : public Prompter {
public:
    Answer message(QWidget *parent, const QString &caption, const QString &text, Icon icon, Buttons buttons) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(caption);
        box.setText(text);
        switch (icon) {
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
        case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
        case Icon::None: break;
        }
        QMessageBox::StandardButtons set = QMessageBox::Ok;
        QMessageBox::StandardButton safe = QMessageBox::NoButton; // the default, when not the first
        switch (buttons) {
        case Buttons::Ok: break;
        case Buttons::OkCancel: set = QMessageBox::Ok | QMessageBox::Cancel; break;
        case Buttons::YesNo: set = QMessageBox::Yes | QMessageBox::No; break;
        case Buttons::OkCancelDefaultCancel:
            set = QMessageBox::Ok | QMessageBox::Cancel;
            safe = QMessageBox::Cancel;
            break;
        case Buttons::YesNoDefaultNo:
            set = QMessageBox::Yes | QMessageBox::No;
            safe = QMessageBox::No;
            break;
        case Buttons::YesNoCancel:
            set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            safe = QMessageBox::Yes;
            break;
        }
        box.setStandardButtons(set);
        if (safe != QMessageBox::NoButton) {
            box.setDefaultButton(safe);
            box.setEscapeButton(buttons == Buttons::YesNoDefaultNo ? QMessageBox::No : QMessageBox::Cancel);
        }
        switch (box.exec()) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: return buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? Answer::No : Answer::Cancel;
        }
    }

    std::optional<QString> file(QWidget *parent, const FileRequest &r) override
    {
        const auto chosen = choose(parent, r);
        if (!chosen)
            return std::nullopt;
        return chosen->constFirst();
    }

    std::optional<QStringList> openFiles(QWidget *parent, const FileRequest &r) override { return choose(parent, r); }

    void error(QWidget *parent, const QString &text) override
    {
        QMessageBox::critical(parent, QStringLiteral("错误"), text);
    }

private:
    static std::optional<QStringList> choose(QWidget *parent, const FileRequest &r)
    {
        QFileDialog dlg(parent, r.caption, QString(), r.filter);
        dlg.setAcceptMode(r.kind == FileRequest::Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        switch (r.kind) {
        case FileRequest::Kind::Save: dlg.setFileMode(QFileDialog::AnyFile); break;
        case FileRequest::Kind::Open: dlg.setFileMode(QFileDialog::ExistingFile); break;
        case FileRequest::Kind::OpenMany: dlg.setFileMode(QFileDialog::ExistingFiles); break;
        }
        dlg.setDefaultSuffix(r.defaultSuffix);
        if (!r.suggestedName.isEmpty())
            dlg.selectFile(r.suggestedName);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return std::nullopt;
        return dlg.selectedFiles();
    }
};

WidgetPrompter &production()
{
    static WidgetPrompter p;
    return p;
}

Prompter *&current()
{
    static Prompter *p = nullptr;
    return p;
}
} // namespace

Prompter &prompter()
{
    return current() ? *current() : production();
}

void setPrompter(Prompter *p)
{
    current() = p;
}

} // namespace kestrova::ui
