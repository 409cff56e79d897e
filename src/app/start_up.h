#pragma once
// The start-up sequence: the database, the login gate, the task record.
#include <QString>

class QWidget;

namespace kestrova::ui {

class StartUp {
public:
    enum class Outcome {
        Enter,          // the user is in; the context holds the task record
        Quit,           // the user gave up at the login or first-account window
        DatabaseFailed  // the database could not be opened; error() says why
    };

    // Runs once, before the main window is shown. Creates the database when it is missing.
    Outcome run(QWidget *parent);
    QString error() const { return m_error; }

private:
    QString m_error;
};

} // namespace kestrova::ui
