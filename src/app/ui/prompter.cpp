#include "app/ui/prompter.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace kestrova::ui {

namespace {
// A message box is only as wide as its text, and the window manager cuts a caption that
// does not fit its title bar ("密…"); room is kept for the caption, the window's icon
// and the title bar's buttons. QMessageBox ignores a minimum width; a spacer in its
// layout is what it honours.
void makeRoomForCaption(QMessageBox &box, const QString &caption)
{
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(caption) * 5 / 4 + 150;
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

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
        makeRoomForCaption(box, caption); // last: setting the icon lays the box out anew
        switch (box.exec()) {
        case QMessageBox::Ok: return Answer::Ok;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default:
            return buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? Answer::No : Answer::Cancel;
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
        QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), text, QMessageBox::Ok, parent);
        makeRoomForCaption(box, box.windowTitle());
        box.exec();
    }

private:
    static std::optional<QStringList> choose(QWidget *parent, const FileRequest &r)
    {
        QFileDialog dlg(parent, r.caption, r.directory, r.filter);
        dlg.setAcceptMode(r.kind == FileRequest::Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        switch (r.kind) {
        case FileRequest::Kind::Save: dlg.setFileMode(QFileDialog::AnyFile); break;
        case FileRequest::Kind::Open: dlg.setFileMode(QFileDialog::ExistingFile); break;
        case FileRequest::Kind::OpenMany: dlg.setFileMode(QFileDialog::ExistingFiles); break;
        case FileRequest::Kind::Folder:
            dlg.setFileMode(QFileDialog::Directory);
            dlg.setOption(QFileDialog::ShowDirsOnly);
            break;
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
