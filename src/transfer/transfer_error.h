#pragma once
// A failed transfer: the message the user is shown, and what exactly went wrong.
#include <QString>

#include <stdexcept>

namespace kestrova::transfer {

class TransferError : public std::runtime_error {
public:
    TransferError(const QString &message, const QString &cause = {});
    QString message() const { return m_message; }
    QString cause() const { return m_cause; }
    // The message, with the cause on a line of its own when there is one.
    QString fullText() const;

private:
    QString m_message;
    QString m_cause;
};

} // namespace kestrova::transfer
