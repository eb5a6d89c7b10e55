#include "Console.h"

#include "ConfigurationManager.h"
#include "libcorvane/LogPrefix.h"
#include "ls/BrailleTableCmdId.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/LayoutCmdId.h"
#include "ls/PrintCmdId.h"
#include "ls/SslCmdId.h"
#include "ls/UserPaperCmdId.h"

#include "ls/ConsoleReader.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"
#include <QHash>

CM_LOGGING_CATEGORY(lcConsole, "Console")

namespace {

// The sub-command family the console numbers for each command, with its help banner.
struct Family {
    const ls::MetaEnum* subCommands;
    const char* banner;
};

const QHash<QString, Family>& families()
{
    static const QHash<QString, Family> table {
        { ls::ConfigManagerCmdId::Layout, { &ls::LayoutCmdId::meta, "=========== Layout ===========" } },
        { ls::ConfigManagerCmdId::UserPaper, { &ls::UserPaperCmdId::meta, "========== UserPaper ==========" } },
        { ls::ConfigManagerCmdId::Print, { &ls::PrintCmdId::meta, "============ Print ============" } },
        { ls::ConfigManagerCmdId::Ssl, { &ls::SslCmdId::meta, "============= Ssl =============" } },
        { ls::ConfigManagerCmdId::BrailleTable,
            { &ls::BrailleTableCmdId::meta, "============= BrailleTable =============" } },
    };
    return table;
}

// What a console line gives a sub-command of `Layout`: the integer after the sub-command number,
// the first additional-data entry, both, or nothing. The rest the console cannot fill.
enum class LayoutParameters { None, Number, NumberAndProperty, Enabled, Model, Table, Unsupported };

LayoutParameters layoutParameters(const QString& subCommand)
{
    using namespace ls::LayoutCmdId;
    static const QHash<QString, LayoutParameters> table {
        { GetActive, LayoutParameters::None },
        { SetActive, LayoutParameters::Number },
        { AddLayout, LayoutParameters::None },
        { DeleteLayout, LayoutParameters::Number },
        { ReadLayout, LayoutParameters::Number },
        { ReadAllLayouts, LayoutParameters::None },
        { Test_WriteLayout, LayoutParameters::Number },
        { GetPropertyValues, LayoutParameters::NumberAndProperty },
        { Test_GetPropertyValues, LayoutParameters::NumberAndProperty },
        { ReadParameterList, LayoutParameters::None },
        { ReadValueList, LayoutParameters::None },
        { ReadDocSettingList, LayoutParameters::None },
        { BackupDownload, LayoutParameters::None },
        { RestoreFactory, LayoutParameters::None },
        { GetLocalBackups, LayoutParameters::None },
        { GetUsbBackups, LayoutParameters::Model },
        { GetDistributorBackups, LayoutParameters::Model },
        { GetPaperSize, LayoutParameters::None },
        { GetUseAdjustableLS, LayoutParameters::None },
        { SetUseAdjustableLS, LayoutParameters::Enabled },
        { GetLiblouisTables, LayoutParameters::None },
        { GetLegacyTables, LayoutParameters::None },
        { GetLegacyTableDisplayName, LayoutParameters::Table },
    };
    return table.value(subCommand, LayoutParameters::Unsupported);
}

QString layoutParameterHelp(const QString& subCommand)
{
    switch (layoutParameters(subCommand)) {
    case LayoutParameters::None:
        return QStringLiteral("params: None");
    case LayoutParameters::Number:
        return QStringLiteral("params: [Layout Number]");
    case LayoutParameters::NumberAndProperty:
        return QStringLiteral("params: [Layout Number] [Property Name - use ADD action]");
    case LayoutParameters::Enabled:
        return QStringLiteral("params: [Enabled]");
    case LayoutParameters::Model:
        return QStringLiteral("[Model Name - use ADD action]");
    case LayoutParameters::Table:
        return QStringLiteral("[Table - use ADD action]");
    case LayoutParameters::Unsupported:
        break;
    }
    return subCommand + QStringLiteral(" is not supported in console");
}

void printEntries(const ls::MetaEnum& family)
{
    const QStringList keys = family.keys();
    for (int i = 0; i < keys.size(); ++i) {
        qCDebug(lcConsole).noquote() << QStringLiteral("  %1 %2").arg(i).arg(keys.at(i));
    }
}

} // namespace

Console::Console(ConfigurationManager* manager)
    : QObject(manager)
    , m_manager(manager)
    , m_reader(new ls::ConsoleReader(this))
{
    connect(m_reader, &ls::ConsoleReader::textReceived, this, &Console::onTextReceived);
    connect(manager, &ConfigurationManager::notification, this, &Console::printNotification, Qt::DirectConnection);
}

void Console::onTextReceived(const QString& line)
{
    handleLine(line);
}

void Console::handleLine(const QString& line)
{
    const QString word = line.trimmed().toUpper();
    bool handled = false;
    // "CLEAR" before "C": a line starting with CLEAR never sends a command.
    if (word.startsWith(QLatin1String("HELP"))) {
        handled = help(line);
    } else if (word.startsWith(QLatin1String("ADD"))) {
        handled = add(line);
    } else if (word.startsWith(QLatin1String("CLEAR"))) {
        handled = clear();
    } else if (word.startsWith(QLatin1String("C"))) {
        handled = sendCommand(line);
    }
    if (!handled) {
        printHelpScreen();
    }
}

void Console::printHelpScreen() const
{
    for (const char* text : { "================= Help =================",
             "C [command id] [sub command id] [parameter] ...", "For displaying all available commands type HELP C",
             "For displaying all sub commands for a command, type HELP [command id]",
             "For displaying all parameters for a sub command, type HELP [command id] [sub command id]",
             "For adding additional string data to commands type ADD [string data]",
             "For clearing additional string data type CLEAR", "========================================" }) {
        qCDebug(lcConsole).noquote() << text;
    }
}

bool Console::add(const QString& line)
{
    const QStringList parts = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 2) {
        LOG_ERROR(lcConsole) << "No arguments received for ADD action.";
        return false;
    }
    QString data = line.simplified().section(QLatin1Char(' '), 1);
    data.remove(QLatin1Char('"'));
    m_additionalData.append(data);
    LOG_DEBUG(lcConsole) << "Additional data added:" << data;
    return true;
}

bool Console::clear()
{
    m_additionalData.clear();
    LOG_DEBUG(lcConsole) << "Additional data has been cleared";
    return true;
}

bool Console::help(const QString& line) const
{
    const QString simplified = line.simplified();
    if (simplified.compare(QLatin1String("HELP C"), Qt::CaseInsensitive) == 0) {
        qCDebug(lcConsole).noquote() << "========== Commands ==========";
        printEntries(ls::ConfigManagerCmdId::meta);
        qCDebug(lcConsole).noquote() << "==============================";
        return true;
    }
    const QStringList parts = simplified.split(QLatin1Char(' '));
    if (parts.size() < 2) {
        LOG_ERROR(lcConsole) << "No arguments received for help.";
        return false;
    }
    bool ok = false;
    const int number = parts.at(1).toInt(&ok);
    if (!ok) {
        LOG_ERROR(lcConsole) << "Parsing the command line failed!";
        return false;
    }
    const QString command = ls::ConfigManagerCmdId::meta.valueToKey(number);
    if (command.isEmpty()) {
        qCDebug(lcConsole).noquote() << "Command not found!";
        return true;
    }
    const auto family = families().constFind(command);
    if (family == families().constEnd()) {
        qCDebug(lcConsole).noquote() << "Not implemented yet!";
        return true;
    }
    if (parts.size() > 2 && command == ls::ConfigManagerCmdId::Layout) {
        return parameterHelp(*family->subCommands, parts);
    }
    const QString banner = QString::fromLatin1(family->banner);
    qCDebug(lcConsole).noquote() << banner;
    printEntries(*family->subCommands);
    qCDebug(lcConsole).noquote() << QString(banner.size(), QLatin1Char('='));
    return true;
}

bool Console::parameterHelp(const ls::MetaEnum& subCommands, const QStringList& parts) const
{
    bool ok = false;
    const int number = parts.value(2).toInt(&ok);
    if (!ok) {
        LOG_ERROR(lcConsole) << "Parsing the sub command line failed!";
        return false;
    }
    const QString subCommand = subCommands.valueToKey(number);
    qCDebug(lcConsole).noquote() << (subCommand.isEmpty() ? QStringLiteral("Sub command not found!")
                                                          : layoutParameterHelp(subCommand));
    return true;
}

bool Console::processLayoutCommand(const QString& subCommand, const QStringList& parts, QVariantMap& request) const
{
    const LayoutParameters wanted = layoutParameters(subCommand);
    if (wanted == LayoutParameters::Unsupported) {
        qCDebug(lcConsole).noquote() << layoutParameterHelp(subCommand);
        return false;
    }
    bool hasNumber = false;
    const int number = parts.value(3).toInt(&hasNumber);
    const bool needsNumber = wanted == LayoutParameters::Number || wanted == LayoutParameters::NumberAndProperty
        || wanted == LayoutParameters::Enabled;
    const bool needsData = wanted == LayoutParameters::NumberAndProperty || wanted == LayoutParameters::Model
        || wanted == LayoutParameters::Table;
    if ((needsNumber && !hasNumber) || (needsData && m_additionalData.isEmpty())) {
        LOG_ERROR(lcConsole) << subCommand << layoutParameterHelp(subCommand);
        return false;
    }
    switch (wanted) {
    case LayoutParameters::Number:
        request.insert(ls::layoutNrKey, number);
        break;
    case LayoutParameters::NumberAndProperty:
        request.insert(ls::layoutNrKey, number);
        request.insert(ls::propertyNameKey, m_additionalData.first());
        break;
    case LayoutParameters::Enabled:
        request.insert(ls::enabledKey, number != 0);
        break;
    case LayoutParameters::Model:
        request.insert(ls::modelKey, m_additionalData.first());
        break;
    case LayoutParameters::Table:
        request.insert(ls::tableNameKey, m_additionalData.first());
        break;
    case LayoutParameters::None:
    case LayoutParameters::Unsupported:
        break;
    }
    return true;
}

bool Console::sendCommand(const QString& line)
{
    const QStringList parts = line.simplified().split(QLatin1Char(' '));
    bool commandOk = false;
    bool subCommandOk = false;
    const int commandNumber = parts.value(1).toInt(&commandOk);
    const int subCommandNumber = parts.value(2).toInt(&subCommandOk);
    if (!commandOk || !subCommandOk) {
        LOG_ERROR(lcConsole) << "Parsing the command line failed!";
        return false;
    }
    const QString command = ls::ConfigManagerCmdId::meta.valueToKey(commandNumber);
    if (command.isEmpty()) {
        qCDebug(lcConsole).noquote() << "Command not found!";
        return true;
    }
    const auto family = families().constFind(command);
    const QString subCommand
        = family == families().constEnd() ? QString() : family->subCommands->valueToKey(subCommandNumber);
    if (subCommand.isEmpty()) {
        qCDebug(lcConsole).noquote() << "Sub command not found!";
        return true;
    }
    QVariantMap request { { ls::commandIdKey, command }, { ls::subCommandIdKey, subCommand },
        { ls::senderIdKey, QString(ls::ServiceId::ConfigManager) } };
    if (command == ls::ConfigManagerCmdId::Layout && !processLayoutCommand(subCommand, parts, request)) {
        return true;
    }
    const QVariantMap result = m_manager->process(request);
    qCDebug(lcConsole) << result;
    return true;
}

void Console::printNotification(const QVariantMap& notification) const
{
    if (!notification.contains(ls::notificationIdKey) || !notification.contains(ls::actionIdKey)
        || !notification.contains(ls::senderIdKey)) {
        LOG_ERROR(lcConsole) << "Invalid notification received!";
        return;
    }
    qCDebug(lcConsole).noquote() << "----------- Notification -----------";
    qCDebug(lcConsole).noquote() << "NotifcationId:" << notification.value(ls::notificationIdKey).toString();
    qCDebug(lcConsole).noquote() << "SenderId:" << notification.value(ls::senderIdKey).toString();
    qCDebug(lcConsole).noquote() << "------------------------------------";
    qCDebug(lcConsole).noquote() << "Action:" << notification.value(ls::actionIdKey).toString();
    qCDebug(lcConsole).noquote() << "------------------------------------";
}
