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

// How the console fills the request of one sub-command: from the first integer after the
// sub-command number (as a number or as a flag: not 0 is true), from the additional-data list,
// or from both. Sender sends the request on behalf of the service whose ls::ServiceId number it is.
enum class Fill { Nothing, Number, Flag, Data, NumberAndData, LanguageAndTable, Sender };

struct Builder {
    const char* params;
    Fill fill;
    QString key;
};

// The request builders of the commands the console can drive, by command and sub-command. A
// sub-command missing from its command's rows is not supported in the console; a command without
// rows is sent with the envelope alone.
const QHash<QString, QHash<QString, Builder>>& builders()
{
    static const Builder none { "params: None", Fill::Nothing, QString() };
    static const Builder paperNumber { "params: [Paper Number]", Fill::Number, ls::paperNrKey };
    static const Builder layoutNumber { "params: [Layout Number]", Fill::Number, ls::layoutNrKey };
    static const Builder layoutProperty { "params: [Layout Number] [Property Name - use ADD action]",
        Fill::NumberAndData, ls::propertyNameKey };
    static const Builder model { "[Model Name - use ADD action]", Fill::Data, ls::modelKey };
    static const Builder table { "[Table - use ADD action]", Fill::Data, ls::tableKey };
    static const Builder languageAndTable { "[Language - use ADD action] [Table - use ADD action]",
        Fill::LanguageAndTable, QString() };
    static const Builder enabled { "params: [Enabled]", Fill::Flag, ls::enabledKey };
    static const Builder sender { "params: [Sender]", Fill::Sender, ls::senderIdKey };
    static const Builder certificate { "params: [Certificate Name - use ADD action]", Fill::Data, ls::certificateKey };
    static const QHash<QString, QHash<QString, Builder>> rows {
        { ls::ConfigManagerCmdId::Layout,
            {
                { ls::LayoutCmdId::GetActive, none },
                { ls::LayoutCmdId::SetActive, layoutNumber },
                { ls::LayoutCmdId::AddLayout, none },
                { ls::LayoutCmdId::DeleteLayout, layoutNumber },
                { ls::LayoutCmdId::ReadLayout, layoutNumber },
                { ls::LayoutCmdId::ReadAllLayouts, none },
                { ls::LayoutCmdId::Test_WriteLayout, layoutNumber },
                { ls::LayoutCmdId::GetPropertyValues, layoutProperty },
                { ls::LayoutCmdId::Test_GetPropertyValues, layoutProperty },
                { ls::LayoutCmdId::ReadParameterList, none },
                { ls::LayoutCmdId::ReadValueList, none },
                { ls::LayoutCmdId::ReadDocSettingList, none },
                { ls::LayoutCmdId::BackupDownload, none },
                { ls::LayoutCmdId::RestoreFactory, none },
                { ls::LayoutCmdId::GetLocalBackups, none },
                { ls::LayoutCmdId::GetUsbBackups, model },
                { ls::LayoutCmdId::GetDistributorBackups, model },
                { ls::LayoutCmdId::GetPaperSize, none },
                { ls::LayoutCmdId::GetUseAdjustableLS, none },
                { ls::LayoutCmdId::SetUseAdjustableLS, enabled },
                { ls::LayoutCmdId::GetLiblouisTables, none },
                { ls::LayoutCmdId::GetLegacyTables, none },
                { ls::LayoutCmdId::GetLegacyTableDisplayName,
                    { "[Table - use ADD action]", Fill::Data, ls::tableNameKey } },
            } },
        { ls::ConfigManagerCmdId::UserPaper,
            {
                { ls::UserPaperCmdId::ReadPaper, paperNumber },
                { ls::UserPaperCmdId::ReadAllPapers, none },
                { ls::UserPaperCmdId::DeletePaper, paperNumber },
                { ls::UserPaperCmdId::GetPaperValues, none },
                { ls::UserPaperCmdId::ReadPaperList, none },
                { ls::UserPaperCmdId::ReadPaperRegionsList, none },
            } },
        { ls::ConfigManagerCmdId::BrailleTable,
            {
                { ls::BrailleTableCmdId::AddUserTables, table },
                { ls::BrailleTableCmdId::DeleteUserTables, table },
                { ls::BrailleTableCmdId::GetUserTables, none },
                { ls::BrailleTableCmdId::GetTableMetadata, languageAndTable },
                { ls::BrailleTableCmdId::GetLegacyTableMetadata, languageAndTable },
            } },
        { ls::ConfigManagerCmdId::Print,
            {
                { ls::PrintCmdId::GetKeepFormat, none },
                { ls::PrintCmdId::SetKeepFormat, enabled },
                { ls::PrintCmdId::GetKeepCapitalization, none },
                { ls::PrintCmdId::SetKeepCapitalization, enabled },
                { ls::PrintCmdId::GetTabSize, none },
                { ls::PrintCmdId::SetTabSize, { "params: [Size]", Fill::Number, ls::sizeKey } },
                { ls::PrintCmdId::GetFilters, none },
                { ls::PrintCmdId::GetExtensions, sender },
                { ls::PrintCmdId::GetPreviews, sender },
                { ls::PrintCmdId::GetLabelTemplate,
                    { "params: [File Name - use ADD action]", Fill::Data, ls::fileNameKey } },
            } },
        { ls::ConfigManagerCmdId::Ssl,
            {
                { ls::SslCmdId::GetState, none },
                { ls::SslCmdId::SetState, enabled },
                { ls::SslCmdId::GetCertificates, none },
                { ls::SslCmdId::GetActiveCertificate, none },
                { ls::SslCmdId::SetActiveCertificate, certificate },
                { ls::SslCmdId::AddCertificate, certificate },
                { ls::SslCmdId::DeleteCertificate, certificate },
            } },
    };
    return rows;
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
    if (parts.size() > 2) {
        return parameterHelp(command, *family->subCommands, parts.at(2));
    }
    const QString banner = QString::fromLatin1(family->banner);
    qCDebug(lcConsole).noquote() << banner;
    printEntries(*family->subCommands);
    qCDebug(lcConsole).noquote() << QString(banner.size(), QLatin1Char('='));
    return true;
}

bool Console::parameterHelp(const QString& command, const ls::MetaEnum& subCommands, const QString& word) const
{
    bool ok = false;
    const QString subCommand = subCommands.valueToKey(word.toInt(&ok));
    if (!ok) {
        LOG_ERROR(lcConsole) << "Parsing the sub command line failed!";
        return false;
    }
    if (subCommand.isEmpty()) {
        qCDebug(lcConsole).noquote() << "Sub command not found!";
        return true;
    }
    const auto rows = builders().value(command);
    const auto builder = rows.constFind(subCommand);
    if (builder == rows.constEnd()) {
        qCDebug(lcConsole).noquote() << subCommand << "is not supported in console";
    } else {
        qCDebug(lcConsole).noquote() << builder->params;
    }
    return true;
}

bool Console::buildRequest(const QString& command, const QStringList& numbers, QVariantMap& request) const
{
    const auto commandRows = builders().constFind(command);
    if (commandRows == builders().constEnd()) {
        return true;
    }
    const QString subCommand = request.value(ls::subCommandIdKey).toString();
    const auto builder = commandRows->constFind(subCommand);
    if (builder == commandRows->constEnd()) {
        qCDebug(lcConsole).noquote() << subCommand << "is not supported in console";
        return false;
    }
    // What the line lacks stays out of the request: the handler's answer then says what is missing.
    switch (builder->fill) {
    case Fill::Nothing:
        break;
    case Fill::Number:
        if (!numbers.isEmpty()) {
            request.insert(builder->key, numbers.first().toInt());
        }
        break;
    case Fill::Flag:
        if (!numbers.isEmpty()) {
            request.insert(builder->key, numbers.first().toInt() != 0);
        }
        break;
    case Fill::NumberAndData:
        if (!numbers.isEmpty()) {
            request.insert(ls::layoutNrKey, numbers.first().toInt());
        }
        if (!m_additionalData.isEmpty()) {
            request.insert(builder->key, m_additionalData.first());
        }
        break;
    case Fill::Data:
        if (!m_additionalData.isEmpty()) {
            request.insert(builder->key, m_additionalData.first());
        }
        break;
    case Fill::Sender:
        if (!numbers.isEmpty() && !ls::ServiceId::meta.valueToKey(numbers.first().toInt()).isEmpty()) {
            request.insert(builder->key, ls::ServiceId::meta.valueToKey(numbers.first().toInt()));
        }
        break;
    case Fill::LanguageAndTable:
        if (m_additionalData.size() > 0) {
            request.insert(ls::languageKey, m_additionalData.at(0));
        }
        if (m_additionalData.size() > 1) {
            request.insert(ls::tableKey, m_additionalData.at(1));
        }
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
    if (family == families().constEnd()) {
        qCDebug(lcConsole).noquote() << "Not implemented yet!";
        return true;
    }
    const QString subCommand = family->subCommands->valueToKey(subCommandNumber);
    if (subCommand.isEmpty()) {
        qCDebug(lcConsole).noquote() << "Sub command not found!";
        return true;
    }
    const QStringList numbers = parts.mid(3);
    for (const QString& number : numbers) {
        bool numberOk = false;
        number.toInt(&numberOk);
        if (!numberOk) {
            LOG_ERROR(lcConsole) << "Parsing the command line failed!";
            return false;
        }
    }
    QVariantMap request { { ls::commandIdKey, command }, { ls::subCommandIdKey, subCommand },
        { ls::senderIdKey, QString(ls::ServiceId::ConfigManager) } };
    if (!buildRequest(command, numbers, request)) {
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
