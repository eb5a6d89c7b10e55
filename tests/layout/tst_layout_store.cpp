// The layout store as the service builds it at start-up: the repair and migration of the layout
// files by initialize(), the free numbers and the refusals of adding, deleting and activating,
// writes that let nothing half-valid through, layouts read with their extra data, layouts read
// from a path, and the types values leave the service with.
#include "ConfigurationManager.h"
#include "LogCapture.h"
#include "TestRoot.h"
#include "WireTypes.h"
#include "layout/LayoutSettings.h"
#include "layout/ParameterValues.h"
#include "ls/JFile.h"
#include "ls/Keys.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <tuple>

namespace {
const QString stateDir = QStringLiteral("/var/lib/embosser");
const QString factoryDir = QStringLiteral("/backup/embosser/factory");

QString layoutPath(int n)
{
    return QStringLiteral("%1/layout.%2").arg(stateDir).arg(n);
}
} // namespace

class TestLayoutStore : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    QStringList m_startLog;
    std::unique_ptr<ConfigurationManager> m_manager;
    LayoutSettings* m_layouts = nullptr;
    ls::JFile m_file;

    QVariantMap readJson(const QString& machinePath) const
    {
        QVariantMap data;
        m_file.readToMap(m_root->file(machinePath), data);
        return data;
    }

private slots:
    // The start-up of the service on a root with damaged, invalid and old layout files.
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        const QByteArray three = m_root->readFile(layoutPath(3));
        QVERIFY(m_root->writeFile(layoutPath(3), three.left(40)));
        QVariantMap five = readJson(layoutPath(5));
        five.insert("Line per page", "many");
        QVERIFY(m_root->writeFile(layoutPath(5), QJsonDocument::fromVariant(five).toJson()));
        QVariantMap two = readJson(layoutPath(2));
        two.remove("Layout name");
        two.insert("Paper width", 210.0);
        QVERIFY(m_root->writeFile(layoutPath(2), QJsonDocument::fromVariant(two).toJson()));
        QVERIFY(m_root->writeFile(layoutPath(12), "not a layout"));
        // The model's own factory copy comes before the common one.
        QVariantMap own = readJson(factoryDir + "/layout.2");
        own.insert("Layout name", "Zentra's own");
        QVERIFY(m_root->writeFile(factoryDir + "/Corvane_Zentra/layout.3", QJsonDocument::fromVariant(own).toJson()));

        LogCapture log;
        m_manager = std::make_unique<ConfigurationManager>();
        m_manager->init();
        m_startLog = log.messages();
        m_layouts = m_manager->layoutSettings();
        QVERIFY(m_layouts);
    }

    void initializeRepairsAndMigrates()
    {
        const auto logged = [this](const QString& text) { return m_startLog.filter(text).size() == 1; };
        QCOMPARE(m_root->readFile(layoutPath(3)), m_root->readFile(factoryDir + "/Corvane_Zentra/layout.3"));
        QVERIFY(logged("LayoutSettings::checkLayout CRITICAL: layout.3 to entity failed for layout 3"));
        QVERIFY(logged("LayoutFile::restore INFO: Restore layout file layout.3 from system directory"));
        QCOMPARE(m_root->readFile(layoutPath(5)), m_root->readFile(factoryDir + "/layout.5"));
        QVERIFY(logged("LayoutSettings::checkLayout CRITICAL: invalid layout 5 => restore."));

        // Migrated in place: named, the non-stored parameter gone, every other value kept.
        QVariantMap two = readJson(layoutPath(2));
        QCOMPARE(two.take("Layout name").toString(), QString("A4 Single sided"));
        QVariantMap shipped;
        QVERIFY(m_file.readToMap(TestRoot::sourceDir() + "/data/var/lib/embosser/layout.2", shipped));
        shipped.remove("Layout name");
        QCOMPARE(two, shipped);

        // Without a factory copy nothing can be done but say so; the file stays for inspection.
        QCOMPARE(m_root->readFile(layoutPath(12)), QByteArray("not a layout"));
        QVERIFY(logged("failed to restore layout file layout.12 => NO WAY OF RECOVERY, contact support!"));
        QVERIFY(QFile::remove(m_root->file(layoutPath(12))));
        // The working layouts that were fine are left alone.
        QCOMPARE(m_root->readFile(layoutPath(1)), m_root->readFile(factoryDir + "/layout.1"));
    }

    // The first free number is taken, a copy of the active layout by this machine; none after 99.
    void addLayout()
    {
        QVERIFY(QFile::remove(m_root->file(layoutPath(3))));
        int n = 0;
        QVERIFY(m_layouts->addLayout(n));
        QCOMPARE(n, 3);
        QVariantMap copy = readJson(layoutPath(3));
        QCOMPARE(copy.take("Creator of layout").toString(), QString("Zentra-30158"));
        QVariantMap active = readJson(layoutPath(1));
        active.remove("Creator of layout");
        QCOMPARE(copy, active);

        for (int k = 7; k <= 99; ++k) {
            QVERIFY(QFile::copy(m_root->file(layoutPath(1)), m_root->file(layoutPath(k))));
        }
        LogCapture log;
        QVERIFY(!m_layouts->addLayout(n));
        QVERIFY(log.contains("LayoutSettings::addLayout ERROR: No free layout number found!"));
        for (int k = 7; k <= 99; ++k) {
            QVERIFY(QFile::remove(m_root->file(layoutPath(k))));
        }
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("activate");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("message");
        QTest::newRow("delete 0") << false << 0 << "invalid layout number received!";
        QTest::newRow("delete 100") << false << 100 << "invalid layout number received!";
        QTest::newRow("delete 1, not active") << false << 1 << "layout nr 1 cannot be deleted!";
        QTest::newRow("delete the active one") << false << 2 << "Active layout cannot be deleted!";
        QTest::newRow("activate 0") << true << 0 << "invalid layout number received!";
        QTest::newRow("activate a missing one") << true << 50 << "layout number does not exist!";
    }

    void refusals()
    {
        QFETCH(bool, activate);
        QFETCH(int, n);
        QFETCH(QString, message);
        QVERIFY(m_layouts->setActiveLayout(2));
        const QList<int> before = m_layouts->getLayoutNumbers();
        LogCapture log;
        QVERIFY(!(activate ? m_layouts->setActiveLayout(n) : m_layouts->deleteLayout(n)));
        QVERIFY2(log.contains(message), qPrintable(log.messages().join('\n')));
        QCOMPARE(m_layouts->getLayoutNumbers(), before);
        QCOMPARE(m_layouts->getActiveLayout(), 2);
        QVERIFY(m_layouts->setActiveLayout(1));
    }

    // What a client sends is refused whole, or stored as a complete layout of stored parameters.
    void writeLayout()
    {
        const QByteArray before = m_root->readFile(layoutPath(4));
        QVariantMap layout = m_layouts->readLayout(4, true);
        for (const QVariant& wrong : { QVariant(QVariantList { 25 }), QVariant(QVariantMap { { "a", 1 } }),
                 QVariant("many"), QVariant(2.5), QVariant() }) {
            QVariantMap bad = layout;
            bad.insert("Line per page", wrong);
            if (!wrong.isValid()) {
                bad.remove("Line per page");
            }
            QVERIFY(!m_layouts->writeLayout(bad, 4));
        }
        QVERIFY(!m_layouts->writeLayout(layout, 0));
        QVERIFY(!m_layouts->writeLayout(layout, 100));
        QCOMPARE(m_root->readFile(layoutPath(4)), before);

        for (int i = 0; i < 5000; ++i) {
            layout.insert(QStringLiteral("unknown %1").arg(i), QVariantList { i });
        }
        layout.insert("Binding margin", "2 characters");
        QVERIFY(m_layouts->writeLayout(layout, 4));
        const QVariantMap written = readJson(layoutPath(4));
        QCOMPARE(written.size(), readJson(layoutPath(1)).size());
        QCOMPARE(written.value("Binding offset").toDouble(), 12.4); // two cells of 6.2 mm
        QVERIFY(!written.contains("Total lines per page"));

        QSignalSpy changed(m_layouts, &LayoutSettings::layoutChange);
        QVERIFY(m_layouts->writeLayout(m_layouts->readLayout(1, false), 1));
        QCOMPARE(changed.size(), 1);
        QVERIFY(m_root->restoreShipped(layoutPath(4)));

        // The same client data asking for valid values: unknown members are dropped, no crash.
        QVariantMap garbage { { "Paper size", QVariantList { 1 } }, { "Region", QVariantMap() } };
        garbage.insert("unknown", "x");
        m_layouts->getPropertyValues(garbage, "Paper size", "Region", "Europe");
        const QVariantMap values = m_layouts->getPropertyValues(layout, "Duplexing", "Region", "World");
        QVERIFY(!values.value(ls::layoutDataKey).toMap().contains("unknown 1"));
    }

    // A shipped layout with its page totals and table display names; repeats and strays of the
    // directory listing are no layouts of their own.
    void readLayouts()
    {
        const QVariantMap layout = m_layouts->readLayout(1, true);
        QCOMPARE(layout.value("Total lines per page").toInt(), 29);
        QCOMPARE(layout.value("Maximum possible lines").toInt(), 29);
        QCOMPARE(layout.value("Total characters per line").toInt(), 35);
        QVERIFY(!layout.value("Legacy table display name").toString().isEmpty());
        QVERIFY(!layout.value("Liblouis table display name").toString().isEmpty());
        QVERIFY(!layout.contains("Max lines"));

        QVERIFY(m_root->writeFile(stateDir + "/layout.x", "{}"));
        QVERIFY(m_root->writeFile(stateDir + "/layout.7.bak", "{}"));
        QVERIFY(m_layouts->getLayoutNumbers().contains(7));
        const QVariantMap all = m_layouts->readAllLayouts(true);
        QCOMPARE(all.keys(), QStringList({ "layout-1", "layout-2", "layout-3", "layout-4", "layout-5", "layout-6" }));
        QCOMPARE(all.value("layout-1").toMap(), layout);
        QVERIFY(QFile::remove(m_root->file(stateDir + "/layout.x")));
        QVERIFY(QFile::remove(m_root->file(stateDir + "/layout.7.bak")));
        // The direct methods read layouts through the store.
        QCOMPARE(m_manager->parameterValues()->getIntValue("4", "Braille cell size"), 2);
    }

    void setLayoutFromPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("announced");
        QTest::newRow("a layout") << "$ROOT/var/lib/embosser/layout.4" << true;
        QTest::newRow("relative") << "var/lib/embosser/layout.4" << false;
        QTest::newRow("not clean") << "$ROOT/var/lib/../lib/embosser/layout.4" << false;
        QTest::newRow("a directory") << "$ROOT/var/lib/embosser" << false;
        QTest::newRow("too big") << "$ROOT/big" << false;
        QTest::newRow("invalid layout") << "$ROOT/invalid" << false;
    }

    void setLayoutFromPath()
    {
        QFETCH(QString, path);
        QFETCH(bool, announced);
        QVariantMap invalid = readJson(layoutPath(4));
        invalid.insert("Duplexing", 2);
        QVERIFY(m_root->writeFile("/invalid", QJsonDocument::fromVariant(invalid).toJson()));
        QVERIFY(m_root->writeFile("/big", QByteArray(LayoutSettings::maxLayoutFileSize + 1, ' ') + "{}"));
        QSignalSpy spy(m_layouts, &LayoutSettings::setLayoutFromMap);
        m_layouts->setLayoutFromPath(path.replace("$ROOT", m_root->path()));
        QCOMPARE(spy.size(), announced ? 1 : 0);
        if (announced) {
            const QVariantMap layout = spy.at(0).at(0).toMap();
            QCOMPARE(layout.value("Layout name").toString(), readJson(layoutPath(4)).value("Layout name").toString());
            QVERIFY(layout.contains("Total lines per page"));
        }
    }

    // Whatever the JSON held, a defined number leaves as its definition's type, at any depth; a
    // text parameter's value, and digits an int cannot hold, stay as they are.
    void wireTypes()
    {
        const WireTypes* types = m_manager->wireTypes();
        QVERIFY(types);
        const QList<std::tuple<QString, QVariant, QVariant>> members = { { "Line per page", 28.0, 28 },
            { "First line offset", 5, 5.0 }, { "Adjustment to linespacing", "0", 0.0 }, { "Layout name", "5", "5" },
            { "width", 210, 210.0 }, { "Top Of Form", 10, 10.0 }, { "Paper size", 75, 75 },
            { "File CRC", 4000000000.0, 4000000000.0 }, { "Line per page", "x", "x" } };
        for (const auto& [name, input, expected] : members) {
            const QVariantMap typed = types->typed(QVariantMap { { "layoutData", QVariantMap { { name, input } } },
                { "list", QVariantList { QVariantMap { { name, input } } } } });
            for (const QVariant& value : { typed.value("layoutData").toMap().value(name),
                     typed.value("list").toList().value(0).toMap().value(name) }) {
                QVERIFY2(value.userType() == expected.userType() && value == expected, qPrintable(name));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestLayoutStore)
#include "tst_layout_store.moc"
