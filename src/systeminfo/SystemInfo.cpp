#include "SystemInfo.h"

#include "Architecture.h"
#include "CommandArguments.h"
#include "EmbosserConf.h"
#include "Embosserhead.h"
#include "Firmware.h"
#include "Locations.h"
#include "PageCounter.h"
#include "Parameters.h"
#include "SafePath.h"
#include "SystemSettings.h"
#include "Utils.h"
#include "lcm/EnumDetail.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/Singleton.h"
#include "log/Logger.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/SystemInfoCmdId.h"
#include "paper/ModelPaper.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaEnum>
#include <QProcess>

#include <utility>

CM_LOGGING_CATEGORY(lcSystemInfo, "SystemInfo")

const CommandHandler::SubCommandTable<SystemInfo> SystemInfo::table {
    { ls::SystemInfoCmdId::GetSystemInfo, &SystemInfo::getSystemInfo },
    { ls::SystemInfoCmdId::GetSystemLogs, &SystemInfo::getSystemLogs },
    { ls::SystemInfoCmdId::GetServiceLogs, &SystemInfo::getServiceLogs },
    { ls::SystemInfoCmdId::GetErrorLogs, &SystemInfo::getErrorLogs },
    { ls::SystemInfoCmdId::GetPackageList, &SystemInfo::getPackageList },
    { ls::SystemInfoCmdId::ReadLogs, &SystemInfo::readLogs },
    { ls::SystemInfoCmdId::ClearLogs, &SystemInfo::clearLogs },
};

namespace {

QVariantMap readLog(const QString& path, const QString& key, const char* caller)
{
    QString text;
    if (!Utils::readFile(path, text, SystemInfo::logLineLimit, false)) {
        qCCritical(lcSystemInfo).noquote() << libcorvane::logPrefix(caller, "FAILED!") << "reading" << path;
        return CommandHandler::failure(ls::ErrorId::Undefined);
    }
    return CommandHandler::successWith(key, text);
}

QString enumeratorName(const char* enumeration, int value)
{
    const QMetaObject& meta = lcm::EnumDetail::staticMetaObject;
    return QString::fromLatin1(meta.enumerator(meta.indexOfEnumerator(enumeration)).valueToKey(value));
}

} // namespace

SystemInfo::SystemInfo(const SystemSettings& systemSettings, const ModelPaper& modelPaper, Typer typer, QObject* parent)
    : CommandHandler(ls::ConfigManagerCmdId::SystemInfo, QString(), false, lcSystemInfo(), parent)
    , m_systemSettings(systemSettings)
    , m_modelPaper(modelPaper)
    , m_typer(std::move(typer))
{
}

void SystemInfo::insertKeyed(QVariantMap& info, const QVariantMap& values) const
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        info.insert(Utils::toKey(it.key()), m_typer(it.key(), it.value()));
    }
}

QVariantMap SystemInfo::process(const ls::Command& command)
{
    return dispatch(command, table, this);
}

QVariantMap SystemInfo::getSystemInfo(const ls::Command&) const
{
    QVariantMap info;
    insertKeyed(info, m_modelPaper.getData());
    info.insert(QStringLiteral("feedType"), enumeratorName("FeedType", m_modelPaper.getFeedType()));
    info.insert(QStringLiteral("headType"), enumeratorName("HeadType", m_modelPaper.getHeadType()));
    insertKeyed(info, SystemSettings::currentValues(m_systemSettings.architecture()->accessor()));
    insertKeyed(info, SystemSettings::currentValues(m_systemSettings.embosserConf()->accessor()));
    insertKeyed(info, SystemSettings::currentValues(m_systemSettings.embosserhead()->accessor()));
    insertKeyed(info, m_systemSettings.firmware()->get());
    insertKeyed(info, SystemSettings::currentValues(m_systemSettings.parameters()->accessor()));
    insertKeyed(info, SystemSettings::currentValues(m_systemSettings.pageCounter()->accessor()));
    QVariantMap result = success();
    result.insert(info);
    return result;
}

QVariantMap SystemInfo::getSystemLogs(const ls::Command&) const
{
    return readLog(Locations::systemLogFile(), ls::systemLogsKey, Q_FUNC_INFO);
}

QVariantMap SystemInfo::getServiceLogs(const ls::Command& command) const
{
    CommandArguments arguments(command, lcSystemInfo(), Q_FUNC_INFO);
    QString name;
    if (!arguments.text(ls::serviceNameKey, name)) {
        return arguments.failure();
    }
    // Only a service the machine supervises has a log; any other text is refused before a path is built from it.
    const QString service = SafePath::child(Locations::serviceDir(), name);
    if (service.isEmpty() || !QFileInfo(service).isDir()) {
        arguments.refuseValue(QStringLiteral("no service named %1").arg(name.left(64)));
        return arguments.failure();
    }
    const QString folder = SafePath::child(Locations::serviceLogDir(), name);
    const QString path = folder.isEmpty() ? QString() : Locations::join(folder, QStringLiteral("current"));
    if (path.isEmpty() || !SafePath::isInside(Locations::serviceLogDir(), path)) {
        arguments.refuseValue(QStringLiteral("the log of %1 lies outside the log folder").arg(name.left(64)));
        return arguments.failure();
    }
    return readLog(path, ls::serviceLogsKey, Q_FUNC_INFO);
}

QVariantMap SystemInfo::getErrorLogs(const ls::Command&) const
{
    return readLog(Locations::errorLogFile(), ls::errorLogsKey, Q_FUNC_INFO);
}

QVariantMap SystemInfo::getPackageList(const ls::Command&) const
{
    QProcess process;
    process.start(
        QStringLiteral("ash"), { QStringLiteral("-c"), QStringLiteral("opkg status | grep 'Package\\|Version'") });
    const bool finished = process.waitForFinished(packageQueryTimeoutMs);
    if (!finished || process.exitStatus() != QProcess::NormalExit) {
        LOG_FAILED(lcSystemInfo) << "querying the installed packages:" << process.errorString();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(packageQueryTimeoutMs);
        }
        return failure(ls::ErrorId::Undefined);
    }
    return successWith(ls::packageListKey, QString::fromUtf8(process.readAllStandardOutput()));
}

QVariantMap SystemInfo::readLogs(const ls::Command&) const
{
    return successWith(ls::textKey, libcorvane::Singleton<detail::Logger>::instance().read());
}

QVariantMap SystemInfo::clearLogs(const ls::Command&) const
{
    libcorvane::Singleton<detail::Logger>::instance().clear();
    return success();
}
