// The machine settings, the model description, papers and braille tables through the built
// daemon: every argument pattern reachable from the command-line clients, the save flag across a
// restart of the daemon, and every model of the embosser list answering its predicates.
#include "CommandLineClient.h"
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "TestRoot.h"
#include "lcm/EnumDetail.h"
#include "ls/JFile.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDomDocument>
#include <QFile>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {
const QString master = QStringLiteral("masterCollectionKey");
const QString readyLine = QStringLiteral("configuration-manager ready");

QString gdbus(const QString& method, const QStringList& arguments = QStringList())
{
    return CommandLineClient::gdbus(method, arguments);
}

QString busctl(const QString& method, const QString& signature = QString(), const QStringList& values = {})
{
    return CommandLineClient::busctl(method, signature, values);
}

QDBusMessage call(const QString& method, const QVariantList& arguments = QVariantList())
{
    QDBusMessage message
        = QDBusMessage::createMethodCall(CommandLineClient::service(), "/", CommandLineClient::service(), method);
    message.setArguments(arguments);
    return QDBusConnection::systemBus().call(message);
}
} // namespace

class TestE2eMachine : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;

    void startDaemon()
    {
        m_daemon = std::make_unique<DaemonProcess>(m_root->path(), "ServiceWatcher.debug=true");
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForLog(readyLine), qPrintable(m_daemon->log().join('\n')));
    }

    // The service reads its files again, as after a reset.
    void restartService()
    {
        const int ready = m_daemon->logCount(readyLine);
        QCOMPARE(gdbus("restartServicesAfterReset"), QString("()"));
        QVERIFY(m_daemon->waitForLog(readyLine, ready + 1));
    }

    QVariantMap readJson(const QString& machinePath) const
    {
        QVariantMap values;
        ls::JFile().readToMap(m_root->file(machinePath), values);
        return values;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(CommandLineClient::isInstalled("gdbus") && CommandLineClient::isInstalled("busctl"),
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
        QCOMPARE(gdbus("setVolume", { "high", master, "false" }), QString("()"));
        QCOMPARE(gdbus("getVolume", { master }), QString("('high',)"));
        QCOMPARE(gdbus("setVolume", { "medium", master }), QString("()"));
        QCOMPARE(gdbus("getVolume"), QString("('medium',)"));
        QCOMPARE(gdbus("setVolume", { "low" }), QString("()"));
        QCOMPARE(busctl("getVolume"), QString("s \"low\""));
        QVERIFY(busctl("setVolume", "s", { "high" }).isEmpty());
        QCOMPARE(busctl("getVolume", "s", { master }), QString("s \"high\""));
        QVERIFY(busctl("setSpeechSpeed", "isb", { "4", master, "false" }).isEmpty());
        QCOMPARE(busctl("getSpeechSpeed"), QString("i 4"));
        // A collection of its own: the master value stays.
        QCOMPARE(gdbus("duplicateCatalog", { master, "job" }), QString("(true,)"));
        QCOMPARE(gdbus("setVolume", { "low", "job" }), QString("()"));
        QCOMPARE(gdbus("getVolume", { "job" }), QString("('low',)"));
        QCOMPARE(gdbus("getVolume"), QString("('high',)"));
    }

    void keyedOverloadsAndTheirKeyChecks()
    {
        const QString key = "Odd low pulse time";
        QCOMPARE(gdbus("setIntValue", { key, "321", master, "false" }), QString("(true,)"));
        QCOMPARE(gdbus("getIntValue", { key, master }), QString("(321,)"));
        QCOMPARE(gdbus("setIntValue", { key, "322" }), QString("(true,)"));
        QCOMPARE(busctl("getIntValue", "s", { key }), QString("i 322"));
        QCOMPARE(gdbus("getOddLowPulseTime"), QString("(322,)"));
        QCOMPARE(gdbus("setIntValue", { "No such key", "1" }), QString("(false,)"));
        QCOMPARE(gdbus("getIntValue", { "No such key" }), QString("(-1,)"));
        QCOMPARE(gdbus("getIntDeltaValue", { "No such key" }), QString("(0,)"));
        QVERIFY(
            m_daemon->waitForLog("ConfigurationManagerAdaptor::setIntValue ERROR: Invalid int value parameter key!"));
        // The draft speed alignment changes the high speed value, and back.
        QCOMPARE(gdbus("setAlignAdjustmentDraftSpeed", { "7" }), QString("()"));
        QCOMPARE(gdbus("getAlignAdjustmentHighSpeed"), QString("(7,)"));
        QCOMPARE(gdbus("setAlignAdjustmentHighSpeed", { "5" }), QString("()"));
        QCOMPARE(gdbus("getAlignAdjustmentDraftSpeed"), QString("(5,)"));
    }

    void machineGettersAnswerTheirStoredValues()
    {
        const QVariantMap conf = readJson("/var/lib/embosser/embosserConf");
        QCOMPARE(gdbus("getModel"), QString("('%1',)").arg(conf.value("Model").toString()));
        QCOMPARE(gdbus("getSerialNo"), QString("('%1',)").arg(conf.value("Serial No").toString()));
        QCOMPARE(gdbus("getBaudrate"),
            QString("(%1,)").arg(readJson("/var/lib/embosser/serialCom").value("Baudrate").toInt()));
        QCOMPARE(gdbus("getHammerBatch"),
            QString("(%1,)").arg(readJson("/var/lib/embosser/embosserhead").value("Hammer batch").toInt()));
        QCOMPARE(gdbus("getType"), QString("(%1,)").arg(static_cast<int>(lcm::EmbosserType::Zentra)));
        QVERIFY(gdbus("getFirmwareDate").startsWith("('2025-10-14"));

        // Every getter without arguments answers with a value, never a D-Bus error, and logs no error:
        // a getter bound to a mistyped parameter name would answer -1 and log one.
        const int errorsBefore = m_daemon->logCount("ERROR:");
        QFile published(TestRoot::sourceDir() + "/dbus/com.corvanebraille.ConfigurationManager.xml");
        QDomDocument document;
        QVERIFY(published.open(QIODevice::ReadOnly) && document.setContent(&published));
        const QDomNodeList methods = document.elementsByTagName("method");
        const QRegularExpression getter("^(get|is|has)");
        int called = 0;
        for (int i = 0; i < methods.size(); ++i) {
            const QDomElement method = methods.at(i).toElement();
            const QString name = method.attribute("name");
            bool takesArguments = false;
            for (QDomElement arg = method.firstChildElement("arg"); !arg.isNull();
                 arg = arg.nextSiblingElement("arg")) {
                takesArguments |= arg.attribute("direction") == "in";
            }
            if (!takesArguments && getter.match(name).hasMatch()) {
                const QDBusMessage reply = call(name);
                QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(name + ' ' + reply.errorMessage()));
                ++called;
            }
        }
        QVERIFY(called > 150);
        QCOMPARE(m_daemon->log().filter("ERROR:").mid(errorsBefore), QStringList());
    }

    void savedChangesSurviveARestartOfTheDaemonUnsavedDoNot()
    {
        const QVariantMap speech = readJson("/var/lib/embosser/speech");
        QCOMPARE(gdbus("setVolume", { "low" }), QString("()"));
        QCOMPARE(gdbus("setSpeechSpeed", { "9", master, "true" }), QString("()"));
        QCOMPARE(readJson("/var/lib/embosser/speech").value("Speech speed").toInt(), 9);
        QCOMPARE(readJson("/var/lib/embosser/speech").value("Volume"), speech.value("Volume"));
        m_daemon->stop();
        startDaemon();
        QCOMPARE(gdbus("getSpeechSpeed"), QString("(9,)"));
        QCOMPARE(gdbus("getVolume"), QString("('%1',)").arg(speech.value("Volume").toString()));
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/speech"));
    }

    void transportModeSilencesTheNetworkInMemoryOnly()
    {
        QCOMPARE(gdbus("getAnnounceNetwork"), QString("(1,)"));
        QCOMPARE(gdbus("setConfiguration", { "1", master, "true" }), QString("()"));
        restartService();
        QCOMPARE(gdbus("getAnnounceNetwork"), QString("(0,)"));
        QCOMPARE(gdbus("getAutomaticUpdateCheck"), QString("(0,)"));
        const QVariantMap stored = readJson("/var/lib/embosser/parameters");
        QCOMPARE(stored.value("Announce network").toInt(), 1);
        QCOMPARE(stored.value("Automatic update check").toInt(), 1);
        QCOMPARE(gdbus("setConfiguration", { "0", master, "true" }), QString("()"));
        restartService();
        QCOMPARE(gdbus("getAnnounceNetwork"), QString("(1,)"));
    }

    // Run-time values and the active layout's parameters through the bus: a job's collection keeps
    // its own values but not the machine's switches, the checksum goes in as a double and comes out
    // as an int, a value off its list is refused, a print option saves the active layout; a restart
    // brings back the run-time defaults and the saved layout only.
    void runTimePropertiesAndLayoutParameters()
    {
        QCOMPARE(gdbus("duplicateCatalog", { master, "print" }), QString("(true,)"));
        QCOMPARE(gdbus("setHostname", { "print-host", "print" }), QString("()"));
        QCOMPARE(gdbus("getHostname", { "print" }), QString("('print-host',)"));
        QCOMPARE(gdbus("getHostname"), QString("('corvane-embosser',)"));
        QCOMPARE(gdbus("setFileCRC", { "1234.7" }), QString("()"));
        QCOMPARE(gdbus("getFileCRC"), QString("(1235,)"));
        QVERIFY(busctl("setPrintingPaused", "b", { "true" }).isEmpty());
        QCOMPARE(gdbus("getPrintingPaused"), QString("(true,)"));
        QVERIFY(gdbus("getTempProperties", { "print" }).contains("'Printing Paused': <false>"));
        QCOMPARE(gdbus("setLockRegion", { "Maybe" }), QString("()"));
        QCOMPARE(gdbus("getLockRegion"), QString("('No',)"));
        QVERIFY(m_daemon->waitForLog("refused value for Lock region : not in the value list YesNo"));
        QVERIFY(gdbus("getLayoutParameters", { master }).contains("'Paper width': <210.0>"));

        QCOMPARE(gdbus("setKeepFormat", { "false" }), QString("()"));
        QCOMPARE(gdbus("getMaintainDocumentFormatting"), QString("('false',)"));
        QCOMPARE(readJson("/var/lib/embosser/layout.1").value("Maintain document formatting").toString(), "false");
        QCOMPARE(gdbus("setLeftOffset", { "12.5" }), QString("()"));
        QCOMPARE(gdbus("getLeftOffset"), QString("(12.5,)"));

        restartService();
        QCOMPARE(gdbus("getHostname", { "print" }), QString("('corvane-embosser',)"));
        QCOMPARE(gdbus("getPrintingPaused"), QString("(false,)"));
        QCOMPARE(gdbus("getKeepFormat"), QString("(false,)"));
        QCOMPARE(gdbus("getLeftOffset"), QString("(0.0,)"));
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/layout.1"));
    }

    void papersAndTables()
    {
        const QVariantMap papers = readJson("/usr/share/configuration-manager/paperList.json");
        QVERIFY(!papers.isEmpty());
        for (const QString& paper : papers.keys()) {
            const QDBusReply<double> width = call("getWidthForPaper", { paper });
            const QDBusReply<double> height = call("getHeightForPaper", { paper });
            QVERIFY2(width.isValid() && width.value() > 0 && height.isValid() && height.value() > 0, qPrintable(paper));
        }
        const QDBusReply<double> unknown = call("getWidthForPaper", { "No such paper" });
        QVERIFY(unknown.isValid() && unknown.value() < 0);

        const QString output = gdbus("getTableMetadata", { "English (U.S.)", "computer_6dot" });
        QVERIFY2(output.contains("'sourcefile:': <'en-us-comp6.ctb'>") && output.contains("'dots:': <'6'>"),
            qPrintable(output));
        QCOMPARE(gdbus("getTableMetadata", { "../English (U.S.)", "computer_6dot" }), QString("(@a{sv} {},)"));
    }

    void everyModelAnswersItsPredicatesAndLimits()
    {
        const QVariantMap models = readJson("/usr/share/configuration-manager/embosserList.json");
        const QMetaEnum types = QMetaEnum::fromType<lcm::EmbosserType>();
        for (auto it = models.constBegin(); it != models.constEnd(); ++it) {
            const QVariantMap model = it.value().toMap();
            // The settings file and the flash memory agree on the model, as on a machine set up
            // for it; a restart of the service reads them again.
            QCOMPARE(gdbus("setModel", { it.key(), master, "true" }), QString("()"));
            QString flash = QString::fromUtf8(m_root->readFile("/var/lib/sim/eeprom"));
            flash.replace(QRegularExpression("^Model=.*$", QRegularExpression::MultilineOption), "Model=" + it.key());
            QVERIFY(m_root->writeFile("/var/lib/sim/eeprom", flash.toUtf8()));
            restartService();

            const int type = types.keyToValue(model.value("eEmbosserType").toString().toLatin1().constData());
            QCOMPARE(gdbus("getModel"), QString("('%1',)").arg(it.key()));
            QCOMPARE(gdbus("getType"), QString("(%1,)").arg(type));
            QCOMPARE(gdbus("getShortID"), QString("('%1',)").arg(model.value("shortID").toString()));
            QCOMPARE(QDBusReply<double>(call("getMaxWidth")).value(), model.value("maxPaperWidth").toDouble());
            QCOMPARE(QDBusReply<double>(call("getMinHeight")).value(), model.value("minPaperHeight").toDouble());
            QCOMPARE(QDBusReply<bool>(call("isDoubleSided")).value(), type != 11);
        }
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/embosserConf"));
    }
};

QTEST_GUILESS_MAIN(TestE2eMachine)
#include "tst_e2e_machine.moc"
