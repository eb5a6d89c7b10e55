// The layout parameter accessors as the service builds them: the active layout loaded into the
// "layout" and "paper" catalogs at start and on every layout change, a layout map filling a
// collection (members the layout catalog lacks going to the temporary values, unknown ones
// skipped), the paper values that follow the paper size, and saveToFile, which writes only a layout
// that passes validation. Last, a service whose definitions have no "layout" catalog.
#include "ConfigurationManager.h"
#include "LogCapture.h"
#include "TestRoot.h"
#include "layout/LayoutParameters.h"
#include "layout/LayoutSettings.h"
#include "ls/JFile.h"
#include "property/MemoryCatalog.h"
#include "property/TempProperties.h"
#include "property/manager/CatalogsManager.h"

#include <QJsonDocument>
#include <QTest>

#include <memory>

namespace {
const QString master = masterCollectionKey;
const QString job = QStringLiteral("job");

QString layoutPath(int n)
{
    return QStringLiteral("/var/lib/embosser/layout.%1").arg(n);
}
} // namespace

class TestLayoutParameters : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<ConfigurationManager> m_manager;
    LayoutParameters* m_parameters = nullptr;

    const CatalogAccessor& layout() const { return m_parameters->layoutCatalog()->accessor(); }
    const CatalogAccessor& paper() const { return m_parameters->paperCatalog()->accessor(); }
    const CatalogAccessor& temp() const { return m_manager->tempProperties()->accessor(); }

    QVariantMap readJson(const QString& machinePath) const
    {
        QVariantMap data;
        ls::JFile().readToMap(m_root->file(machinePath), data);
        return data;
    }

    void startService()
    {
        m_manager = std::make_unique<ConfigurationManager>();
        m_manager->init();
        m_parameters = m_manager->layoutParameters();
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        startService();
        QVERIFY(m_parameters);
    }

    // At start the catalogs hold the active layout and its paper; a change of the active layout,
    // or a write of it, loads the file again.
    void everyLayoutChangeReachesTheCatalogs()
    {
        QCOMPARE(layout().getValue("Layout name", master, Q_FUNC_INFO), readJson(layoutPath(1)).value("Layout name"));
        QCOMPARE(paper().getDouble("Paper width", master, Q_FUNC_INFO), 210.0);
        QCOMPARE(paper().getInt("Paper step length", master, Q_FUNC_INFO), 594);

        LayoutSettings* layouts = m_manager->layoutSettings();
        QVERIFY(layouts->setActiveLayout(2));
        QCOMPARE(layout().getString("Duplexing", master, Q_FUNC_INFO), QString("Single sided"));
        QVariantMap two = readJson(layoutPath(2));
        two.insert("Layout name", "Renamed");
        two.insert("Paper size", "Letter");
        QVERIFY(layouts->writeLayout(two, 2));
        QCOMPARE(layout().getString("Layout name", master, Q_FUNC_INFO), QString("Renamed"));
        QVERIFY(paper().getDouble("Paper width", master, Q_FUNC_INFO) != 210.0);
        QVERIFY(layouts->setActiveLayout(1));
        QCOMPARE(paper().getDouble("Paper width", master, Q_FUNC_INFO), 210.0);
    }

    // A member neither catalog knows is skipped and the others are still set, in the addressed
    // collection only; with a custom paper the paper size stays the user's.
    void layoutMapFillsOneCollection()
    {
        QVERIFY(m_manager->catalogsManager()->duplicateCatalog(master, job));
        LogCapture log;
        m_parameters->setParametersFromMap(
            { { "Line per page", 20 }, { "No such member", 1 }, { "Total lines per page", 27 } }, job);
        QVERIFY(log.contains("No such member invalid parameter received from layout, skipping"));
        QCOMPARE(layout().getInt("Line per page", job, Q_FUNC_INFO), 20);
        QCOMPARE(temp().getInt("Total lines per page", job, Q_FUNC_INFO), 27);
        QCOMPARE(layout().getInt("Line per page", master, Q_FUNC_INFO), 28);
        QCOMPARE(temp().getInt("Total lines per page", master, Q_FUNC_INFO), 0);

        QVERIFY(paper().setValue("Paper width", 123.0, job, false, Q_FUNC_INFO));
        m_parameters->setParametersFromMap({ { "Paper size", "paperSizeCustom" } }, job);
        QCOMPARE(paper().getDouble("Paper width", job, Q_FUNC_INFO), 123.0);
        m_parameters->setParametersFromMap({ { "Paper size", "A3" } }, job);
        QCOMPARE(paper().getDouble("Paper width", job, Q_FUNC_INFO), 297.0);
        QVERIFY(m_manager->catalogsManager()->removeCatalogsCollection(job));
    }

    // A print option saves the master layout to the active file; a layout that fails a value-list
    // rule is not written, and nothing of the file changes.
    void saveToFileWritesOnlyValidLayouts()
    {
        m_parameters->setTabSize(6, master);
        m_parameters->setKeepFormat(false, master);
        QVariantMap one = readJson(layoutPath(1));
        QCOMPARE(one.value("Tab size").toInt(), 6);
        QCOMPARE(one.value("Maintain document formatting").toString(), QString("false"));
        QVERIFY(!m_parameters->getKeepFormat(master));

        const QByteArray before = m_root->readFile(layoutPath(1));
        QVERIFY(layout().setValue("Top margin", "3 lines", master, false, Q_FUNC_INFO));
        LogCapture log;
        QVERIFY(!m_parameters->saveToFile());
        QVERIFY(log.contains("parameter Top margin is not valid!"));
        QVERIFY(log.contains("Validating layout parameters failed, skipping saving to file!"));
        QCOMPARE(m_root->readFile(layoutPath(1)), before);
        m_parameters->setCurrentLayoutParameters();
        QCOMPARE(layout().getString("Top margin", master, Q_FUNC_INFO), QString("None"));
    }

    void withoutLayoutCatalog()
    {
        QVariantMap definitions;
        ls::JFile().readToMap(m_root->file("/usr/share/configuration-manager/propertyList.json"), definitions);
        definitions.remove("layout");
        QVERIFY(m_root->writeFile(
            "/usr/share/configuration-manager/propertyList.json", QJsonDocument::fromVariant(definitions).toJson()));
        m_manager.reset();
        startService();
        LogCapture log;
        QCOMPARE(layout().getInt("Line per page", job, Q_FUNC_INFO), -1);
        QVERIFY(log.contains("layout catalog does not exist."));
    }
};

QTEST_GUILESS_MAIN(TestLayoutParameters)
#include "tst_layout_parameters.moc"
