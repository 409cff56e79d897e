#include "records/numeric_typing.h"

namespace kestrova {

qsizetype numericStopIndex(const QString &text)
{
    enum State { Lead, Sign, Int, Dot, Frac, Exp, ExpSign, ExpDigits };
    State s = Lead;
    bool digitsBefore = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool sign = c == QLatin1Char('+') || c == QLatin1Char('-');
        const bool dot = c == QLatin1Char('.');
        const bool e = c == QLatin1Char('e') || c == QLatin1Char('E');
        switch (s) {
        case Lead:
            if (c == QLatin1Char(' ')) continue;
            if (sign) { s = Sign; continue; }
            [[fallthrough]];
        case Sign:
            if (digit) { s = Int; digitsBefore = true; continue; }
            if (dot) { s = Dot; continue; }
            return i;
        case Int:
            if (digit) continue;
            if (dot) { s = Dot; continue; }
            if (e) { s = Exp; continue; }
            return i;
        case Dot:
            if (digit) { s = Frac; continue; }
            if (e && digitsBefore) { s = Exp; continue; }
            return i;
        case Frac:
            if (digit) continue;
            if (e) { s = Exp; continue; }
            return i;
        case Exp:
            if (sign) { s = ExpSign; continue; }
            [[fallthrough]];
        case ExpSign:
            if (digit) { s = ExpDigits; continue; }
            return i;
        case ExpDigits:
            if (digit) continue;
            return i;
        }
    }
    return -1;
}

QString numericTyped(const QString &text)
{
    QString t = text;
    for (qsizetype i = numericStopIndex(t); i >= 0; i = numericStopIndex(t))
        t.remove(i, 1);
    return t;
}

} // namespace kestrova
