#include "LogPrefix.h"

namespace libcorvane {

QString logPrefix(const char* functionSignature, const char* tag)
{
    const QString signature = QString::fromLatin1(functionSignature);
    int open = signature.indexOf(QLatin1Char('('));
    if (open < 0) {
        open = signature.size();
    }
    // Skip template argument lists of the return type: the name starts after the last blank
    // that is not inside angle brackets.
    int depth = 0;
    int start = 0;
    for (int i = 0; i < open; ++i) {
        const QChar c = signature.at(i);
        if (c == QLatin1Char('<')) {
            ++depth;
        } else if (c == QLatin1Char('>')) {
            --depth;
        } else if (c == QLatin1Char(' ') && depth == 0) {
            start = i + 1;
        }
    }
    QString name = signature.mid(start, open - start);
    while (name.startsWith(QLatin1Char('*')) || name.startsWith(QLatin1Char('&'))) {
        name.remove(0, 1);
    }
    if (tag) {
        name += QLatin1Char(' ') + QLatin1String(tag);
    }
    return name;
}

} // namespace libcorvane
