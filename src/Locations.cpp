#include "Locations.h"

#include "libcorvane/FileSystemRoot.h"
#include "ls/Keys.h"

namespace {

struct Paths {
    QString dataDir;
    QString dataBackupDir;
    QString runDir;
    QString stateDir;
    QString embosserRunDir;
    QString slaveStateDir;
    QString oldStateDir;
    QString layoutBackupDir;
    QString usbLayoutBackupDir;
    QString distributorLayoutsDir;
    QString factoryBackupDir;
    QString legacyTablesDir;
    QString liblouisTablesDir;
    QString embosserLiblouisDir;
    QString manualsDir;
    QString settingsDir;
    QString hammerBatchDir;
    QString usbUserSettingsDir;
    QString tonesDir;

    QString parametersFile;
    QString countersFile;
    QString embosserConfFile;
    QString embosserheadFile;
    QString hammerDeltaFile;
    QString networkFile;
    QString serialComFile;
    QString speechFile;
    QString userSettingsFile;
    QString archFile;

    QString legacyParametersFile;
    QString legacyCountersFile;
    QString legacyEmbosserConfFile;
    QString legacyEmbosserheadFile;
    QString legacyNetworkFile;
    QString legacyHammerDeltaFile;
    QString legacyArchFile;

    QString firmwareDateFile;
    QString slaveConfFile;
    QString usbMountDir;
    QString escapeParametersFile;
    QString escapeParametersFactoryFile;
    QString upgradeMarkerFile;
    QString parameterChangeLogFile;
    QString configurationManagerStateDir;
    QString labelTemplatesDir;

    QString systemLogFile;
    QString serviceLogDir;
    QString serviceDir;
    QString errorLogFile;
    QString lighttpdConfFile;
    QString certificatesDir;
    QString localtimeLink;
    QString zoneinfoDir;

    Paths()
    {
        const auto root = [](const char* path) { return libcorvane::FileSystemRoot::join(QString::fromLatin1(path)); };
        const auto join = &Locations::join;

        dataDir = root("/usr/share/configuration-manager");
        dataBackupDir = join(dataDir, QStringLiteral("/backup"));
        runDir = root("/var/run/configuration-manager");
        stateDir = root("/var/lib/embosser");
        embosserRunDir = root("/var/run/embosser");
        slaveStateDir = root("/var/lib/slave");
        oldStateDir = root("/var/lib/embosser/old");
        layoutBackupDir = root("/backup/embosser/layouts");
        usbLayoutBackupDir = root("/media/sda1/backup/embosser/layouts");
        distributorLayoutsDir = root("/usr/share/embosser/layouts");
        factoryBackupDir = root("/backup/embosser/factory");
        legacyTablesDir = root("/usr/share/embosser/tables");
        liblouisTablesDir = root("/usr/share/liblouis/tables");
        embosserLiblouisDir = root("/usr/share/embosser/liblouis");
        manualsDir = root("/usr/share/embosser/files/manuals");
        settingsDir = root("/usr/share/embosser/settings");
        hammerBatchDir = join(settingsDir, QStringLiteral("Corvane_Braille_Embosser/hammer_batch"));
        usbUserSettingsDir = root("/media/sda1/backup/embosser/userSettings/");
        tonesDir = root("/usr/share/embosser/tones");

        parametersFile = join(stateDir, QStringLiteral("parameters"));
        countersFile = join(stateDir, QStringLiteral("counters"));
        embosserConfFile = join(stateDir, QStringLiteral("embosserConf"));
        embosserheadFile = join(stateDir, QStringLiteral("embosserhead"));
        hammerDeltaFile = join(stateDir, QStringLiteral("hammerDelta"));
        networkFile = join(stateDir, QStringLiteral("network"));
        serialComFile = join(stateDir, QStringLiteral("serialCom"));
        speechFile = join(stateDir, QStringLiteral("speech"));
        userSettingsFile = join(stateDir, QStringLiteral("userSettings"));
        archFile = join(slaveStateDir, QStringLiteral("arch"));

        legacyParametersFile = join(stateDir, QStringLiteral("parameters.0"));
        legacyCountersFile = join(stateDir, QStringLiteral("counters"));
        legacyEmbosserConfFile = join(stateDir, QStringLiteral("embosser.conf"));
        legacyEmbosserheadFile = join(stateDir, QStringLiteral("embosserhead.conf"));
        legacyNetworkFile = join(stateDir, QStringLiteral("network"));
        legacyHammerDeltaFile = join(stateDir, QStringLiteral("hammerdelta"));
        legacyArchFile = join(slaveStateDir, QStringLiteral("arch"));

        firmwareDateFile = root("/var/lib/update-manager/last-update");
        slaveConfFile = root("/etc/slave.conf");
        usbMountDir = root("/media/sda1");
        escapeParametersFile = join(dataDir, QStringLiteral("escapeParameters.json"));
        escapeParametersFactoryFile = join(dataBackupDir, QStringLiteral("escapeParameters.json"));
        upgradeMarkerFile = root("/var/lib/update-manager/FW3-upgrade-in-progress");
        configurationManagerStateDir = root("/var/lib/configuration-manager");
        parameterChangeLogFile = join(configurationManagerStateDir, QStringLiteral("parameters-logs"));
        labelTemplatesDir = root("/backup/embosser/labelTemplates");

        systemLogFile = root("/var/log/messages");
        serviceLogDir = root("/var/log");
        serviceDir = root("/etc/sv");
        errorLogFile = root("/var/lib/error-handler/log-error");
        lighttpdConfFile = root("/etc/lighttpd.conf");
        certificatesDir = libcorvane::FileSystemRoot::join(ls::certificatesPath);
        localtimeLink = root("/etc/localtime");
        zoneinfoDir = root("/usr/share/zoneinfo/Etc");
    }
};

const Paths& paths()
{
    static const Paths instance;
    return instance;
}

} // namespace

QString Locations::join(const QString& directory, const QString& fileName)
{
    return QStringLiteral("%1/%2").arg(directory, fileName);
}

#define CM_LOCATION(name)                                                                                              \
    const QString& Locations::name()                                                                                   \
    {                                                                                                                  \
        return paths().name;                                                                                           \
    }

CM_LOCATION(dataDir)
CM_LOCATION(dataBackupDir)
CM_LOCATION(runDir)
CM_LOCATION(stateDir)
CM_LOCATION(embosserRunDir)
CM_LOCATION(slaveStateDir)
CM_LOCATION(oldStateDir)
CM_LOCATION(layoutBackupDir)
CM_LOCATION(usbLayoutBackupDir)
CM_LOCATION(distributorLayoutsDir)
CM_LOCATION(factoryBackupDir)
CM_LOCATION(legacyTablesDir)
CM_LOCATION(liblouisTablesDir)
CM_LOCATION(embosserLiblouisDir)
CM_LOCATION(manualsDir)
CM_LOCATION(settingsDir)
CM_LOCATION(hammerBatchDir)
CM_LOCATION(usbUserSettingsDir)
CM_LOCATION(tonesDir)
CM_LOCATION(parametersFile)
CM_LOCATION(countersFile)
CM_LOCATION(embosserConfFile)
CM_LOCATION(embosserheadFile)
CM_LOCATION(hammerDeltaFile)
CM_LOCATION(networkFile)
CM_LOCATION(serialComFile)
CM_LOCATION(speechFile)
CM_LOCATION(userSettingsFile)
CM_LOCATION(archFile)
CM_LOCATION(legacyParametersFile)
CM_LOCATION(legacyCountersFile)
CM_LOCATION(legacyEmbosserConfFile)
CM_LOCATION(legacyEmbosserheadFile)
CM_LOCATION(legacyNetworkFile)
CM_LOCATION(legacyHammerDeltaFile)
CM_LOCATION(legacyArchFile)
CM_LOCATION(firmwareDateFile)
CM_LOCATION(slaveConfFile)
CM_LOCATION(usbMountDir)
CM_LOCATION(escapeParametersFile)
CM_LOCATION(escapeParametersFactoryFile)
CM_LOCATION(upgradeMarkerFile)
CM_LOCATION(parameterChangeLogFile)
CM_LOCATION(configurationManagerStateDir)
CM_LOCATION(labelTemplatesDir)
CM_LOCATION(systemLogFile)
CM_LOCATION(serviceLogDir)
CM_LOCATION(serviceDir)
CM_LOCATION(errorLogFile)
CM_LOCATION(lighttpdConfFile)
CM_LOCATION(certificatesDir)
CM_LOCATION(localtimeLink)
CM_LOCATION(zoneinfoDir)
