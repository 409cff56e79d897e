#include "app/system/account.h"

#include "app/system/password_hash.h"
#include "data/database.h"

namespace kestrova {

bool hasAccount(Database &db)
{
    return db.scalar(QStringLiteral("SELECT count(*) FROM userinfo")) != QLatin1String("0");
}

QString accountUserName(Database &db)
{
    return db.scalar(QStringLiteral("SELECT f2 FROM userinfo ORDER BY rowid LIMIT 1"));
}

bool checkLogin(Database &db, const QString &userName, const QString &password)
{
    if (password.isEmpty())
        return false;
    Statement st = db.prepare(QStringLiteral("SELECT passwd FROM userinfo WHERE f2 = ?1 ORDER BY rowid LIMIT 1"));
    st.bind(1, userName);
    const QString stored = st.next() ? st.text(0) : QString();
    return verifyPassword(password, stored);
}

std::optional<AccountProblem> checkAccountInput(const QString &userName, const QString &password,
                                                const QString &confirmation, bool trimmedPasswords)
{
    if (userName.trimmed().isEmpty())
        return AccountProblem{QStringLiteral("请输入用户名！"), AccountField::UserName};
    if (password.isEmpty() || confirmation.isEmpty() || (trimmedPasswords && password.trimmed().isEmpty()))
        return AccountProblem{QStringLiteral("请填入密码！"), AccountField::Password};
    if (password != confirmation)
        return AccountProblem{QStringLiteral("密码和确认密码不一致，请重新填写！"), AccountField::Confirmation};
    return std::nullopt;
}

void saveFirstAccount(Database &db, const QString &userName, const QString &password)
{
    const QString hash = hashPassword(password);
    Transaction tx(db);
    db.exec(QStringLiteral("DELETE FROM userinfo"));
    db.exec(QStringLiteral("INSERT INTO userinfo(f2, passwd) VALUES (?1, ?2)"), {userName, hash});
    tx.commit();
}

void updateAccount(Database &db, const QString &userName, const QString &password)
{
    const QString hash = hashPassword(password.trimmed());
    Transaction tx(db);
    const QString first = db.scalar(QStringLiteral("SELECT rowid FROM userinfo ORDER BY rowid LIMIT 1"));
    if (first.isEmpty())
        db.exec(QStringLiteral("INSERT INTO userinfo(f2, passwd) VALUES (?1, ?2)"), {userName.trimmed(), hash});
    else
        db.exec(QStringLiteral("UPDATE userinfo SET f2 = ?1, passwd = ?2 WHERE rowid = ?3"),
                {userName.trimmed(), hash, first.toLongLong()});
    tx.commit();
}

} // namespace kestrova
