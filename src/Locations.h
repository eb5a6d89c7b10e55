#pragma once

#include <QString>

// The well-known locations of the embosser's file tree. Every path is built once, on first use,
// under the file-system root ("/" on the embosser; a private tree in development and tests), and
// this is the only module that spells out a path. A composed path joins directory and file name
// with "%1/%2".
class Locations {
public:
    static QString join(const QString& directory, const QString& fileName);

    // Directories
    static const QString& dataDir(); // read-only data files of the loaders
    static const QString& dataBackupDir(); // factory copies of the data files
    static const QString& runDir(); // generated table lists
    static const QString& stateDir(); // layouts, papers, machine files
    static const QString& embosserRunDir();
    static const QString& slaveStateDir();
    static const QString& oldStateDir(); // archived key=value files
    static const QString& layoutBackupDir();
    static const QString& usbLayoutBackupDir(); // one folder per model below it
    static const QString& distributorLayoutsDir(); // distributors' layout sets, one folder per model
    static const QString& factoryBackupDir();
    static const QString& legacyTablesDir();
    static const QString& liblouisTablesDir();
    static const QString& embosserLiblouisDir();
    static const QString& manualsDir();
    static const QString& settingsDir(); // model settings shipped with the firmware
    static const QString& hammerBatchDir();
    static const QString& usbUserSettingsDir();
    static const QString& tonesDir(); // sound files of the speech feedback

    // Machine files, catalog form (one per machine-setting family)
    static const QString& parametersFile();
    static const QString& countersFile();
    static const QString& embosserConfFile();
    static const QString& embosserheadFile();
    static const QString& hammerDeltaFile();
    static const QString& networkFile();
    static const QString& serialComFile();
    static const QString& speechFile();
    static const QString& userSettingsFile();
    static const QString& archFile();

    // Machine files, legacy key=value form (read once by the conversion)
    static const QString& legacyParametersFile();
    static const QString& legacyCountersFile();
    static const QString& legacyEmbosserConfFile();
    static const QString& legacyEmbosserheadFile();
    static const QString& legacyNetworkFile();
    static const QString& legacyHammerDeltaFile();
    static const QString& legacyArchFile();

    static const QString& firmwareDateFile();
    static const QString& slaveConfFile();
    static const QString& usbMountDir(); // a USB stick is present when this exists
    static const QString& escapeParametersFile();
    static const QString& escapeParametersFactoryFile();
    static const QString& upgradeMarkerFile();
    static const QString& parameterChangeLogFile();
    static const QString& configurationManagerStateDir();
    static const QString& labelTemplatesDir();

    // Logs and services the system information shows
    static const QString& systemLogFile();
    static const QString& serviceLogDir(); // one folder per service, its log in "current"
    static const QString& serviceDir(); // one folder per supervised service
    static const QString& errorLogFile();
    // Web server and clock of the machine
    static const QString& lighttpdConfFile();
    static const QString& certificatesDir(); // one folder per certificate
    static const QString& localtimeLink();
    static const QString& zoneinfoDir(); // the Etc zones the time-zone link may name
};
