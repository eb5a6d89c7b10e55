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
        QTest::addColumn<QString>("repaired");
        row("tab size as text", QByteArray("keepFormat=true\nlowercase=true\ntabSize=wide\n"),
            "keepFormat=true\nlowercase=true\ntabSize=2\n");
        row("out of range, not a flag", QByteArray("keepFormat=maybe\nlowercase=false\ntabSize=21\n"),
            "keepFormat=false\nlowercase=false\ntabSize=2\n");
        row("keys missing", QByteArray("tabSize=7\n"), "keepFormat=false\nlowercase=false\ntabSize=7\n");
    }

    // The repair is in the file, for the print service that reads it too.
    void storeRepairedAtStart()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, repaired);
        QVERIFY(m_root->writeFile(store, "[ovdSettings]\n" + content));
        const OvdSettings settings;
        QCOMPARE(QString::fromUtf8(m_root->readFile(store)), "[ovdSettings]\n" + repaired);
        QCOMPARE(settings.getTabSize(), repaired.contains("=7") ? 7 : 2);
        QCOMPARE(settings.getKeepFormat(), repaired.startsWith("keepFormat=true"));
    }

    void temporarySettingsRunOut()
    {
        QVERIFY(m_root->writeFile(store, "[ovdSettings]\nkeepFormat=false\nlowercase=false\ntabSize=4\n"));
        OvdSettings ovd;
        const FileExtensions extensions(m_json);
        PrintSettings settings(extensions, ovd, nullptr, std::chrono::milliseconds(3000));

        QVERIFY(!settings.setTemporarySettings(true, 21));
        QCOMPARE(ovd.getTabSize(), 4);
        QVERIFY(settings.setTemporarySettings(true, 8));
        QVERIFY(ovd.getKeepFormat() && ovd.getTabSize() == 8);
        // A second override within the time: when it ends, the values from before the first return.
        QVERIFY(settings.setTemporarySettings(false, 6));
        QCOMPARE(ovd.getTabSize(), 6);
        QTRY_VERIFY_WITH_TIMEOUT(!settings.isOverridden(), 20000);
        QVERIFY(!ovd.getKeepFormat() && ovd.getTabSize() == 4);
        QVERIFY(m_root->readFile(store).contains("tabSize=4\n"));
    }

    void fileTypesPassOverBrokenEntries()
    {
        QVERIFY(m_root->writeFile(extensionsFile, brokenTable));
        const FileExtensions extensions(m_json);
        QVERIFY(m_root->restoreShipped(extensionsFile));
        const auto names = [&](const QString& service, bool raw) {
            return QVariant(extensions.getExtensions(service, raw)).toStringList();
        };
        QCOMPARE(extensions.getFilters(), (QVariantList { "A (*.a)", "C (*.c)" }));
        QCOMPARE(names("Panel", true), QStringList { "a" });
        QCOMPARE(names("Panel", false), QStringList());
        QCOMPARE(names("WebServer", true), QStringList { "f" });
        QCOMPARE(names("WebServer", false), QStringList { "a" });
        QCOMPARE(extensions.getPreviews("Panel"), (QVariantMap { { "a", "braille" }, { "c", "text" } }));
        QCOMPARE(extensions.getPreviews("WebServer"), (QVariantMap { { "a", "text" } }));
        QVERIFY(names("PrintManager", true).isEmpty() && extensions.getPreviews("PrintManager").isEmpty());
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
        QVERIFY(extensions.getExtensions("Panel", true).contains("brf"));
    }
};

QTEST_GUILESS_MAIN(TestPrint)
#include "tst_print.moc"
