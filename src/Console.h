#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

class ConfigurationManager;

namespace ls {
class ConsoleReader;
}

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
    void printHelpScreen() const;

    ConfigurationManager* m_manager;
    QStringList m_additionalData;
    ls::ConsoleReader* m_reader;
};
