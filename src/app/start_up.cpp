#include "app/start_up.h"

#include "app/login_window.h"
#include "app/system/account.h"
#include "app/ui/modal.h"
#include "app/ui/window_registry.h"
#include "app/users_window.h"
#include "data/app_home.h"
#include "data/context.h"
#include "data/record_columns.h"
#include "data/store.h"
#include "data/task_record.h"

namespace kestrova::ui {

StartUp::Outcome StartUp::run(QWidget *parent)
{
    // Dates and times: every text the program makes goes through datetime_text.h, which
    // writes yyyy-MM-dd and H:mm:ss itself, so the desktop's settings are left alone.
    bool accountExists = false;
    try {
        auto db = openStore(StoreOpen::CreateIfMissing);
        accountExists = hasAccount(*db);
    } catch (const DbError &e) {
        m_error = e.message();
        return Outcome::DatabaseFailed;
    }

    if (accountExists) {
        auto *login = new LoginWindow(parent);
        noteWindow(QStringLiteral("Tlogin"), login);
        if (showModal(login) != QDialog::Accepted)
            return Outcome::Quit;
    } else {
        auto *users = new UsersWindow(UsersWindow::Mode::FirstAccount, parent);
        noteWindow(QStringLiteral("TFrmusers"), users);
        const int result = showModal(users);
        users->deleteLater();
        if (result != QDialog::Accepted)
            return Outcome::Quit;
    }

    try {
        auto db = openStore(StoreOpen::MustExist);
        loadTaskIntoContext(*db);
        context().userName = accountUserName(*db);
    } catch (const DbError &e) {
        m_error = e.message();
        return Outcome::DatabaseFailed;
    }
    // Report windows read every record; reading them now, while the user finds a menu,
    // lets the first one open at once.
    warmRecordColumns(databasePath());
    return Outcome::Enter;
}

} // namespace kestrova::ui
