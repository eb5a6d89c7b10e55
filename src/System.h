#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class QProcess;

// The service's one way to run the embosser's system scripts and tools: service restarts, the
// settings reset script, the factory tool that saves the flash information, and the EEPROM
// handler that reads and writes single flash fields. Scripts run through the system shell with
// every outside piece of the command line single-quoted; the EEPROM handler gets an argument
// vector and no shell. Every call blocks until the program ends or its time-outs run out.
class System {
public:
    // Each of the three waits of waitForProcess (finish, terminate, kill).
    static constexpr int processTimeoutMs = 30000;

    static bool serviceRestart(const QString& name);
    // `timeoutMs` is only shortened by tests; the service always waits the full time.
    static bool waitForProcess(QProcess& process, int timeoutMs = processTimeoutMs);
    static bool resetFile(const QString& path);
    static bool setEmbosserModel(const QString& model);
    static bool resetSettingsForFlashModel();
    // The field's text as the handler printed it; a null variant when it could not be read.
    static const QVariant getFlashParameter(const QString& key);
    static bool setFlashParameter(const QString& key, const QVariant& value);
    static const QString getEmbosserModel();
    static bool saveFlashInfo(bool restart);

    // The EEPROM field that mirrors a configuration key ("printer.hw.model" -> "Model"); empty
    // for a key without one.
    static QString flashField(const QString& key);

    // Runs a command line with the system shell and waits for it; true when it exits with 0.
    // Whatever came from outside must already be quoted with ShellQuote.
    static bool runShellCommand(const QString& command);

private:
    static bool runEepromHandler(const QStringList& arguments, QByteArray* output);
};
