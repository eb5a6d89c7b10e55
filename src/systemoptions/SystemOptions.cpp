#include "SystemOptions.h"

#include "CommandArguments.h"
#include "System.h"
#include "SystemOptSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/SystemOptionsCmdId.h"

#include <unistd.h>

CM_LOGGING_CATEGORY(lcSystemOptions, "SystemOptions")

const CommandHandler::SubCommandTable<SystemOptions> SystemOptions::table {
    { ls::SystemOptionsCmdId::GetDateTime, &SystemOptions::getDateTime },
    { ls::SystemOptionsCmdId::SetDateTime, &SystemOptions::setDateTime },
    { ls::SystemOptionsCmdId::GetTimeZone, &SystemOptions::getTimeZone },
    { ls::SystemOptionsCmdId::SetTimeZone, &SystemOptions::setTimeZone },
    { ls::SystemOptionsCmdId::SaveFlashInfo, &SystemOptions::saveFlashInfo },
    { ls::SystemOptionsCmdId::SetModel, &SystemOptions::setModel },
    { ls::SystemOptionsCmdId::GetModel, &SystemOptions::getModel },
    { ls::SystemOptionsCmdId::ResetSettings, &SystemOptions::resetSettings },
    { ls::SystemOptionsCmdId::SetSecurityRoot, &SystemOptions::setSecurityRoot },
    { ls::SystemOptionsCmdId::BackupConfigUsb, &SystemOptions::backupConfigUsb },
    { ls::SystemOptionsCmdId::BackupConfigInternal, &SystemOptions::backupConfigInternal },
    { ls::SystemOptionsCmdId::RestoreConfigUsb, &SystemOptions::restoreConfigUsb },
    { ls::SystemOptionsCmdId::RestoreConfigInternal, &SystemOptions::restoreConfigInternal },
};

SystemOptions::SystemOptions(const SystemOptSettings& settings, RestartServices restartServices, QObject* parent)
    : CommandHandler(ls::ConfigManagerCmdId::SystemOptions, QString(), false, lcSystemOptions(), parent)
    , m_settings(settings)
    , m_restartServices(std::move(restartServices))
{
}

QVariantMap SystemOptions::process(const ls::Command& command)
{
    return dispatch(command, table, this);
}

QVariantMap SystemOptions::outcome(bool done, const char* operation)
{
    if (!done) {
        qCCritical(lcSystemOptions).noquote() << libcorvane::logPrefix(operation, "FAILED!");
        return failure(ls::ErrorId::Undefined);
    }
    return success();
}

QVariantMap SystemOptions::restored(bool done, const char* operation) const
{
    if (!done) {
        return outcome(false, operation);
    }
    if (m_restartServices) {
        m_restartServices();
    } else {
        qCWarning(lcSystemOptions).noquote()
            << libcorvane::logPrefix(operation, "WARN:") << "no document manager to restart the services";
    }
    return success();
}

QVariantMap SystemOptions::getDateTime(const ls::Command&) const
{
    return successWith(ls::dateTimeKey, m_settings.getDateTime());
}

QVariantMap SystemOptions::setDateTime(const ls::Command& command) const
{
    CommandArguments arguments(command, lcSystemOptions(), Q_FUNC_INFO);
    QString dateTime;
    if (!arguments.text(ls::dateTimeKey, dateTime)) {
        return arguments.failure();
    }
    return outcome(m_settings.setDateTime(dateTime), Q_FUNC_INFO);
}

QVariantMap SystemOptions::getTimeZone(const ls::Command&) const
{
    return successWith(ls::timeZoneKey, m_settings.getTimeZone());
}

QVariantMap SystemOptions::setTimeZone(const ls::Command& command) const
{
    CommandArguments arguments(command, lcSystemOptions(), Q_FUNC_INFO);
    QString zone;
    if (!arguments.text(ls::timeZoneKey, zone)) {
        return arguments.failure();
    }
    if (!m_settings.isKnownTimeZone(zone)) {
        LOG_ERROR(lcSystemOptions) << "unknown time zone" << zone;
        return failure(ls::ErrorId::InvalidValue);
    }
    return outcome(m_settings.setTimeZone(zone), Q_FUNC_INFO);
}

QVariantMap SystemOptions::saveFlashInfo(const ls::Command& command) const
{
    CommandArguments arguments(command, lcSystemOptions(), Q_FUNC_INFO);
    bool restart = false;
    if (!arguments.boolean(ls::restartKey, restart)) {
        return arguments.failure();
    }
    return outcome(System::saveFlashInfo(restart), Q_FUNC_INFO);
}

QVariantMap SystemOptions::setModel(const ls::Command& command) const
{
    CommandArguments arguments(command, lcSystemOptions(), Q_FUNC_INFO);
    QString model;
    if (!arguments.text(ls::modelKey, model)) {
        return arguments.failure();
    }
    // An empty name is the settings' own refusal.
    if (!model.isEmpty() && !m_settings.isKnownModel(model)) {
        LOG_ERROR(lcSystemOptions) << "unknown model" << model;
        return failure(ls::ErrorId::InvalidValue);
    }
    return outcome(m_settings.setModel(model), Q_FUNC_INFO);
}

QVariantMap SystemOptions::getModel(const ls::Command&) const
{
    return successWith(ls::modelKey, m_settings.getModel());
}

QVariantMap SystemOptions::resetSettings(const ls::Command&) const
{
    return outcome(System::resetSettingsForFlashModel(), Q_FUNC_INFO);
}

QVariantMap SystemOptions::setSecurityRoot(const ls::Command&) const
{
    // The user first: without root privileges the group cannot be changed.
    const bool done = ::seteuid(0) == 0 && ::setegid(0) == 0;
    return outcome(done, Q_FUNC_INFO);
}

QVariantMap SystemOptions::backupConfigUsb(const ls::Command&) const
{
    return outcome(m_settings.backupConfigUsb(), Q_FUNC_INFO);
}

QVariantMap SystemOptions::backupConfigInternal(const ls::Command&) const
{
    return outcome(m_settings.backupConfigInternal(), Q_FUNC_INFO);
}

QVariantMap SystemOptions::restoreConfigUsb(const ls::Command&) const
{
    return restored(m_settings.restoreConfigUsb(), Q_FUNC_INFO);
}

QVariantMap SystemOptions::restoreConfigInternal(const ls::Command&) const
{
    return restored(m_settings.restoreConfigInternal(), Q_FUNC_INFO);
}
