#include "LogCapture.h"
#include "PrivateBus.h"
#include "SimCalls.h"
#include "SimPeers.h"
#include "TestRoot.h"

#include "libcorvane/Singleton.h"
#include "ls/ErrorReturn.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"
#include "ls/StateId.h"
#include "proxy/DocumentManagerProxy.h"
#include "proxy/ErrorHandler.h"
#include "proxy/ErrorHandlerThread.h"
#include "proxy/NetworkManagerProxy.h"
#include "proxy/PrintManagerProxy.h"
#include "proxy/SpeechFeedback.h"
#include "proxy/StateHandler.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using libtranslation::Sid::EmbosserCore;

namespace {
// Every call to a missing peer ends well within this (the bus answers for it at once).
constexpr int boundMs = 6000;

QVariantMap errorChange(const QString& sender, const QString& errorId, const QString& code)
{
    return { { ls::notificationIdKey, "ErrorChange" }, { ls::actionIdKey, "HandleError" }, { ls::senderIdKey, sender },
        { ls::errorIdKey, errorId }, { ls::errorReturnCodeKey, code } };
}
} // namespace

class TestProxy : public QObject {
    Q_OBJECT

private:
    QList<QStringList> callsOf(const QString& role) const { return SimCalls(m_root->path()).of(role); }

    void notifyErrorHandler(const QVariantMap& notification)
    {
        QMetaObject::invokeMethod(&libcorvane::Singleton<detail::ErrorHandler>::instance(), "onNotification",
            Qt::BlockingQueuedConnection, Q_ARG(QVariantMap, notification));
    }

    static bool pending()
    {
        QMutexLocker lock(&detail::errorMutex);
        return detail::errorPending;
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_peers = std::make_unique<SimPeers>(m_root->path());
        QVERIFY(m_peers->start());
        QLoggingCategory::setFilterRules("SpeechFeedback.warning=true");
    }

    // Requests reach the daemon in order; waitUntilDone ends on its empty queue or at the limit.
    void speechFeedback()
    {
        auto& speech = libcorvane::Singleton<detail::SpeechFeedback>::instance();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(speech.waitUntilDone());
        QVERIFY2(clock.elapsed() < 1000, "nothing was requested, so nothing is awaited");

        LogCapture log;
        QVERIFY(!speech.tone(static_cast<detail::SpeechFeedback::Tone>(6)));
        QVERIFY(log.contains("Missing file for tone: 6"));
        QVERIFY(speech.tone(detail::SpeechFeedback::Tone400));
        speech.speakFromId(EmbosserCore::PowerUpMessage, { "ready; rm -rf /" });
        QVERIFY(speech.waitUntilDone());
        // Both were played before the wait ended, and tone 6 never reached the daemon.
        const QString tone = m_root->file("/usr/share/embosser/tones/tone400.raw");
        QCOMPARE(callsOf("speech-daemon"),
            (QList<QStringList> { { "file", tone }, { "speakFromId", "0", "10", "ready; rm -rf /" }, { "played", tone },
                { "spoken", "0", "10", "ready; rm -rf /" } }));

        // Without the daemon nothing is sent (a log line says so) and the wait gives up at its limit.
        m_peers->stop("speech-daemon");
        speech.setWaitLimit(300);
        log.clear();
        clock.restart();
        speech.speakFromId(EmbosserCore::PowerDown);
        QVERIFY(!speech.waitUntilDone());
        QVERIFY(clock.elapsed() < boundMs);
        QVERIFY(log.contains("Timeout waiting for speech-completion."));
        QVERIFY(log.contains("com.corvanebraille.SpeechManager is not connected"));
        QVERIFY(m_peers->start({ "speech-daemon" }));
        speech.setWaitLimit(detail::SpeechFeedback::defaultWaitLimit);
    }

    // Only an answer to this service's own error ends the wait; garbage changes nothing.
    void errorHandler()
    {
        ErrorHandlerThread::launch();
        QTRY_VERIFY_WITH_TIMEOUT(ErrorHandlerThread::isHandlerCreated(), 5000);
        auto& handler = libcorvane::Singleton<detail::ErrorHandler>::instance();
        QSignalSpy handled(&handler, &detail::ErrorHandler::errorHandled);
        LogCapture log;
        {
            QMutexLocker lock(&detail::errorMutex);
            detail::errorPending = true;
        }
        QVariantMap noSender = errorChange("ConfigManager", "EscMaxLinePerPage", "Continue");
        noSender.remove(ls::senderIdKey);
        notifyErrorHandler(noSender);
        QVERIFY(log.contains("Invalid notification!"));
        notifyErrorHandler(errorChange("ConfigManager", "EscMaxLinePerPage", "Maybe"));
        QVERIFY(log.contains("invalid error return code"));
        QVERIFY(pending());
        QCOMPARE(handled.count(), 0);

        notifyErrorHandler(errorChange("WebServer", "EscMaxLinePerPage", "Cancel"));
        QCOMPARE(handled.count(), 1);
        QVERIFY2(pending(), "another service's answer must not end this service's wait");
        QCOMPARE(handler.getErrorReturn("EscMaxLinePerPage"), QString("Cancel"));
        QCOMPARE(handler.getErrorReturn("EscMaxCharacterLine"), QString(ls::ErrorReturn::Undefined));

        // The round trip through the simulated error handler, answering Continue after a delay.
        QVERIFY(m_root->writeFile("/var/lib/sim/error-handler/answer", "Continue 200\n"));
        QVERIFY(handler.handleError("EscMaxCharacterLine"));
        {
            QMutexLocker lock(&detail::errorMutex);
            const QDeadlineTimer deadline(5000);
            while (detail::errorPending && detail::errorWaitCondition.wait(&detail::errorMutex, deadline)) { }
            QVERIFY2(!detail::errorPending, "the answer did not arrive");
        }
        QCOMPARE(handler.getErrorReturn("EscMaxCharacterLine"), QString("Continue"));
        QCOMPARE(
            callsOf("error-handler").first(), (QStringList { "HandleError", "EscMaxCharacterLine", "ConfigManager" }));

        m_peers->stop("error-handler");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!handler.handleError("EscMaxCharacterLine"));
        QVERIFY(clock.elapsed() < boundMs);
        QVERIFY(log.contains("Processing HandleError for EscMaxCharacterLine failed"));
        QVERIFY(m_peers->start({ "error-handler" }));
    }

    void stateHandler()
    {
        auto& state = libcorvane::Singleton<detail::StateHandler>::instance();
        QSignalSpy changes(&state, &detail::StateHandler::stateChange);
        QCOMPARE(state.getState(), QString("Idle"));
        QVERIFY(state.setState(ls::StateId::Error));
        QVERIFY(changes.wait(5000));
        QCOMPARE(changes.last().first().toString(), QString("Error"));
        QCOMPARE(state.getState(), QString("Error"));
        QVERIFY(state.goToPrevious());
        QCOMPARE(state.getState(), QString("Idle"));
        QVERIFY(!state.goToPrevious());
        QCOMPARE(callsOf("state-handler").at(1), (QStringList { "SetState", "Error", "PrintManager" }));

        LogCapture log;
        QMetaObject::invokeMethod(&state, "onNotification",
            Q_ARG(QVariantMap,
                (QVariantMap { { ls::notificationIdKey, "StateChange" }, { ls::actionIdKey, "SetState" },
                    { ls::senderIdKey, "StateHandler" }, { ls::stateIdKey, "Sleeping" } })));
        QVERIFY(log.contains("Invalid state received!"));

        m_peers->stop("state-handler");
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(state.getState(), QString(ls::StateId::Undefined));
        QVERIFY(!state.setState(ls::StateId::Error));
        QVERIFY(clock.elapsed() < boundMs);
        QVERIFY(log.contains("Processing SetState failed."));
        QVERIFY(m_peers->start({ "state-handler" }));
    }

    // Calls reach the managers with their arguments as given; a failing or missing manager is false.
    void managerProxies()
    {
        detail::DocumentManagerProxy documents;
        detail::NetworkManagerProxy network;
        detail::PrintManagerProxy print;
        QVERIFY(documents.restartServicesAfterReset());
        QVERIFY(network.configureActiveNetwork(ls::manualKey, "10.0.0.7", "255.255.255.0", "10.0.0.1", "$(reboot)"));
        QVERIFY(network.registerWifiBySsid("cafe", "p\tw"));
        QVERIFY(print.configureSlave());
        QCOMPARE(callsOf("document-manager"), (QList<QStringList> { { "restartServicesAfterReset" } }));
        QCOMPARE(callsOf("network-manager"),
            (QList<QStringList> {
                { "configureActiveNetwork", "manual", "10.0.0.7", "255.255.255.0", "10.0.0.1", "$(reboot)" },
                { "registerWifiBySsid", "cafe", "p\tw" } }));
        QCOMPARE(callsOf("print-manager"), (QList<QStringList> { { "configureSlave" } }));

        QVERIFY(m_root->writeFile("/var/lib/sim/fail/print-manager", ""));
        QVERIFY(!print.restartServicesAfterReset());
        LogCapture log;
        m_peers->stop("network-manager");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!network.checkHostName());
        QVERIFY(clock.elapsed() < boundMs);
        QVERIFY(log.contains("calling checkHostName of com.corvanebraille.NetworkManager failed"));
    }

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<SimPeers> m_peers;
};

QTEST_GUILESS_MAIN(TestProxy)
#include "tst_proxy.moc"
