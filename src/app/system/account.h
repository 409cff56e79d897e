#pragma once
// The single user account in userinfo: reading it, checking a login, saving it.
#include <QString>

#include <optional>

namespace kestrova {

class Database;

enum class AccountField { UserName, Password, Confirmation };
struct AccountProblem {
    QString message;
    AccountField focus;
};

bool hasAccount(Database &db);
// f2 of the first row, or empty.
QString accountUserName(Database &db);
// Whether the password opens the account of that user name. An empty password never does.
bool checkLogin(Database &db, const QString &userName, const QString &password);

// The account window's checks, in order: the first failing one, or nothing.
// trimmedPasswords: maintenance mode, where the stored password loses its surrounding
// spaces, so a password of spaces only is refused rather than stored empty.
std::optional<AccountProblem> checkAccountInput(const QString &userName, const QString &password,
                                                const QString &confirmation, bool trimmedPasswords);

// First account: userinfo is replaced by one row, name and password exactly as typed.
void saveFirstAccount(Database &db, const QString &userName, const QString &password);
// Maintenance: the first row gets the name and password with surrounding spaces removed.
void updateAccount(Database &db, const QString &userName, const QString &password);

} // namespace kestrova
