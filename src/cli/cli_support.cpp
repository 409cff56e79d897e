#include "cli/cli_support.h"

#include "data/store.h"

#include <cstdio>

namespace kestrova::cli {

Options parseOptions(const QStringList &args, const QStringList &allowed, int minWords, int maxWords)
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
                    throw UsageError(QStringLiteral("选项 %1 缺少取值").arg(a));
                value = args[++i];
            }
            if (!allowed.contains(name))
                throw UsageError(QStringLiteral("未知选项：%1").arg(name));
            if (o.values.contains(name))
                throw UsageError(QStringLiteral("选项 %1 给了两次").arg(name));
            o.values.insert(name, value);
        } else {
            if (a.isEmpty())
                throw UsageError(QStringLiteral("参数不能为空"));
            o.positional << a;
        }
    }
    if (maxWords >= 0 && o.positional.size() > maxWords)
        throw UsageError(QStringLiteral("多余的参数：%1").arg(o.positional.mid(maxWords).join(QLatin1Char(' '))));
    if (o.positional.size() < minWords)
        throw UsageError(QStringLiteral("缺少参数"));
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
        // Only a missing database is what init makes; a damaged, locked or foreign one is not.
        if (e.kind() == DbError::Kind::Missing)
            throw CliError(e.message() + QStringLiteral("（可先运行 kestrova-cli init）"));
        throw CliError(e.message());
    }
}

QString tsvCell(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QStringLiteral("\\\\"); break;
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\0': out += QStringLiteral("\\0"); break;
        default: out += c;
        }
    }
    return out;
}

QString tsvLine(const QStringList &cells)
{
    QStringList escaped;
    for (const QString &c : cells)
        escaped << tsvCell(c);
    return escaped.join(QLatin1Char('\t'));
}

} // namespace kestrova::cli
