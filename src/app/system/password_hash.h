#pragma once
// Passwords are kept as salted Argon2id hashes, never as the typed text.
#include <QString>

namespace kestrova {

// An encoded hash of the password ("$argon2id$..."), with a fresh random salt.
// Throws std::runtime_error when the hash cannot be made (out of memory).
QString hashPassword(const QString &password);
// Whether password matches what userinfo holds. Exact: letter case and spaces count.
bool verifyPassword(const QString &password, const QString &stored);
// Whether a stored value is one of our hashes (and not text written by something else).
bool isPasswordHash(const QString &stored);

} // namespace kestrova
