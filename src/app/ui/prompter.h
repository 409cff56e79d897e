#pragma once
// Every message box and file dialog of the program goes through the Prompter, so
// tests can answer them and see what was asked. Production shows QMessageBox and
// QFileDialog; tests install a ScriptedPrompter (tests/support/scripted_prompter.h).
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace kestrova::ui {

enum class Icon { None, Information, Warning, Critical, Question };
// The first button of each set is the default one (Enter), except where a set says
// otherwise: a question whose first answer destroys data defaults to the safe one.
enum class Buttons {
    Ok,
    OkCancel,
    YesNo,
    OkCancelDefaultCancel,
    YesNoDefaultNo,
    YesNoCancel
};
enum class Answer { Ok, Cancel, Yes, No };

// The one wording of the file filters, wherever a workbook or a backup is chosen.
inline const QString kWorkbookFilter = QStringLiteral("Excel 文件 (*.xls)");
inline const QString kBackupFilter = QStringLiteral("备份文件 (*.bak)");

struct FileRequest {
    // OpenMany: one or more existing files, in the order the user chose them; Folder: an
    // existing folder.
    enum class Kind { Save, Open, OpenMany, Folder } kind = Kind::Save;
    QString caption;
    QString defaultSuffix; // "xls", "bak": added when the user types a name without one
    QString filter;        // e.g. "Excel 文件 (*.xls)"
    QString suggestedName; // file name or path proposed to the user
    QString directory;     // the folder the dialog opens in; empty: the working directory
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer message(QWidget *parent, const QString &caption, const QString &text, Icon icon,
                           Buttons buttons = Buttons::Ok) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> file(QWidget *parent, const FileRequest &request) = 0;
    // The chosen paths for Kind::OpenMany (never empty), or nothing when the user
    // cancelled. Prompters that choose one file at a time give that one.
    virtual std::optional<QStringList> openFiles(QWidget *parent, const FileRequest &request)
    {
        const auto one = file(parent, request);
        return one ? std::optional<QStringList>(QStringList{*one}) : std::nullopt;
    }
    // The application's standard error box for failures no window handles itself.
    virtual void error(QWidget *parent, const QString &text) = 0;
};

// The prompter in use; the production one unless a test installed another.
Prompter &prompter();
// Installs p (not owned); nullptr puts the production prompter back.
void setPrompter(Prompter *p);

} // namespace kestrova::ui
