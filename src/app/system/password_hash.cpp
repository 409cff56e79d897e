#include "app/system/password_hash.h"

#include <sodium.h>

#include <stdexcept>

namespace kestrova {

namespace {
void ensureSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("libsodium could not be initialised");
}
} // namespace

QString hashPassword(const QString &password)
{
    ensureSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("密码加密失败：内存不足");
    return QString::fromLatin1(out);
}

bool isPasswordHash(const QString &stored)
{
    return stored.startsWith(QLatin1String("$argon2"));
}

bool verifyPassword(const QString &password, const QString &stored)
{
    if (password.isEmpty() || stored.isEmpty())
        return false;
    const QByteArray utf8 = password.toUtf8();
    if (!isPasswordHash(stored)) {
        // A row written by another tool holds the text itself; compare without leaking timing.
        const QByteArray plain = stored.toUtf8();
        return plain.size() == utf8.size() && sodium_memcmp(plain.constData(), utf8.constData(), utf8.size()) == 0;
    }
    ensureSodium();
    const QByteArray encoded = stored.toLatin1();
    return crypto_pwhash_str_verify(encoded.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

} // namespace kestrova
