#include "SubCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"

SubCommand::SubCommand(ServiceClient& client, Printer& printer, const QCommandLineParser& options)
    : m_client(client)
    , m_printer(printer)
    , m_options(options)
{
}

int SubCommand::usage(const QString& message) const
{
    m_printer.error(message + QStringLiteral(" (see cmctl --help)"));
    return ExitStatus::Usage;
}

int SubCommand::failed() const
{
    m_printer.error(m_client.error());
    return m_client.errorStatus();
}

int SubCommand::number(const QString& word, const QString& what) const
{
    bool ok = false;
    const int value = word.toInt(&ok);
    if (!ok || value < 0) {
        usage(QStringLiteral("%1 must be a number, not \"%2\"").arg(what, word));
        return -1;
    }
    return value;
}
