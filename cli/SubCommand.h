#pragma once

#include <QStringList>

class Printer;
class QCommandLineParser;
class ServiceClient;

// One family of cmctl's sub-commands ("layout", "paper", "get"...). The command line has been
// parsed once for all families; a family reads its words and the options it accepts, talks to the
// service and answers an exit status (ExitStatus.h).
class SubCommand {
public:
    SubCommand(ServiceClient& client, Printer& printer, const QCommandLineParser& options);
    virtual ~SubCommand() = default;

    // The options (long names) this family accepts beside the global ones.
    virtual QStringList options() const { return {}; }
    // words: the family's own words, its name excluded.
    virtual int run(const QStringList& words) = 0;

protected:
    // Prints the message and answers the usage status.
    int usage(const QString& message) const;
    // Prints the client's last error and answers its status (refused or unreachable).
    int failed() const;
    // A number given on the command line, or -1 with a usage message.
    int number(const QString& word, const QString& what) const;

    ServiceClient& m_client;
    Printer& m_printer;
    const QCommandLineParser& m_options;
};
