// The document lists on the service as start-up builds it: the demo list following the active
// layout's paper without a reload, the manual catalogue's levels, and the service entries by
// their validate command on the installed and on other models.
#include "ConfigurationManager.h"
#include "LogCapture.h"
#include "TestRoot.h"
#include "document/DocumentManager.h"
#include "document/ManualDocument.h"
#include "document/ServiceDocument.h"
#include "layout/LayoutSettings.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "paper/ModelPaper.h"

#include <QJsonDocument>
#include <QTest>

#include <memory>

namespace {
const QString manualsFile = QStringLiteral("/usr/share/configuration-manager/manuals.json");

QStringList field(const QVariantMap& list, const QString& key)
{
    QStringList values;
    const QVariantList entries = list.value("List").toList();
    for (const QVariant& entry : entries) {
        values << entry.toMap().value(key).toString();
    }
    return values;
}
} // namespace

class TestDocuments : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<ConfigurationManager> m_manager;
    ls::JFile m_file;

    // The active layout with one value changed, through the store as a client would.
    void changeActiveLayout(const QString& parameter, const QString& value)
    {
        LayoutSettings& layouts = *m_manager->layoutSettings();
        const int active = layouts.getActiveLayout();
        QVariantMap layout = layouts.readLayout(active, false);
        layout.insert(parameter, value);
        QVERIFY(layouts.writeLayout(layout, active));
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_manager = std::make_unique<ConfigurationManager>();
        m_manager->init();
        QVERIFY(m_manager->documentManager());
    }

    // Only entries that name the paper are offered: the shipped entry without sizes never is.
    void demoListFollowsTheActiveLayoutsPaper()
    {
        const DocumentManager& documents = *m_manager->documentManager();
        changeActiveLayout(ls::paperSizeKey, "A4");
        const QVariantMap a4 = documents.getDemoDocuments();
        QCOMPARE(field(a4, "name"),
            QStringList({ "Braille alphabet", "Welcome to braille", "Tactile graphics: world map", "Calendar" }));
        changeActiveLayout(ls::paperSizeKey, "Letter");
        const QStringList letter = field(documents.getDemoDocuments(), "fileName");
        QCOMPARE(letter.size(), 3);
        QVERIFY(letter.first().endsWith("braille_alphabet_letter.pef"));
    }

    // The manufacturer's blanks are the catalogue's underscores; each missing level says which.
    void manualsByManufacturerBoardAndModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("message");
        QTest::newRow("shipped") << "Corvane Zentra" << QString() << QString();
        QTest::newRow("model not listed") << "Corvane Zentra V9" << QString()
                                          << "ManualDocument::get ERROR: Embosser model Corvane Zentra V9 is invalid";
        QTest::newRow("no board 1366") << "Corvane Zentra"
                                       << R"({"Corvane_Braille_AB": {"1024": {}}})"
                                       << "ManualDocument::get ERROR: Board model 1366 is invalid";
        QTest::newRow("manufacturer with blanks as written")
            << "Corvane Zentra"
            << R"({"Corvane Braille AB": {"1366": {"Corvane Zentra": []}}})"
            << "ManualDocument::get ERROR: Manufacturer Corvane_Braille_AB is invalid";
        QTest::newRow("unreadable") << "Corvane Zentra"
                                    << "{"
                                    << "ManualDocument::get ERROR: Manuals data is empty";
    }

    void manualsByManufacturerBoardAndModel()
    {
        QFETCH(QString, model);
        QFETCH(QString, catalogue);
        QFETCH(QString, message);
        if (!catalogue.isEmpty()) {
            QVERIFY(m_root->writeFile(manualsFile, catalogue.toUtf8()));
        }
        const ModelPaper zentra("Corvane Zentra", m_file);
        ManualDocument manuals(zentra, model);
        manuals.load(m_file);
        LogCapture log;
        const QVariantMap answer = manuals.get();
        QVERIFY(m_root->restoreShipped(manualsFile));
        if (message.isEmpty()) {
            QCOMPARE(answer.value(ls::manualsKey).toList().size(), 3);
            QVERIFY(answer.value(ls::manualsRootPathKey)
                        .toString()
                        .endsWith("/usr/share/embosser/files/manuals/Corvane_Braille_AB/"));
            return;
        }
        QVERIFY(answer.isEmpty());
        QVERIFY2(log.contains(message), qPrintable(log.messages().join('\n')));
    }

    // "AlwaysValid" on every model, the folding line while a folding machine's layout folds, the
    // rest by the installed embosser type.
    void serviceEntriesByValidateCommand_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("duplexing");
        QTest::addColumn<QStringList>("names");
        const QStringList always { "Test page", "Hammer test" };
        QTest::newRow("Zentra, double sided") << "Corvane Zentra"
                                              << "Double sided" << always + QStringList { "Double sided alignment" };
        QTest::newRow("Zentra, booklet") << "Corvane Zentra"
                                         << "Double sided booklet"
                                         << always
                + QStringList { "Folding line adjustment", "Double sided alignment" };
        QTest::newRow("Darvo: a tractor never folds")
            << "Corvane Darvo"
            << "Double sided booklet" << always + QStringList { "Tractor feed adjustment" };
        QTest::newRow("unknown model") << "Nobody"
                                       << "Single sided" << always;
    }

    void serviceEntriesByValidateCommand()
    {
        QFETCH(QString, model);
        QFETCH(QString, duplexing);
        QFETCH(QStringList, names);
        changeActiveLayout("Duplexing", duplexing);
        const ModelPaper modelPaper(model, m_file);
        ServiceDocument service(modelPaper, *m_manager->layoutSettings(), *m_manager->propValueList());
        QVERIFY(service.load(m_file));
        QCOMPARE(field(service.get(), "name"), names);
    }
};

QTEST_GUILESS_MAIN(TestDocuments)
#include "tst_documents.moc"
