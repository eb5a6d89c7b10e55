#include "CrashProbe.h"

#include "CommandLineClient.h"
#include "DaemonProcess.h"
#include "SettingsFileCheck.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QTest>

namespace {
const QString master = QStringLiteral("masterCollectionKey");

void send(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        CommandLineClient::service(), QStringLiteral("/"), CommandLineClient::interfaceName(), method);
    message.setArguments(arguments);
    // The replies do not matter: most never come, the daemon dies first.
    QDBusConnection::systemBus().asyncCall(message);
}

// Empty once the daemon reports ready, else its log.
QString startUp(DaemonProcess& daemon)
{
    if (daemon.start() && daemon.waitForLog(QStringLiteral("configuration-manager ready"))) {
        return QString();
    }
    return QStringLiteral("the daemon did not come up:\n") + daemon.log().join(QLatin1Char('\n'));
}
} // namespace

CrashProbe::CrashProbe(const QString& rootPath, quint32 seed)
    : m_rootPath(rootPath)
    , m_random(seed)
{
}

QStringList CrashProbe::round()
{
    ++m_rounds;
    {
        DaemonProcess daemon(m_rootPath, QStringLiteral("ServiceWatcher.debug=true"));
        const QString failure = startUp(daemon);
        if (!failure.isEmpty()) {
            m_cameUp = false;
            return { failure };
        }
        for (int n = m_rounds * 3; n < m_rounds * 3 + 3; ++n) {
            send(QStringLiteral("setSpeechSpeed"), { 1 + n % 10, master, true });
            send(QStringLiteral("setCounter"), { n });
            send(QStringLiteral("setIntValue"), { QStringLiteral("Odd low pulse time"), 200 + n % 4800, master, true });
            send(QStringLiteral("setVolume"),
                { QStringList { QStringLiteral("low"), QStringLiteral("medium"), QStringLiteral("high") }.at(n % 3),
                    master, true });
            send(QStringLiteral("setSerialNo"), { QString::number(30000 + n), master, true });
            send(QStringLiteral("setIntDeltaValue"), { QStringLiteral("Hammer 1 delta"), n % 500, master, true });
            send(QStringLiteral("setAnnounceNetwork"), { n % 2, master, true });
            send(QStringLiteral("setBaudrate"), { n % 2 ? 9600 : 19200, master, true });
            send(QStringLiteral("setArchitecture"),
                { n % 2 ? QStringLiteral("cortex-m4") : QStringLiteral("cortex-m7"), master, true });
        }
        // The pause is the point of the round: it picks where in the burst the kill lands.
        QTest::qWait(int(m_random.bounded(51)));
        daemon.kill();
    }
    return SettingsFileCheck(m_rootPath).problems();
}

QString CrashProbe::comesUp()
{
    DaemonProcess daemon(m_rootPath, QStringLiteral("ServiceWatcher.debug=true"));
    const QString failure = startUp(daemon);
    m_cameUp = m_cameUp && failure.isEmpty();
    return failure;
}
