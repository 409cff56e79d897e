#pragma once
#include <QString>

#include <stdexcept>

namespace kestrova::reports {

// A failure while building or exporting a report, with the text shown to the user.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace kestrova::reports
