// The network and temporary properties as the service builds them: values per collection, the two
// global switches on the master collection whatever collections exist, the checksum set as a
// floating value and read as int, values that do not fit refused, and nothing kept or written
// across a restart.
#include "ConfigurationManager.h"
#include "LogCapture.h"
#include "TestRoot.h"
#include "property/NetworkProperties.h"
#include "property/TempProperties.h"
#include "property/manager/CatalogsManager.h"

#include <QDir>
#include <QTest>

#include <memory>

namespace {
const QString master = masterCollectionKey;
const QString job = QStringLiteral("job");
} // namespace

class TestRuntime : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<ConfigurationManager> m_manager;

    const CatalogAccessor& network() const { return m_manager->networkProperties()->accessor(); }
    TempProperties& temp() const { return *m_manager->tempProperties(); }

    void startService()
    {
        m_manager = std::make_unique<ConfigurationManager>();
        m_manager->init();
    }

    QStringList stateFiles() const
    {
        return QDir(m_root->file("/var/lib/embosser")).entryList(QDir::Files, QDir::Name);
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        startService();
    }

    void jobCollectionLeavesMasterUnchanged()
    {
        QVERIFY(m_manager->catalogsManager()->duplicateCatalog(master, job));
        QVERIFY(network().setValue("Hostname", "job-host", job, false, Q_FUNC_INFO));
        QVERIFY(temp().accessor().setValue("Number of copies", 5, job, false, Q_FUNC_INFO));
        QCOMPARE(network().getString("Hostname", job, Q_FUNC_INFO), QString("job-host"));
        QCOMPARE(network().getString("Hostname", master, Q_FUNC_INFO), QString("corvane-embosser"));
        QCOMPARE(temp().getTempProperties(job).value("Number of copies").toInt(), 5);
        QCOMPARE(temp().getTempProperties(master).value("Number of copies").toInt(), 1);

        // The switches belong to the machine, not to a job.
        temp().setPrintingPaused(true);
        QVERIFY(temp().getPrintingPaused());
        QCOMPARE(temp().getTempProperties(job).value("Printing Paused").toBool(), false);
        QVERIFY(m_manager->catalogsManager()->removeCatalogsCollection(job));
        QVERIFY(temp().getPrintingPaused());
    }

    void checksumAndRefusedValues()
    {
        const CatalogAccessor& values = temp().accessor();
        // Set as a floating value, read as its int conversion; the definition keeps it within int.
        QVERIFY(values.setValue("File CRC", 1234.7, master, false, Q_FUNC_INFO));
        QCOMPARE(values.getInt("File CRC", master, Q_FUNC_INFO), 1235);
        LogCapture log;
        QVERIFY(!values.setValue("File CRC", 4023233417.0, master, false, Q_FUNC_INFO));
        QCOMPARE(values.getInt("File CRC", master, Q_FUNC_INFO), 1235);
        QVERIFY(!network().setValue("Lock region", "Maybe", master, false, Q_FUNC_INFO));
        QVERIFY(!values.setValue("Load orientation", 7, master, false, Q_FUNC_INFO));
        QVERIFY(!values.setValue("Number of copies", "many", master, false, Q_FUNC_INFO));
        QCOMPARE(log.count("refused value for"), 4);
        QCOMPARE(network().getString("Lock region", master, Q_FUNC_INFO), QString("No"));
        QCOMPARE(values.getInt("Number of copies", master, Q_FUNC_INFO), 1);
        QVERIFY(!network().setValue("No such", "x", master, false, Q_FUNC_INFO));
        QVERIFY(log.contains("parameter No such  not found!"));
    }

    // The save flag has no file to write to; after a restart the defaults are back.
    void restartBringsDefaultsBack()
    {
        const QStringList files = stateFiles();
        QVERIFY(network().setValue("SNMP", 0, master, true, Q_FUNC_INFO));
        temp().setSpeakCustomPaper(true);
        QCOMPARE(stateFiles(), files);
        m_manager.reset();
        startService();
        QCOMPARE(network().getInt("SNMP", master, Q_FUNC_INFO), 1);
        QVERIFY(!temp().getSpeakCustomPaper());
        QVERIFY(!temp().getPrintingPaused());
    }
};

QTEST_GUILESS_MAIN(TestRuntime)
#include "tst_runtime.moc"
