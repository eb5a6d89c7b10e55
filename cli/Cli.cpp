#include "Cli.h"

#include "CallCommand.h"
#include "CompleteCommand.h"
#include "DirectCommand.h"
#include "ExitStatus.h"
#include "LayoutCommand.h"
#include "PaperCommand.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "StatusCommand.h"
#include "TableCommand.h"
#include "WatchCommand.h"
#include "ls/ServiceId.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <memory>

namespace {
const QString jsonOption = QStringLiteral("json");
const QString addressOption = QStringLiteral("address");
const QString senderOption = QStringLiteral("sender");
const QStringList globalOptions { jsonOption, addressOption, senderOption };

// Marks a word that reads as a negative number, so that the parser takes it for a value.
const QChar negativeMark(0x1);

QStringList protectNegativeNumbers(const QStringList& arguments)
{
    static const QRegularExpression negative(QStringLiteral("^-[0-9.]"));
    QStringList result;
    for (const QString& argument : arguments) {
        result << (negative.match(argument).hasMatch() ? negativeMark + argument : argument);
    }
    return result;
}

QStringList unprotect(QStringList words)
{
    for (QString& word : words) {
        if (word.startsWith(negativeMark)) {
            word.remove(0, 1);
        }
    }
    return words;
}

std::unique_ptr<SubCommand> family(
    const QString& name, ServiceClient& client, Printer& printer, const QCommandLineParser& parser)
{
    if (name == QLatin1String("status")) {
        return std::make_unique<StatusCommand>(client, printer, parser);
    }
    if (name == QLatin1String("layout")) {
        return std::make_unique<LayoutCommand>(client, printer, parser);
    }
    if (name == QLatin1String("paper")) {
        return std::make_unique<PaperCommand>(client, printer, parser);
    }
    if (name == QLatin1String("table")) {
        return std::make_unique<TableCommand>(client, printer, parser);
    }
    if (name == QLatin1String("get") || name == QLatin1String("set")) {
        return std::make_unique<DirectCommand>(name == QLatin1String("set"), client, printer, parser);
    }
    if (name == QLatin1String("watch")) {
        return std::make_unique<WatchCommand>(client, printer, parser);
    }
    if (name == QLatin1String("call")) {
        return std::make_unique<CallCommand>(client, printer, parser);
    }
    if (name == QLatin1String("__complete")) {
        return std::make_unique<CompleteCommand>(client, printer, parser);
    }
    return nullptr;
}
} // namespace

QString Cli::helpText()
{
    return QStringLiteral(R"(Usage: cmctl [OPTIONS] COMMAND [WORDS...]

Looks at and changes the configuration of the embosser through the running
configuration service (com.corvanebraille.ConfigurationManager) on the D-Bus
system bus.

Commands:
  status                      model, serial number, firmware date, active layout,
                              numbers of layouts and user papers, HTTPS, time zone
  layout list                 the layouts: number, name, paper, characters x lines,
                              the active one marked
  layout show N               every parameter of layout N
  layout activate N           makes layout N the active one
  layout add                  adds a layout and prints its number
  layout delete N             deletes layout N
  layout set N NAME=VALUE...  changes parameters of layout N; the service repairs the
                              values that depend on them, cmctl prints each change
                              ("repaired" for those the service made) and then
                              writes the layout. NAME is the parameter's name, with
                              or without blanks ("Line per page", LinePerPage).
                              --dry-run prints the changes without writing.
  layout backup [N...]        backs the layouts up (all when none are given) in the
                              embosser, or on the USB stick with --usb
  layout backups [PLACE]      the backups a place offers: local (default), usb or
                              distributor, by folder
  layout restore PLACE [FOLDER] [N...]
                              restores layouts (all when none are given): local or
                              usb from FOLDER (the newest backup without one),
                              distributor from the layout set FOLDER, or factory;
                              layout 1 is active afterwards
  paper list                  the user papers
  paper show N                user paper N
  paper add WIDTH HEIGHT      adds a user paper (--unit mm|in, default mm;
                              --orientation N, default 0) and prints its number
  paper delete N              deletes user paper N; refused while a layout uses it
  table list                  the braille tables the layouts may use, by dot count
                              (--dots 6 or 8 for one of them), and the user tables
  table info LANGUAGE TABLE   the metadata of a liblouis table, or of a legacy
                              table when TABLE ends in .ebc
  get NAME [ARG...]           calls the direct getter NAME or getNAME
  set NAME VALUE [ARG...]     calls the direct setter NAME or setNAME
                              Names ignore case (get https). --catalog C names the
                              parameter catalog (default masterCollectionKey);
                              set --save writes the value through to its file.
                              The method's overload is the one whose introspected
                              signature takes the values given; a value that does
                              not convert to it is a usage error.
  watch                       prints each notification as it arrives, until
                              interrupted (--count N: stop after N)
  call COMMAND SUBCOMMAND [KEY=VALUE...]
                              sends any request of the command protocol and prints
                              the result map

Values of call: a whole number is an int, a decimal number (1.5, 2.) a double,
true or false a bool, anything else a text. A prefix overrides the rule:
i:7 int, d:7 double, b:true bool, s:7 text, j:[1,3] or j:{"k":1} JSON (lists and
maps). Example: cmctl call Layout SetActive layoutNr=3

Options:
  --json             machine-readable output: one JSON document (one JSON object a
                     line for watch)
  --address ADDRESS  the bus to use (default: the system bus, or the address in
                     DBUS_SYSTEM_BUS_ADDRESS)
  --sender ID        the sender id of requests (default Panel)
  --catalog C, --save, --dry-run, --usb, --dots 6|8, --unit mm|in,
  --orientation N, --count N
                     options of the commands above
  -h, --help         this text
  -v, --version      the version
A value that begins with "-" (a negative number) is taken as a value; "--" ends
the options.

Exit status:
  0  success
  1  the service answered a failure (its error id on stderr)
  2  usage error: unknown command, name or option, or a value that does not convert
  3  the service cannot be reached (no bus, not running, no answer)
)");
}

int Cli::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        { jsonOption, QString() },
        { addressOption, QString(), QStringLiteral("address") },
        { senderOption, QString(), QStringLiteral("id"), ls::ServiceId::Panel },
        { QStringLiteral("catalog"), QString(), QStringLiteral("catalog") },
        { QStringLiteral("save"), QString() },
        { QStringLiteral("dry-run"), QString() },
        { QStringLiteral("usb"), QString() },
        { QStringLiteral("dots"), QString(), QStringLiteral("n") },
        { QStringLiteral("unit"), QString(), QStringLiteral("unit") },
        { QStringLiteral("orientation"), QString(), QStringLiteral("n") },
        { QStringLiteral("count"), QString(), QStringLiteral("n") },
        { { QStringLiteral("h"), QStringLiteral("help") }, QString() },
        { { QStringLiteral("v"), QStringLiteral("version") }, QString() },
    });
    Printer printer(false);
    if (!parser.parse(protectNegativeNumbers(arguments))) {
        printer.error(parser.errorText() + QStringLiteral(" (see cmctl --help)"));
        return ExitStatus::Usage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        printer.line(helpText().trimmed());
        return ExitStatus::Success;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        printer.line(QStringLiteral("cmctl %1").arg(QCoreApplication::applicationVersion()));
        return ExitStatus::Success;
    }
    const QStringList words = unprotect(parser.positionalArguments());
    if (words.isEmpty()) {
        printer.error(QStringLiteral("no command given (see cmctl --help)"));
        return ExitStatus::Usage;
    }
    const QString sender = parser.value(senderOption);
    if (!ls::ServiceId::meta.contains(sender)) {
        printer.error(QStringLiteral("unknown sender id \"%1\"; known: %2")
                          .arg(sender, ls::ServiceId::meta.keys().join(QStringLiteral(", "))));
        return ExitStatus::Usage;
    }
    Printer output(parser.isSet(jsonOption));
    ServiceClient client(parser.value(addressOption), sender);
    const std::unique_ptr<SubCommand> command = family(words.first(), client, output, parser);
    if (!command) {
        printer.error(QStringLiteral("unknown command \"%1\" (see cmctl --help)").arg(words.first()));
        return ExitStatus::Usage;
    }
    const QStringList accepted = command->options() + globalOptions;
    for (const QString& option : parser.optionNames()) {
        if (!accepted.contains(option)) {
            printer.error(QStringLiteral("%1 takes no option --%2").arg(words.first(), option));
            return ExitStatus::Usage;
        }
    }
    return command->run(words.mid(1));
}
