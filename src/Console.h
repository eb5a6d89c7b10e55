#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

class ConfigurationManager;

namespace ls {
class ConsoleReader;
class MetaEnum;
} // namespace ls

// The debug console on the service's terminal: one command per line ("C", "ADD", "CLEAR",
// "HELP"), commands sent by number through the manager's dispatcher, and every notification of
// the service printed. All output goes to the debug log of the "Console" category.
class Console : public QObject {
    Q_OBJECT

public:
    explicit Console(ConfigurationManager* manager);

    // Exposed for tests and the reader alike: handles one typed line.
    void handleLine(const QString& line);
    QStringList additionalData() const { return m_additionalData; }

private slots:
    void onTextReceived(const QString& line);
    void printNotification(const QVariantMap& notification) const;

private:
    bool add(const QString& line);
    bool clear();
    bool help(const QString& line) const;
    bool sendCommand(const QString& line);
    // The parameter help of one sub-command of `Layout` ("HELP 0 <sub-command>").
    bool parameterHelp(const ls::MetaEnum& subCommands, const QStringList& parts) const;
    // Adds the keys of a `Layout` request from the line's integer and the additional data; false
    // (and nothing to send) when the console cannot fill the sub-command.
    bool processLayoutCommand(const QString& subCommand, const QStringList& parts, QVariantMap& request) const;
    void printHelpScreen() const;

    ConfigurationManager* m_manager;
    QStringList m_additionalData;
    ls::ConsoleReader* m_reader;
};
