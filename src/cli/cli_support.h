#pragma once
// What every kestrova-cli command shares: option parsing, output, the database.
#include "data/database.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

namespace kestrova::cli {

// A refusal or failure: printed on stderr, exit status 1.
class CliError : public std::runtime_error {
public:
    explicit CliError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Arguments the command does not take: printed with the command's usage, exit status 2.
class UsageError : public CliError {
public:
    using CliError::CliError;
};

struct Options {
    QMap<QString, QString> values; // "--year" -> "2013"
    QStringList positional;
    QString value(const QString &name, const QString &fallback = {}) const { return values.value(name, fallback); }
    bool has(const QString &name) const { return values.contains(name); }
};

// Splits args into "--name value" pairs (only the names allowed) and positional words, of
// which the command takes from minWords to maxWords (-1: no limit). Anything else (an
// unknown, repeated or valueless option, a word too many or too few, an empty word) is a
// UsageError, thrown before the command does anything.
Options parseOptions(const QStringList &args, const QStringList &allowed, int minWords = 0, int maxWords = 0);

// A cell on one TSV line: what would end the cell or the line, or read as an escape,
// is escaped, so every line has its columns and each text comes back as it was.
QString tsvCell(const QString &text);
// The cells as one TSV line.
QString tsvLine(const QStringList &cells);

void printOut(const QString &text); // stdout, UTF-8, adds a newline
void printErr(const QString &text); // stderr, UTF-8, adds a newline

// The application directory's database; it must exist and be this program's.
std::unique_ptr<Database> openExistingStore();

} // namespace kestrova::cli
