#include "CrashProbe.h"

#include "CommandLineClient.h"
#include "DaemonProcess.h"
#include "SettingsFileCheck.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QTest>

namespace {
const QString master = QStringLiteral("masterCollectionKey");
const QString readyLine = QStringLiteral("configuration-manager ready");
const QStringList settingsDirectories { QStringLiteral("/var/lib/embosser"), QStringLiteral("/var/lib/slave") };

void send(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        CommandLineClient::service(), QStringLiteral("/"), CommandLineClient::interfaceName(), method);
    message.setArguments(arguments);
    // The replies do not matter: most never come, the daemon dies first.
    QDBusConnection::systemBus().asyncCall(message);
}
} // namespace

CrashProbe::CrashProbe(const QString& rootPath, quint32 seed)
    : m_rootPath(rootPath)
    , m_random(seed)
{
    const QStringList entries = settingsDirectoryEntries();
    m_initialEntries = QSet<QString>(entries.cbegin(), entries.cend());
}

bool CrashProbe::round()
{
    ++m_rounds;
    m_lastProblems.clear();
    m_lastFailure.clear();
    {
        DaemonProcess daemon(m_rootPath, QStringLiteral("ServiceWatcher.debug=true"));
        if (!daemon.start() || !daemon.waitForLog(readyLine)) {
            m_lastFailure = QStringLiteral("round %1: the daemon did not come up:\n%2")
                                .arg(m_rounds)
                                .arg(daemon.log().join(QLatin1Char('\n')));
            return false;
        }
        fireBurst();
        // The pause is the point of the round: it picks where in the burst the kill lands.
        QTest::qWait(int(m_random.bounded(51)));
        daemon.kill();
    }
    const SettingsFileCheck check(m_rootPath);
    m_lastProblems = check.problems();
    const int unparsable = check.problems(false).size();
    m_unparsableFiles += unparsable;
    m_badValues += m_lastProblems.size() - unparsable;
    return true;
}

bool CrashProbe::comesUp()
{
    DaemonProcess daemon(m_rootPath, QStringLiteral("ServiceWatcher.debug=true"));
    if (!daemon.start() || !daemon.waitForLog(readyLine)) {
        m_lastFailure = QStringLiteral("the daemon did not come up:\n") + daemon.log().join(QLatin1Char('\n'));
        return false;
    }
    return true;
}

void CrashProbe::fireBurst()
{
    static const QStringList volumes { QStringLiteral("low"), QStringLiteral("medium"), QStringLiteral("high") };
    for (int i = 0; i < 3; ++i) {
        const int n = m_rounds * 3 + i;
        send(QStringLiteral("setSpeechSpeed"), { 1 + n % 10, master, true });
        send(QStringLiteral("setCounter"), { n });
        send(QStringLiteral("setIntValue"), { QStringLiteral("Odd low pulse time"), 200 + n % 4800, master, true });
        send(QStringLiteral("setVolume"), { volumes.at(n % 3), master, true });
        send(QStringLiteral("setSerialNo"), { QString::number(30000 + n), master, true });
        send(QStringLiteral("setIntDeltaValue"), { QStringLiteral("Hammer 1 delta"), n % 500, master, true });
        send(QStringLiteral("setAnnounceNetwork"), { n % 2, master, true });
        send(QStringLiteral("setBaudrate"), { n % 2 ? 9600 : 19200, master, true });
        send(QStringLiteral("setArchitecture"),
            { n % 2 ? QStringLiteral("cortex-m4") : QStringLiteral("cortex-m7"), master, true });
    }
}

QStringList CrashProbe::settingsDirectoryEntries() const
{
    QStringList entries;
    for (const QString& directory : settingsDirectories) {
        const QStringList names = QDir(m_rootPath + directory).entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : names) {
            entries << directory + QLatin1Char('/') + name;
        }
    }
    return entries;
}

QStringList CrashProbe::strayFiles() const
{
    QStringList stray;
    for (const QString& entry : settingsDirectoryEntries()) {
        if (!m_initialEntries.contains(entry)) {
            stray << entry;
        }
    }
    return stray;
}
