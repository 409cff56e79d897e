#pragma once
// Every message box and file dialog of the program goes through the Prompter, so
// tests can answer them and see what was asked. Production shows QMessageBox and
// QFileDialog; tests install a ScriptedPrompter (tests/support/scripted_prompter.h).
#include <QString>

#include <optional>

class QWidget;

namespace kestrova::ui {

enum class Icon { None, Information, Warning, Critical, Question };
// YesNoDefaultNo: a question whose safe answer is No (Enter and Esc answer No).
enum class Buttons { Ok, OkCancel, YesNo, YesNoDefaultNo };
enum class Answer { Ok, Cancel, Yes, No };

struct FileRequest {
    enum class Kind { Save, Open, Folder } kind = Kind::Save; // Folder: an existing folder
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
    // The application's standard error box for failures no window handles itself.
    virtual void error(QWidget *parent, const QString &text) = 0;
};

// The prompter in use; the production one unless a test installed another.
Prompter &prompter();
// Installs p (not owned); nullptr puts the production prompter back.
void setPrompter(Prompter *p);

} // namespace kestrova::ui
