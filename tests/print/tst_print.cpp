// The print settings below the command: the direct-print store repaired at start, the temporary
// override running out (with a short time in place of the service's minute), and the file types
// answered per service from a table with every kind of broken entry, and restored when damaged.
#include "DataRow.h"
#include "LogCapture.h"
#include "TestRoot.h"

#include "libcorvane/Settings.h"
#include "ls/JFile.h"
#include "print/FileExtensions.h"
#include "print/OvdSettings.h"
#include "print/PrintSettings.h"

#include <QTest>

#include <memory>

namespace {
const QString store = QStringLiteral("/etc/xdg/ovdSettings.conf");
const QString extensionsFile = QStringLiteral("/usr/share/configuration-manager/fileExtensions.json");

// One entry of each kind a query must pass over: inactive, "active" as text, not an object,
// without filter, a service without "raw", a service that is not an object, a null preview.
const QByteArray brokenTable = R"json({
    "a": { "active": true, "filter": "A (*.a)",
           "services": { "Panel": { "raw": true, "preview": "braille" }, "WebServer": { "raw": false, "preview": "text" } } },
    "b": { "active": false, "filter": "B (*.b)", "services": { "Panel": { "raw": true, "preview": "none" } } },
    "c": { "active": true, "filter": "C (*.c)", "services": { "Panel": { "preview": "text" }, "WebServer": "raw" } },
    "d": { "active": "true", "filter": "D (*.d)", "services": { "Panel": { "raw": false } } },
    "e": [ "not an entry" ],
    "f": { "active": true, "services": { "Panel": { "raw": "yes", "preview": null }, "WebServer": { "raw": true } } }
})json";
} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_json;

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        libcorvane::Settings::init();
    }

    void storeRepairedAtStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("keepFormat");
        QTest::addColumn<bool>("keepCapitalization");
        QTest::addColumn<int>("tabSize");
        row("tab size as text", QByteArray("[ovdSettings]\nkeepFormat=true\nlowercase=true\ntabSize=wide\n"), true,
            true, 2);
        row("tab size out of range", QByteArray("[ovdSettings]\nkeepFormat=maybe\nlowercase=false\ntabSize=21\n"),
            false, false, 2);
        row("keys missing", QByteArray("[ovdSettings]\ntabSize=7\n"), false, false, 7);
    }

    void storeRepairedAtStart()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, keepFormat);
        QFETCH(bool, keepCapitalization);
        QFETCH(int, tabSize);
        QVERIFY(m_root->writeFile(store, content));
        {
            const OvdSettings settings;
            QCOMPARE(settings.getKeepFormat(), keepFormat);
            QCOMPARE(settings.getKeepCapitalization(), keepCapitalization);
            QCOMPARE(settings.getTabSize(), tabSize);
        }
        // The repair is in the file, for the print service that reads it too.
        const QString written = QString::fromUtf8(m_root->readFile(store));
        QVERIFY2(written.contains(QStringLiteral("tabSize=%1\n").arg(tabSize)), qPrintable(written));
        QVERIFY2(written.contains(keepFormat ? "keepFormat=true\n" : "keepFormat=false\n"), qPrintable(written));
        QVERIFY2(written.contains(keepCapitalization ? "lowercase=true\n" : "lowercase=false\n"), qPrintable(written));
    }

    void temporarySettingsRunOut()
    {
        QVERIFY(m_root->writeFile(store, "[ovdSettings]\nkeepFormat=false\nlowercase=false\ntabSize=4\n"));
        OvdSettings ovd;
        const FileExtensions extensions(m_json);
        PrintSettings settings(extensions, ovd, nullptr, std::chrono::milliseconds(300));

        QVERIFY(!settings.setTemporarySettings(true, 21));
        QCOMPARE(ovd.getTabSize(), 4);
        QVERIFY(settings.setTemporarySettings(true, 8));
        QCOMPARE(ovd.getKeepFormat(), true);
        QCOMPARE(ovd.getTabSize(), 8);
        // A second override within the time: when it ends, the values from before the first return.
        QVERIFY(settings.setTemporarySettings(false, 6));
        QCOMPARE(ovd.getTabSize(), 6);
        QTRY_VERIFY_WITH_TIMEOUT(!settings.isOverridden(), 5000);
        QCOMPARE(ovd.getKeepFormat(), false);
        QCOMPARE(ovd.getTabSize(), 4);
        QVERIFY(m_root->readFile(store).contains("tabSize=4\n"));
    }

    void fileTypesPerService_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QStringList>("raw");
        QTest::addColumn<QStringList>("converted");
        QTest::addColumn<QVariantMap>("previews");
        row("Panel", "Panel", QStringList { "a" }, QStringList(), QVariantMap { { "a", "braille" }, { "c", "text" } });
        row("WebServer", "WebServer", QStringList { "f" }, QStringList { "a" }, QVariantMap { { "a", "text" } });
        row("a service not listed", "PrintManager", QStringList(), QStringList(), QVariantMap());
    }

    void fileTypesPerService()
    {
        QFETCH(QString, service);
        QFETCH(QStringList, raw);
        QFETCH(QStringList, converted);
        QFETCH(QVariantMap, previews);
        QVERIFY(m_root->writeFile(extensionsFile, brokenTable));
        const FileExtensions extensions(m_json);
        QVERIFY(m_root->restoreShipped(extensionsFile));
        QCOMPARE(extensions.getFilters(), (QVariantList { "A (*.a)", "C (*.c)" }));
        QCOMPARE(QVariant(extensions.getExtensions(service, true)).toStringList(), raw);
        QCOMPARE(QVariant(extensions.getExtensions(service, false)).toStringList(), converted);
        QCOMPARE(extensions.getPreviews(service), previews);
    }

    void damagedTableRestored()
    {
        QVERIFY(m_root->writeFile(extensionsFile, "{ \"txt\": { \"active\": tru"));
        LogCapture log;
        const FileExtensions extensions(m_json);
        QVERIFY(log.contains("FileExtensions::load ERROR: reading"));
        QVERIFY(log.contains("FileExtensions::load INFO: Restore succeded!"));
        QCOMPARE(m_root->readFile(extensionsFile),
            m_root->readFile("/usr/share/configuration-manager/backup/fileExtensions.json"));
        QVERIFY(extensions.getFilters().contains("Text files (*.txt)"));
        QVERIFY(extensions.getExtensions("Panel", true).contains("brf"));
    }
};

QTEST_GUILESS_MAIN(TestPrint)
#include "tst_print.moc"
