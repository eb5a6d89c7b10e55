#pragma once

#include <QRandomGenerator>
#include <QSet>
#include <QString>
#include <QStringList>

// Kills the service while it saves, as a crash or a power cut would. One round starts the built
// daemon on the root (a private bus must be set up), waits until it reports ready, fires a burst
// of saving setters without waiting for their replies, kills the daemon with SIGKILL after a
// random delay of 0 to 50 ms and checks the settings files (SettingsFileCheck). The delays come
// from a seeded generator, so a seed replays the same kill points as far as timing allows.
class CrashProbe {
public:
    CrashProbe(const QString& rootPath, quint32 seed);

    // One round. False when the daemon did not come up; the settings files' faults, if any, are
    // in lastProblems() either way.
    bool round();
    // Starts the daemon once more and stops it as soon as it reports ready.
    bool comesUp();

    int rounds() const { return m_rounds; }
    // Files found empty, unreadable or not a JSON object, summed over the rounds.
    int unparsableFiles() const { return m_unparsableFiles; }
    // Values found that do not fit their definitions, summed over the rounds.
    int badValues() const { return m_badValues; }
    QStringList lastProblems() const { return m_lastProblems; }
    QString lastFailure() const { return m_lastFailure; }
    // Files in the settings directories that were not there at the start: temporary files of
    // writes the kill interrupted.
    QStringList strayFiles() const;

private:
    void fireBurst();
    QStringList settingsDirectoryEntries() const;

    QString m_rootPath;
    QRandomGenerator m_random;
    QSet<QString> m_initialEntries;
    int m_rounds = 0;
    int m_unparsableFiles = 0;
    int m_badValues = 0;
    QStringList m_lastProblems;
    QString m_lastFailure;
};
