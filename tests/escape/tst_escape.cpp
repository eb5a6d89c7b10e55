#include "LogCapture.h"
#include "PrivateBus.h"
#include "SimCalls.h"
#include "SimPeers.h"
#include "TestRoot.h"

#include "ConfigurationManager.h"
#include "escape/EscapeHandler.h"
#include "libcorvane/Singleton.h"
#include "ls/Keys.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/EmbosserParameter.h"
#include "property/manager/ParametersCatalog.h"
#include "proxy/ErrorHandlerThread.h"
#include "proxy/StateHandler.h"

#include <QTest>

#include <memory>

namespace {
const QString master = QStringLiteral("masterCollectionKey");

QVariantMap escD(const QVariantMap& parameters)
{
    QVariantMap sequence = parameters;
    sequence.insert(ls::escSequenceType, "ESC_D");
    return sequence;
}

QVariantMap escC(const QVariantMap& parameters)
{
    QVariantMap sequence = parameters;
    sequence.insert(ls::escSequenceType, "ESC_C");
    return sequence;
}
} // namespace

class TestEscape : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<SimPeers> m_peers;
    std::unique_ptr<ConfigurationManager> m_manager;

    EscapeHandler& handler() { return *m_manager->escapeHandler(); }

    QVariant value(const QString& catalog, const QString& name)
    {
        const ParametersCatalog* found = m_manager->catalogsManager()->getCatalog(catalog, master);
        return found && found->parameter(name) ? found->parameter(name)->value : QVariant();
    }

    void setValue(const QString& catalog, const QString& name, const QVariant& value)
    {
        m_manager->catalogsManager()->getCatalog(catalog, master)->getParameter(name, false)->value = value;
    }

    QVariantMap snapshot()
    {
        QVariantMap all;
        for (const QString catalog : { "layout", "paper", "embosserhead", "network", "embosserConf" }) {
            const ParametersCatalog* found = m_manager->catalogsManager()->getCatalog(catalog, master);
            for (const QString& name : found->parameterNames()) {
                all.insert(catalog + '/' + name, found->parameter(name)->value);
            }
        }
        return all;
    }

    QList<QStringList> calls(const QString& role) { return SimCalls(m_root->path()).of(role); }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_peers = std::make_unique<SimPeers>(m_root->path());
        QVERIFY(m_peers->start({ "error-handler", "state-handler", "print-manager", "network-manager" }));
        m_manager = std::make_unique<ConfigurationManager>();
        m_manager->init();
        QVERIFY(m_manager->escapeHandler());
        ErrorHandlerThread::launch();
        QTRY_VERIFY(ErrorHandlerThread::isHandlerCreated());
    }

    // Refused or skipped input changes nothing at all.
    void refusals_data()
    {
        QTest::addColumn<QVariantMap>("sequence");
        QTest::newRow("no type") << QVariantMap { { "Characters per line", 20 } };
        QTest::newRow("unknown type") << QVariantMap { { ls::escSequenceType, "ESC_X" },
            { "Characters per line", 20 } };
        QTest::newRow("only the type") << escD({});
        QTest::newRow("only an unknown key") << escD({ { "Colour", 3 } });
        QTest::newRow("a text where a number belongs") << escD({ { "Characters per line", "20; reboot" } });
        QTest::newRow("a fraction") << escD({ { "Characters per line", 20.5 } });
        QTest::newRow("out of range") << escC({ { "Hammer batch", 123456 } });
        QTest::newRow("a code without value") << escD({ { "Binding margin", 99 } });
        QVariantMap many;
        for (int i = 0; i < 5000; ++i) {
            many.insert(QString("Parameter %1").arg(i), i);
        }
        many.insert("Characters per line", 20);
        QTest::newRow("thousands of members") << escD(many);
    }
    void refusals()
    {
        QFETCH(QVariantMap, sequence);
        const QVariantMap before = snapshot();
        QVERIFY(!handler().processSequence(sequence));
        QCOMPARE(snapshot(), before);
    }

    void hammerBatch_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("received");
        QTest::addColumn<int>("stored");
        QTest::newRow("1713 keeps the current batch") << 1650 << 1713 << 1650;
        QTest::newRow("a current batch below 1600 becomes 1600") << 1500 << 1713 << 1600;
        QTest::newRow("1714 is taken") << 1650 << 1714 << 1714;
    }
    void hammerBatch()
    {
        QFETCH(int, current);
        QFETCH(int, received);
        QFETCH(int, stored);
        setValue("embosserhead", "Hammer batch", current);
        QVERIFY(handler().processSequence(escC({ { "Hammer batch", received } })));
        QCOMPARE(value("embosserhead", "Hammer batch").toInt(), stored);
    }

    // A document sequence is applied in its dependency order, its doubles scaled by precision.
    void documentSequence()
    {
        const QStringList order = handler().sortParameters(
            { { "LP", 25 }, { "CH", 28 }, { "PA", 1 }, { "BO", 125 }, { "TM", 1 }, { "SL", 3 } });
        QVERIFY(order.indexOf("PA") < order.indexOf("CH") && order.indexOf("PA") < order.indexOf("LP"));
        QVERIFY(order.indexOf("PA") < order.indexOf("SL") && order.indexOf("TM") < order.indexOf("LP"));

        QVERIFY(handler().processSequence(escD({ { "Paper size", 1 }, { "Characters per line", 28 },
            { "Line per page", 25 }, { "Bottom offset", 125 }, { ls::fileNameKey, "letter.brf" } })));
        QCOMPARE(value("layout", "Paper size").toString(), QString("A4"));
        QCOMPARE(value("layout", "Characters per line").toInt(), 28);
        QCOMPARE(value("layout", "Line per page").toInt(), 25);
        QCOMPARE(value("layout", "Bottom offset").toDouble(), 12.5);
        QCOMPARE(value("paper", "Paper width").toDouble(), 210.0);
        QCOMPARE(value("paper", "Paper length").toDouble(), 297.0);
    }

    // A document's table brings its dot count; line spacing and cell size change the derived page.
    void documentAfterEffects()
    {
        QVERIFY(handler().processSequence(escD({ { "Braille language", 4 }, { "Braille line spacing", 1 } })));
        QCOMPARE(value("layout", "Braille language").toString(), QString("English/US_computer_8_dot.ebc"));
        QCOMPARE(value("layout", "Braille cell dots").toString(), QString("8 dots"));
        const int single = value("temporary", "Total lines per page").toInt();
        QVERIFY(single > 0 && value("temporary", "Bottom margin").isValid());
        QVERIFY(handler().processSequence(escD({ { "Braille language", 5 }, { "Braille line spacing", 2 } })));
        QCOMPARE(value("layout", "Braille cell dots").toString(), QString("6 dots"));
        QVERIFY(value("temporary", "Total lines per page").toInt() < single);
        QVERIFY(handler().processSequence(escD({ { "Braille line spacing", 1 } })));
    }

    // Network and job values of a configuration sequence are kept and pushed to the network service.
    void configurationValues()
    {
        QVERIFY(handler().processSequence(
            escC({ { "Wired network", ls::inetStaticKey }, { "IP Address", "10.0.0.7" }, { "Netmask", "255.255.255.0" },
                { "Gateway", "10.0.0.1" }, { "Nameserver", "$(reboot)" }, { "Banner page", 1 } })));
        QCOMPARE(value("network", "IP Address").toString(), QString("10.0.0.7"));
        QCOMPARE(value("temporary", "Banner page").toInt(), 1);
        QCOMPARE(calls("network-manager").last(),
            (QStringList { "configureActiveNetwork", "manual", "10.0.0.7", "255.255.255.0", "10.0.0.1", "$(reboot)" }));
    }

    // An impossible page raises the error; the answer decides whether the document is cancelled.
    void impossibleGeometry_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("stateAfter");
        QTest::newRow("continue") << "Continue"
                                  << "Error";
        QTest::newRow("cancel") << "Cancel"
                                << "Idle";
    }
    void impossibleGeometry()
    {
        QFETCH(QString, answer);
        QFETCH(QString, stateAfter);
        auto& state = libcorvane::Singleton<detail::StateHandler>::instance();
        if (state.getState() != "Idle") {
            QVERIFY(state.goToPrevious());
        }
        QVERIFY(m_root->writeFile("/var/lib/sim/error-handler/answer", (answer + " 100\n").toUtf8()));
        LogCapture log;
        QVERIFY(!handler().processSequence(escD({ { "Paper size", 1 }, { "Characters per line", 70 } })));
        QVERIFY(log.contains("Invalid characters per line value, canceling document."));
        QCOMPARE(calls("error-handler").last(),
            (QStringList { "ErrorChange", "EscMaxCharacterLine", answer, "ConfigManager" }));
        QCOMPARE(state.getState(), stateAfter);
    }
};

QTEST_GUILESS_MAIN(TestEscape)
#include "tst_escape.moc"
