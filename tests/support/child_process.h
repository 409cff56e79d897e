#pragma once
// Starting the independent programs the tests check against (Python with xlrd/xlwt,
// headless LibreOffice) the same way whatever shell the tests run from.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace kestrova::test {

// The system interpreter carries the Debian xlrd and xlwt packages; another one first on
// PATH may not.
inline QString systemPython()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

// LibreOffice and Python decode file names, arguments and sheet names by the locale, so
// the child gets a UTF-8 one even when the tests were started without LANG.
inline void useUtf8Locale(QProcess &p)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    p.setProcessEnvironment(env);
}

} // namespace kestrova::test
