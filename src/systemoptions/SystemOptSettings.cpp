#include "SystemOptSettings.h"

#include "Locations.h"
#include "SafePath.h"
#include "System.h"
#include "libcorvane/LogPrefix.h"
#include "systeminfo/EmbosserConf.h"

#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

CM_LOGGING_CATEGORY(lcSystemOptSettings, "SystemOptSettings")

namespace {

// "+" and "-" change places; a zone without "+" has its "-" turned into "+".
QString swapSign(QString zone)
{
    if (zone.contains(QLatin1Char('+'))) {
        zone.replace(QLatin1Char('+'), QLatin1Char('-'));
    } else {
        zone.replace(QLatin1Char('-'), QLatin1Char('+'));
    }
    return zone;
}

// Runs a program with its own argument vector (no shell) and waits the documented time.
bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!System::waitForProcess(process)) {
        return false;
    }
    if (output) {
        *output = process.readAllStandardOutput();
    }
    return true;
}

bool runBackupScript(const char* arguments)
{
    return System::runShellCommand(QStringLiteral("embosser-backup.sh ") + QLatin1String(arguments));
}

} // namespace

SystemOptSettings::SystemOptSettings(const EmbosserConf& embosserConf, QObject* parent)
    : QObject(parent)
    , m_embosserConf(embosserConf)
{
}

bool SystemOptSettings::isKnownModel(const QString& model) const
{
    return m_embosserConf.isKnownModel(model);
}

bool SystemOptSettings::setModel(const QString& model) const
{
    if (model.isEmpty()) {
        LOG_ERROR(lcSystemOptSettings) << "model does not exist!";
        return false;
    }
    if (!isKnownModel(model)) {
        LOG_ERROR(lcSystemOptSettings) << "model" << model << "is not in the embosser list!";
        return false;
    }
    return System::setEmbosserModel(model);
}

QString SystemOptSettings::getModel() const
{
    return System::getEmbosserModel();
}

bool SystemOptSettings::setDateTime(const QString& dateTime) const
{
    // An argument ends at a NUL: "date" would be given another text than the one asked for.
    if (dateTime.contains(QChar(0)) || !run(QStringLiteral("date"), { QStringLiteral("-s"), dateTime })) {
        LOG_FAILED(lcSystemOptSettings) << "setting the date and time" << dateTime << "failed";
        return false;
    }
    return true;
}

QString SystemOptSettings::getDateTime() const
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd / hh:mm"));
}

QString SystemOptSettings::getTimeZone() const
{
    QByteArray output;
    if (!run(QStringLiteral("readlink"), { QStringLiteral("-f"), Locations::localtimeLink() }, &output)) {
        LOG_FAILED(lcSystemOptSettings) << "reading the time zone link failed";
        return QString();
    }
    QString target = QString::fromLocal8Bit(output);
    const int gmt = target.indexOf(QLatin1String("GMT"));
    if (gmt < 0) {
        return QString();
    }
    target = target.mid(gmt);
    target.remove(QLatin1Char('\n'));
    return swapSign(target);
}

QString SystemOptSettings::zoneFile(const QString& zone) const
{
    static const QRegularExpression etcZone(
        QRegularExpression::anchoredPattern(QStringLiteral("GMT([+-][0-9]{1,2})?")));
    if (!etcZone.match(zone).hasMatch()) {
        return QString();
    }
    const QString file = SafePath::child(Locations::zoneinfoDir(), swapSign(zone));
    return !file.isEmpty() && QFileInfo(file).isFile() ? file : QString();
}

bool SystemOptSettings::isKnownTimeZone(const QString& zone) const
{
    return !zoneFile(zone).isEmpty();
}

bool SystemOptSettings::setTimeZone(QString zone) const
{
    const QString file = zoneFile(zone);
    if (file.isEmpty()) {
        LOG_ERROR(lcSystemOptSettings) << "no zone file for time zone" << zone;
        return false;
    }
    if (!run(QStringLiteral("ln"), { QStringLiteral("-sf"), file, Locations::localtimeLink() })) {
        LOG_FAILED(lcSystemOptSettings) << "linking" << file << "failed!";
        return false;
    }
    return true;
}

bool SystemOptSettings::backupConfigUsb() const
{
    return runBackupScript("-b -s 'config' -d usb:config");
}

bool SystemOptSettings::backupConfigInternal() const
{
    return runBackupScript("-b -s 'config' -d internal:config");
}

bool SystemOptSettings::restoreConfigUsb() const
{
    return runBackupScript("-r -d 'config' -s usb:config");
}

bool SystemOptSettings::restoreConfigInternal() const
{
    return runBackupScript("-r -d 'config' -s internal:config");
}
