// The machine settings, the model description, papers and braille tables through the built
// daemon: every argument pattern reachable from the command-line clients, the save flag across a
// restart of the daemon, and every model of the embosser list answering its predicates.
#include "CommandLineClient.h"
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "TestRoot.h"
#include "ls/JFile.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDomDocument>
#include <QFile>
#include <QMetaEnum>
#include <QTest>

#include "lcm/EnumDetail.h"

#include <memory>

namespace {
const QString master = QStringLiteral("masterCollectionKey");
const QString readyLine = QStringLiteral("configuration-manager ready");

QString gdbus(const QString& method, const QStringList& arguments = QStringList())
{
    return CommandLineClient::gdbus(method, arguments);
}
} // namespace

class TestE2eMachine : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;
    ls::JFile m_file;

    void startDaemon()
    {
        m_daemon = std::make_unique<DaemonProcess>(m_root->path(), QStringLiteral("ServiceWatcher.debug=true"));
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForLog(readyLine), qPrintable(m_daemon->log().join(QLatin1Char('\n'))));
    }

    QVariantMap settingsFile(const QString& name) const
    {
        QVariantMap values;
        m_file.readToMap(m_root->file(QStringLiteral("/var/lib/embosser/") + name), values);
        return values;
    }

    QStringList errorLines() const { return m_daemon->log().filter(QStringLiteral("ERROR:")); }

    static QDBusMessage call(const QString& method, const QVariantList& arguments = QVariantList())
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            CommandLineClient::service(), QStringLiteral("/"), CommandLineClient::interfaceName(), method);
        message.setArguments(arguments);
        return QDBusConnection::systemBus().call(message);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(CommandLineClient::isInstalled(QStringLiteral("gdbus"))
                && CommandLineClient::isInstalled(QStringLiteral("busctl")),
            "gdbus and busctl are missing; scripts/test installs them");
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        startDaemon();
    }

    void cleanupTestCase() { m_daemon.reset(); }

    void catalogAndSaveOverloadsFromGdbusAndBusctl()
    {
        // gdbus types every call from the first (longest) overload; busctl names the signature.
        QCOMPARE(gdbus(QStringLiteral("setVolume"), { "high", master, "false" }), QStringLiteral("()"));
        QCOMPARE(gdbus(QStringLiteral("getVolume"), { master }), QStringLiteral("('high',)"));
        QCOMPARE(gdbus(QStringLiteral("setVolume"), { "medium", master }), QStringLiteral("()"));
        QCOMPARE(gdbus(QStringLiteral("getVolume")), QStringLiteral("('medium',)"));
        QCOMPARE(gdbus(QStringLiteral("setVolume"), { "low" }), QStringLiteral("()"));
        QCOMPARE(CommandLineClient::busctl(QStringLiteral("getVolume")), QStringLiteral("s \"low\""));
        QVERIFY(CommandLineClient::busctl(QStringLiteral("setVolume"), QStringLiteral("s"), { "high" }).isEmpty());
        QCOMPARE(CommandLineClient::busctl(QStringLiteral("getVolume"), QStringLiteral("s"), { master }),
            QStringLiteral("s \"high\""));
        QVERIFY(
            CommandLineClient::busctl(QStringLiteral("setSpeechSpeed"), QStringLiteral("isb"), { "4", master, "false" })
                .isEmpty());
        QCOMPARE(CommandLineClient::busctl(QStringLiteral("getSpeechSpeed")), QStringLiteral("i 4"));
        // A collection of its own: the master value stays.
        QCOMPARE(gdbus(QStringLiteral("duplicateCatalog"), { master, "job" }), QStringLiteral("(true,)"));
        QCOMPARE(gdbus(QStringLiteral("setVolume"), { "low", "job" }), QStringLiteral("()"));
        QCOMPARE(gdbus(QStringLiteral("getVolume"), { "job" }), QStringLiteral("('low',)"));
        QCOMPARE(gdbus(QStringLiteral("getVolume")), QStringLiteral("('high',)"));
    }

    void keyedOverloadsAndTheirKeyChecks()
    {
        const QString key = QStringLiteral("Odd low pulse time");
        QCOMPARE(gdbus(QStringLiteral("setIntValue"), { key, "321", master, "false" }), QStringLiteral("(true,)"));
        QCOMPARE(gdbus(QStringLiteral("getIntValue"), { key, master }), QStringLiteral("(321,)"));
        QCOMPARE(gdbus(QStringLiteral("setIntValue"), { key, "322" }), QStringLiteral("(true,)"));
        QCOMPARE(CommandLineClient::busctl(QStringLiteral("getIntValue"), QStringLiteral("s"), { key }),
            QStringLiteral("i 322"));
        QCOMPARE(gdbus(QStringLiteral("getOddLowPulseTime")), QStringLiteral("(322,)"));

        QCOMPARE(gdbus(QStringLiteral("setIntValue"), { "No such key", "1" }), QStringLiteral("(false,)"));
        QCOMPARE(gdbus(QStringLiteral("getIntValue"), { "No such key" }), QStringLiteral("(-1,)"));
        QCOMPARE(gdbus(QStringLiteral("getIntDeltaValue"), { "No such key" }), QStringLiteral("(0,)"));
        QVERIFY(m_daemon->waitForLog(
            QStringLiteral("ConfigurationManagerAdaptor::setIntValue ERROR: Invalid int value parameter key!")));
    }

    void draftSpeedAlignmentChangesTheHighSpeedValue()
    {
        QCOMPARE(gdbus(QStringLiteral("setAlignAdjustmentDraftSpeed"), { "7" }), QStringLiteral("()"));
        QCOMPARE(gdbus(QStringLiteral("getAlignAdjustmentHighSpeed")), QStringLiteral("(7,)"));
        QCOMPARE(gdbus(QStringLiteral("setAlignAdjustmentHighSpeed"), { "5" }), QStringLiteral("()"));
        QCOMPARE(gdbus(QStringLiteral("getAlignAdjustmentDraftSpeed")), QStringLiteral("(5,)"));
    }

    void machineGettersAnswerTheirStoredValues()
    {
        const QVariantMap conf = settingsFile(QStringLiteral("embosserConf"));
        const QVariantMap serial = settingsFile(QStringLiteral("serialCom"));
        const QVariantMap head = settingsFile(QStringLiteral("embosserhead"));
        QCOMPARE(gdbus(QStringLiteral("getModel")),
            QStringLiteral("('%1',)").arg(conf.value(QStringLiteral("Model")).toString()));
        QCOMPARE(gdbus(QStringLiteral("getSerialNo")),
            QStringLiteral("('%1',)").arg(conf.value(QStringLiteral("Serial No")).toString()));
        QCOMPARE(gdbus(QStringLiteral("getBaudrate")),
            QStringLiteral("(%1,)").arg(serial.value(QStringLiteral("Baudrate")).toInt()));
        QCOMPARE(gdbus(QStringLiteral("getHammerBatch")),
            QStringLiteral("(%1,)").arg(head.value(QStringLiteral("Hammer batch")).toInt()));
        QCOMPARE(
            gdbus(QStringLiteral("getType")), QStringLiteral("(%1,)").arg(static_cast<int>(lcm::EmbosserType::Zentra)));
        QVERIFY(gdbus(QStringLiteral("getFirmwareDate")).startsWith(QLatin1String("('2025-10-14")));

        // Every getter without arguments answers with a value, never a D-Bus error, and logs no error:
        // a getter bound to a mistyped parameter name would answer -1 and log one.
        const QStringList errorsBefore = errorLines();
        QFile published(TestRoot::sourceDir() + QStringLiteral("/dbus/com.corvanebraille.ConfigurationManager.xml"));
        QVERIFY(published.open(QIODevice::ReadOnly));
        QDomDocument document;
        QVERIFY(document.setContent(&published));
        const QDomNodeList methods = document.elementsByTagName(QStringLiteral("method"));
        int called = 0;
        for (int i = 0; i < methods.size(); ++i) {
            const QDomElement method = methods.at(i).toElement();
            const QString name = method.attribute(QStringLiteral("name"));
            bool takesArguments = false;
            for (QDomElement arg = method.firstChildElement(QStringLiteral("arg")); !arg.isNull();
                 arg = arg.nextSiblingElement(QStringLiteral("arg"))) {
                takesArguments |= arg.attribute(QStringLiteral("direction")) == QLatin1String("in");
            }
            if (takesArguments
                || !(name.startsWith(QLatin1String("get")) || name.startsWith(QLatin1String("is"))
                    || name.startsWith(QLatin1String("has")))) {
                continue;
            }
            const QDBusMessage reply = call(name);
            QVERIFY2(
                reply.type() == QDBusMessage::ReplyMessage, qPrintable(name + QLatin1Char(' ') + reply.errorMessage()));
            ++called;
        }
        QVERIFY(called > 150);
        QCOMPARE(errorLines().mid(errorsBefore.size()), QStringList());
    }

    void savedChangesSurviveARestartOfTheDaemonUnsavedDoNot()
    {
        const QVariantMap speech = settingsFile(QStringLiteral("speech"));
        QCOMPARE(gdbus(QStringLiteral("setVolume"), { "low" }), QStringLiteral("()"));
        QCOMPARE(gdbus(QStringLiteral("setSpeechSpeed"), { "9", master, "true" }), QStringLiteral("()"));
        QCOMPARE(settingsFile(QStringLiteral("speech")).value(QStringLiteral("Speech speed")).toInt(), 9);
        QCOMPARE(settingsFile(QStringLiteral("speech")).value(QStringLiteral("Volume")),
            speech.value(QStringLiteral("Volume")));

        m_daemon->stop();
        startDaemon();
        QCOMPARE(gdbus(QStringLiteral("getSpeechSpeed")), QStringLiteral("(9,)"));
        QCOMPARE(gdbus(QStringLiteral("getVolume")),
            QStringLiteral("('%1',)").arg(speech.value(QStringLiteral("Volume")).toString()));
        QVERIFY(m_root->restoreShipped(QStringLiteral("/var/lib/embosser/speech")));
    }

    void transportModeSilencesTheNetworkInMemoryOnly()
    {
        QCOMPARE(gdbus(QStringLiteral("getAnnounceNetwork")), QStringLiteral("(1,)"));
        QCOMPARE(gdbus(QStringLiteral("setConfiguration"), { "1", master, "true" }), QStringLiteral("()"));
        const int ready = m_daemon->logCount(readyLine);
        QCOMPARE(gdbus(QStringLiteral("restartServicesAfterReset")), QStringLiteral("()"));
        QVERIFY(m_daemon->waitForLog(readyLine, ready + 1));

        QCOMPARE(gdbus(QStringLiteral("getAnnounceNetwork")), QStringLiteral("(0,)"));
        QCOMPARE(gdbus(QStringLiteral("getAutomaticUpdateCheck")), QStringLiteral("(0,)"));
        const QVariantMap stored = settingsFile(QStringLiteral("parameters"));
        QCOMPARE(stored.value(QStringLiteral("Announce network")).toInt(), 1);
        QCOMPARE(stored.value(QStringLiteral("Automatic update check")).toInt(), 1);

        QCOMPARE(gdbus(QStringLiteral("setConfiguration"), { "0", master, "true" }), QStringLiteral("()"));
        QCOMPARE(gdbus(QStringLiteral("restartServicesAfterReset")), QStringLiteral("()"));
        QVERIFY(m_daemon->waitForLog(readyLine, ready + 2));
        QCOMPARE(gdbus(QStringLiteral("getAnnounceNetwork")), QStringLiteral("(1,)"));
    }

    void standardPapersResolve()
    {
        QVariantMap papers;
        QVERIFY(
            m_file.readToMap(m_root->file(QStringLiteral("/usr/share/configuration-manager/paperList.json")), papers));
        QVERIFY(!papers.isEmpty());
        for (auto it = papers.constBegin(); it != papers.constEnd(); ++it) {
            const QDBusReply<double> width = call(QStringLiteral("getWidthForPaper"), { it.key() });
            QVERIFY2(width.isValid() && width.value() > 0, qPrintable(it.key()));
            const QDBusReply<double> height = call(QStringLiteral("getHeightForPaper"), { it.key() });
            QVERIFY2(height.isValid() && height.value() > 0, qPrintable(it.key()));
        }
        const QDBusReply<double> unknown
            = call(QStringLiteral("getWidthForPaper"), { QStringLiteral("No such paper") });
        QVERIFY(unknown.isValid() && unknown.value() < 0);
    }

    void tableMetadataOfAnInstalledTable()
    {
        const QString output = gdbus(QStringLiteral("getTableMetadata"), { "English (U.S.)", "computer_6dot" });
        QVERIFY2(output.contains(QLatin1String("'sourcefile:': <'en-us-comp6.ctb'>")), qPrintable(output));
        QVERIFY(output.contains(QLatin1String("'dots:': <'6'>")));
        QCOMPARE(gdbus(QStringLiteral("getTableMetadata"), { "../English (U.S.)", "computer_6dot" }),
            QStringLiteral("(@a{sv} {},)"));
    }

    void everyModelAnswersItsPredicatesAndLimits()
    {
        QVariantMap models;
        QVERIFY(m_file.readToMap(
            m_root->file(QStringLiteral("/usr/share/configuration-manager/embosserList.json")), models));
        const QMetaEnum types = QMetaEnum::fromType<lcm::EmbosserType>();
        int restarts = m_daemon->logCount(readyLine);
        for (auto it = models.constBegin(); it != models.constEnd(); ++it) {
            const QVariantMap model = it.value().toMap();
            // The settings file and the flash memory agree on the model, as on a machine set up
            // for it; a restart of the service reads them again.
            QCOMPARE(gdbus(QStringLiteral("setModel"), { it.key(), master, "true" }), QStringLiteral("()"));
            QStringList flash
                = QString::fromUtf8(m_root->readFile(QStringLiteral("/var/lib/sim/eeprom"))).split(QLatin1Char('\n'));
            for (QString& line : flash) {
                if (line.startsWith(QLatin1String("Model="))) {
                    line = QStringLiteral("Model=") + it.key();
                }
            }
            QVERIFY(m_root->writeFile(QStringLiteral("/var/lib/sim/eeprom"), flash.join(QLatin1Char('\n')).toUtf8()));
            QCOMPARE(gdbus(QStringLiteral("restartServicesAfterReset")), QStringLiteral("()"));
            QVERIFY(m_daemon->waitForLog(readyLine, ++restarts));

            const QString type = model.value(QStringLiteral("eEmbosserType")).toString();
            const int typeValue = types.keyToValue(type.toLatin1().constData());
            QCOMPARE(gdbus(QStringLiteral("getModel")), QStringLiteral("('%1',)").arg(it.key()));
            QCOMPARE(gdbus(QStringLiteral("getType")), QStringLiteral("(%1,)").arg(typeValue));
            QCOMPARE(gdbus(QStringLiteral("getShortID")),
                QStringLiteral("('%1',)").arg(model.value(QStringLiteral("shortID")).toString()));
            const QDBusReply<double> maxWidth = call(QStringLiteral("getMaxWidth"));
            QCOMPARE(maxWidth.value(), model.value(QStringLiteral("maxPaperWidth")).toDouble());
            const QDBusReply<double> minHeight = call(QStringLiteral("getMinHeight"));
            QCOMPARE(minHeight.value(), model.value(QStringLiteral("minPaperHeight")).toDouble());
            const QDBusReply<bool> doubleSided = call(QStringLiteral("isDoubleSided"));
            QCOMPARE(doubleSided.value(), typeValue != 11);
        }
        QVERIFY(m_root->restoreShipped(QStringLiteral("/var/lib/embosser/embosserConf")));
    }
};

QTEST_GUILESS_MAIN(TestE2eMachine)
#include "tst_e2e_machine.moc"
