#include "System.h"

#include "Locations.h"
#include "ShellQuote.h"
#include "libcorvane/LogPrefix.h"

#include <QFileInfo>
#include <QProcess>

CM_LOGGING_CATEGORY(lcSystem, "System")

namespace {

struct FlashField {
    const char* key;
    const char* field;
};

// Configuration key -> EEPROM field.
constexpr FlashField flashFields[] = {
    { "printer.hw.model", "Model" },
    { "printer.hw.serial", "Serial" },
    { "printer.hw.hammerBatch", "HammerBatch" },
    { "printer.hw.adjustOuterClosedPos", "AdjustOuterClosedPos" },
    { "printer.hw.adjustInnerClosedPos", "AdjustInnerClosedPos" },
    { "printer.hw.adjustOuterOpenPos", "AdjustOuterOpenPos" },
    { "printer.hw.adjustInnerOpenPos", "AdjustInnerOpenPos" },
    { "printer.hw.printHeadSensorExists", "PrintHeadSensorExists" },
    { "printer.hw.archForSlave", "ArchForSlave" },
    { "system.update-manager.last-update", "LastUpdate" },
    { "printer.slave.tray.maxCurrent", "MaxCurrentForTray" },
};

const QString shellProgram = QStringLiteral("sh");
const QString eepromHandler = QStringLiteral("eeprom-handler");
const QString settingsScript = QStringLiteral("embosser-settings.sh");

QString describe(const QProcess& process)
{
    QStringList words { process.program() };
    words += process.arguments();
    return words.join(QLatin1Char(' '));
}

} // namespace

QString System::flashField(const QString& key)
{
    for (const FlashField& entry : flashFields) {
        if (key == QLatin1String(entry.key)) {
            return QLatin1String(entry.field);
        }
    }
    return QString();
}

bool System::runShellCommand(const QString& command)
{
    QProcess process;
    // Script output goes where the service's own output goes, as with system().
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    // QProcess hands its arguments to exec in the local 8-bit encoding.
    process.start(shellProgram, { QStringLiteral("-c"), command });
    return waitForProcess(process);
}

bool System::serviceRestart(const QString& name)
{
    const QString command = QStringLiteral("sv restart %1").arg(ShellQuote::quote(name));
    const bool result = ShellQuote::isQuotable(name) && runShellCommand(command);
    if (!result) {
        LOG_ERROR(lcSystem) << command << " for" << name;
    }
    return result;
}

bool System::waitForProcess(QProcess& process, int timeoutMs)
{
    if (process.waitForFinished(timeoutMs)) {
        if (process.exitStatus() == QProcess::CrashExit) {
            LOG_FAILED(lcSystem) << "process" << describe(process) << "crashed.";
            return false;
        }
        if (process.exitCode() != 0) {
            LOG_FAILED(lcSystem) << "process" << describe(process)
                                 << "exited with non-zero status:" << process.exitCode();
            return false;
        }
        return true;
    }
    if (process.state() == QProcess::NotRunning) {
        // Never started (program missing or not executable): there is nothing to wait for.
        LOG_FAILED(lcSystem) << "process" << describe(process) << "failed to start:" << process.errorString();
        return false;
    }

    LOG_ERROR(lcSystem) << "Timout waiting for process:" << describe(process);
    process.terminate();
    if (!process.waitForFinished(timeoutMs)) {
        LOG_ERROR(lcSystem) << "Timeout waiting for process to terminate.";
        process.kill();
        if (!process.waitForFinished(timeoutMs)) {
            LOG_ERROR(lcSystem) << "Timeout waiting for process to die.";
        }
    }
    return false;
}

bool System::resetFile(const QString& path)
{
    if (path.isEmpty()) {
        LOG_ERROR(lcSystem) << "no file to reset ==> restore failed.";
        return false;
    }
    const bool result = ShellQuote::isQuotable(path)
        && runShellCommand(QStringLiteral("%1 -f %2").arg(settingsScript, ShellQuote::quote(path)));
    if (!result) {
        LOG_FAILED(lcSystem) << "reset of file with script" << path << "failed!";
    }
    return result;
}

bool System::setEmbosserModel(const QString& model)
{
    // Quoted as the documented line "-m '<model>'" quotes it, and safe for any model text.
    if (!ShellQuote::isQuotable(model)
        || !runShellCommand(QStringLiteral("%1 -a -c -m %2").arg(settingsScript, ShellQuote::quote(model)))) {
        LOG_FAILED(lcSystem);
        return false;
    }
    return true;
}

bool System::resetSettingsForFlashModel()
{
    if (!runShellCommand(QStringLiteral("%1 -a -c").arg(settingsScript))) {
        LOG_FAILED(lcSystem);
        return false;
    }
    return true;
}

bool System::runEepromHandler(const QStringList& arguments, QByteArray* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(eepromHandler, arguments);
    if (!waitForProcess(process)) {
        return false;
    }
    if (output) {
        *output = process.readAllStandardOutput();
    }
    return true;
}

const QVariant System::getFlashParameter(const QString& key)
{
    const QString field = flashField(key);
    if (field.isEmpty()) {
        LOG_ERROR(lcSystem) << "no EEPROM field for key" << key;
        return QVariant();
    }
    QByteArray output;
    if (!runEepromHandler({ QStringLiteral("-g"), field }, &output)) {
        LOG_FAILED(lcSystem) << "Unable to get EEPROM value" << field;
        return QVariant();
    }
    return QString::fromLocal8Bit(output);
}

bool System::setFlashParameter(const QString& key, const QVariant& value)
{
    const QString field = flashField(key);
    if (field.isEmpty()) {
        LOG_ERROR(lcSystem) << "no EEPROM field for key" << key;
        return false;
    }
    if (!value.canConvert<QByteArray>()) {
        LOG_ERROR(lcSystem) << "Unable to convert property value to QByteArray";
        return false;
    }
    const QString text = QString::fromUtf8(value.toByteArray());
    // An argument ends at a NUL, which would store a different value than the one asked for.
    if (text.contains(QChar(0))
        || !runEepromHandler({ QStringLiteral("-s"), field, QStringLiteral("-b"), text }, nullptr)) {
        LOG_FAILED(lcSystem) << "Unable to set EEPROM value" << field;
        return false;
    }
    return true;
}

const QString System::getEmbosserModel()
{
    return getFlashParameter(QStringLiteral("printer.hw.model")).toString();
}

bool System::saveFlashInfo(bool restart)
{
    QString command = QStringLiteral("embosser-factory.sh -s ");
    // An upgrade in progress restarts the machine itself once it is done.
    if (restart && !QFileInfo::exists(Locations::upgradeMarkerFile())) {
        command += QStringLiteral("-r");
    }
    if (!runShellCommand(command)) {
        LOG_FAILED(lcSystem);
        return false;
    }
    return true;
}
