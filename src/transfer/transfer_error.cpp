#include "transfer/transfer_error.h"

namespace kestrova::transfer {

namespace {
QString joined(const QString &message, const QString &cause)
{
    return cause.isEmpty() ? message : message + QLatin1Char('\n') + cause;
}
} // namespace

TransferError::TransferError(const QString &message, const QString &cause)
    : std::runtime_error(joined(message, cause).toStdString()), m_message(message), m_cause(cause)
{
}

QString TransferError::fullText() const
{
    return joined(m_message, m_cause);
}

} // namespace kestrova::transfer
