#include "cli/cli_support.h"

#include "data/store.h"

#include <cstdio>

namespace kestrova::cli {

Options parseOptions(const QStringList &args, const QStringList &allowed)
{
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a.startsWith(QLatin1String("--"))) {
            QString name = a, value;
            const int eq = a.indexOf(QLatin1Char('='));
            if (eq > 0) {
                name = a.left(eq);
                value = a.mid(eq + 1);
            } else {
                if (i + 1 >= args.size())
                    throw CliError(QStringLiteral("选项 %1 缺少取值").arg(a));
                value = args[++i];
            }
            if (!allowed.contains(name))
                throw CliError(QStringLiteral("未知选项：%1").arg(name));
            o.values.insert(name, value);
        } else {
            o.positional << a;
        }
    }
    return o;
}

void printOut(const QString &text)
{
    const QByteArray b = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
}

void printErr(const QString &text)
{
    std::fflush(stdout);
    const QByteArray b = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stderr);
}

std::unique_ptr<Database> openExistingStore()
{
    try {
        return openStore(StoreOpen::MustExist);
    } catch (const DbError &e) {
        throw CliError(QString::fromStdString(e.what()) + QStringLiteral("（可先运行 kestrova-cli init）"));
    }
}

} // namespace kestrova::cli
