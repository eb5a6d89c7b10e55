// The built daemon with the simulated peer services on its bus: spoken power feedback that
// waits for the speech daemon, the speech link across an in-process restart, and the service
// without its speech daemon.
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "SimCalls.h"
#include "SimPeers.h"
#include "TestRoot.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QTest>

#include <memory>

namespace {
const QString service = QStringLiteral("com.corvanebraille.ConfigurationManager");
}

class TestE2ePeers : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<SimPeers> m_peers;
    std::unique_ptr<DaemonProcess> m_daemon;

    QDBusReply<bool> speakPower(const QVariantList& arguments)
    {
        QDBusInterface manager(service, "/", service, QDBusConnection::systemBus());
        return manager.callWithArgumentList(QDBus::Block, "speakPower", arguments);
    }

    QList<QStringList> speech() const { return SimCalls(m_root->path()).of("speech-daemon"); }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_peers = std::make_unique<SimPeers>(m_root->path());
        QVERIFY(m_peers->start());
        m_daemon = std::make_unique<DaemonProcess>(m_root->path());
        QVERIFY(m_daemon->start());
        QVERIFY(m_daemon->waitForReady());
    }

    void speakPower()
    {
        QDBusReply<bool> reply = speakPower({ 3 });
        QVERIFY(reply.isValid());
        QVERIFY(!reply.value());
        QVERIFY(speech().isEmpty());

        reply = speakPower({ 2, QString("Zentra; reboot") });
        QVERIFY(reply.isValid() && reply.value());
        reply = speakPower({ 0 });
        QVERIFY(reply.isValid() && reply.value());
        // Power 0 answers only once its sentence has been spoken; the sentence before was cancelled.
        QCOMPARE(speech().last(), (QStringList { "spoken", "0", "34" }));
        QCOMPARE(speech().count({ "cancelAll" }), 2);
        QVERIFY(speech().contains({ "speakFromId", "0", "10", "Zentra; reboot" }));
    }

    // The speech feedback outlives the restart and still reaches the daemon; without the daemon
    // a request is logged as not sent and the caller is answered at once.
    void restartAndMissingDaemon()
    {
        const QStringList powerDown { "spoken", "0", "34" };
        const int spokenBefore = speech().count(powerDown);
        QDBusInterface manager(service, "/", service, QDBusConnection::systemBus());
        QVERIFY(manager.call("connectErrorHandler").type() == QDBusMessage::ReplyMessage);
        manager.call(QDBus::NoBlock, "restartServicesAfterReset");
        QVERIFY(m_daemon->waitForLog("QCoreApplication exited with status: 0"));
        QTRY_VERIFY_WITH_TIMEOUT(manager.call("getModel").type() == QDBusMessage::ReplyMessage, 20000);
        QVERIFY(speakPower({ 0 }).value());
        QCOMPARE(speech().last(), powerDown);
        QCOMPARE(speech().count(powerDown), spokenBefore + 1);

        m_peers->stop("speech-daemon");
        const QDBusReply<bool> reply = speakPower({ 1 });
        QVERIFY(reply.isValid() && reply.value());
        QVERIFY(m_daemon->waitForLog("com.corvanebraille.SpeechManager is not connected"));
        QVERIFY(m_daemon->isRunning());
    }
};

QTEST_GUILESS_MAIN(TestE2ePeers)
#include "tst_e2e_peers.moc"
