#pragma once

#include <QRandomGenerator>
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

    // One round; its faults: the daemon not coming up, or the settings files' faults.
    QStringList round();
    // Starts the daemon once more and stops it once it reports ready; empty when it did.
    QString comesUp();

    int rounds() const { return m_rounds; }
    bool daemonCameUp() const { return m_cameUp; }

private:
    QString m_rootPath;
    QRandomGenerator m_random;
    int m_rounds = 0;
    bool m_cameUp = true;
};
