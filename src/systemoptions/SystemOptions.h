#pragma once

#include "CommandHandler.h"

#include <functional>

class SystemOptSettings;

// The `SystemOptions` command: date and time, time zone, model, settings reset, root privileges,
// the flash information and the configuration backups and restores. It announces nothing. After a
// successful restore it asks the document manager to restart the services; a failed restore asks
// nothing, so the services keep running on the configuration they have.
class SystemOptions : public CommandHandler {
    Q_OBJECT

public:
    // How the document manager is asked to restart the services after a restore.
    using RestartServices = std::function<void()>;

    SystemOptions(const SystemOptSettings& settings, RestartServices restartServices, QObject* parent = nullptr);

    QVariantMap process(const ls::Command& command) override;

private:
    QVariantMap getDateTime(const ls::Command& command) const;
    QVariantMap setDateTime(const ls::Command& command) const;
    QVariantMap getTimeZone(const ls::Command& command) const;
    QVariantMap setTimeZone(const ls::Command& command) const;
    QVariantMap saveFlashInfo(const ls::Command& command) const;
    QVariantMap setModel(const ls::Command& command) const;
    QVariantMap getModel(const ls::Command& command) const;
    QVariantMap resetSettings(const ls::Command& command) const;
    QVariantMap setSecurityRoot(const ls::Command& command) const;
    QVariantMap backupConfigUsb(const ls::Command& command) const;
    QVariantMap backupConfigInternal(const ls::Command& command) const;
    QVariantMap restoreConfigUsb(const ls::Command& command) const;
    QVariantMap restoreConfigInternal(const ls::Command& command) const;

    // Success or, logged under `operation`, failure with error id "Undefined".
    static QVariantMap outcome(bool done, const char* operation);
    QVariantMap restored(bool done, const char* operation) const;

    static const SubCommandTable<SystemOptions> table;

    const SystemOptSettings& m_settings;
    const RestartServices m_restartServices;
};
