#include "ConfigurationManager.h"

#include "libcorvane/LogPrefix.h"
#include "property/PropValueList.h"
#include "property/Property.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/DefaultParameters.h"
#include "ls/Command.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ErrorId.h"
#include "ls/ICommand.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "ls/PFile.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"

CM_LOGGING_CATEGORY(lcConfigurationManager, "ConfigurationManager")

ConfigurationManager::ConfigurationManager(QObject* parent)
    : QObject(parent)
{
}

ConfigurationManager::~ConfigurationManager() = default;

QVariantMap ConfigurationManager::result(const QString& resultId, const QString& errorId)
{
    return { { ls::resultIdKey, resultId }, { ls::errorIdKey, errorId } };
}

void ConfigurationManager::registerCommand(ls::ICommand* command)
{
    m_commands.append(command);
}

void ConfigurationManager::init()
{
    // One JSON reader/writer and one property-file object serve every settings object.
    auto* jsonFile = new ls::JFile(this);
    auto* propertyFile = new ls::PFile(this);
    const ls::IReader& reader = *jsonFile;
    const ls::IWriter& writer = *jsonFile;
    Q_UNUSED(propertyFile);

    // The master collection: definitions, then defaults; each settings file and the flash values
    // follow as the settings objects are built.
    m_property = new Property(reader, writer, this);
    m_catalogsManager = std::make_unique<CatalogsManager>(*m_property);
    new DefaultParameters(reader, writer, *m_catalogsManager, this);

    m_propValueList = new PropValueList(reader, this);
}

QVariantMap ConfigurationManager::process(const QVariantMap& request)
{
    if (!request.contains(ls::commandIdKey) || !request.contains(ls::subCommandIdKey)
        || !request.contains(ls::senderIdKey)) {
        LOG_ERROR(lcConfigurationManager) << "Invalid command!";
        return result(ls::ResultId::Failure, ls::ErrorId::InvalidCmd);
    }
    const QString commandId = request.value(ls::commandIdKey).toString();
    if (ls::ConfigManagerCmdId::meta.keyToValue(commandId) == ls::MetaEnum::invalid()) {
        LOG_ERROR(lcConfigurationManager) << "Invalid command id!";
        return result(ls::ResultId::Failure, ls::ErrorId::InvalidCmd);
    }
    const QString senderId = request.value(ls::senderIdKey).toString();
    if (ls::ServiceId::meta.keyToValue(senderId) == ls::MetaEnum::invalid()) {
        LOG_ERROR(lcConfigurationManager) << "Invalid sender id!";
        return result(ls::ResultId::Failure, ls::ErrorId::InvalidSender);
    }
    LOG_DEBUG(lcConfigurationManager) << "process command -" << commandId << "from sender -" << senderId;

    for (ls::ICommand* command : qAsConst(m_commands)) {
        if (command->commandId() == commandId) {
            return command->process(ls::Command(request));
        }
    }
    LOG_ERROR(lcConfigurationManager) << commandId << "command n/a!";
    return result(ls::ResultId::Failure, ls::ErrorId::CmdNotFound);
}
