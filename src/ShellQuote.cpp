#include "ShellQuote.h"

QString ShellQuote::quote(const QString& piece)
{
    QString quoted = piece;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool ShellQuote::isQuotable(const QString& piece)
{
    return !piece.contains(QChar(0));
}
