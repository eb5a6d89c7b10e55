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
    bool parameterHelp(const QString& command, const ls::MetaEnum& subCommands, const QString& word) const;
    // Adds the keys of the request's sub-command from the line's numbers and the additional data;
    // false when the console cannot fill that sub-command.
    bool buildRequest(const QString& command, const QStringList& numbers, QVariantMap& request) const;
    void printHelpScreen() const;

    ConfigurationManager* m_manager;
    QStringList m_additionalData;
    ls::ConsoleReader* m_reader;
};
