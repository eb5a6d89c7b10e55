// The `Print` command through `process` of the built daemon, notifications taken from the bus:
// the direct-print settings stored and announced, the file types each service is told, label
// templates that never replace one another, and every bad request (missing keys, wrong types,
// values out of range, template names that would leave the template directory) answered with
// its error, a log line, nothing written and nothing announced.
#include "DaemonProcess.h"
#include "DataRow.h"
#include "PrivateBus.h"
#include "TestRoot.h"
#include "libcorvane/DBusArgumentUnpack.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const QString service = QStringLiteral("com.corvanebraille.ConfigurationManager");
const QString templates = QStringLiteral("/backup/embosser/labelTemplates");
const QString store = QStringLiteral("/etc/xdg/ovdSettings.conf");
const QVariantMap label { { "width", 89 }, { "rows", QVariantList { "Name", "Street" } } };
} // namespace

class NotificationLog : public QObject {
    Q_OBJECT

public:
    bool listen()
    {
        return QDBusConnection::systemBus().connect(
            service, "/", service, "notification", this, SLOT(record(QVariantMap)));
    }
    QList<QVariantMap> received;

public slots:
    void record(const QVariantMap& notification) { received << libcorvane::dbusArgumentUnpack(notification); }
};

class TestE2ePrint : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_outside;
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;
    NotificationLog m_notifications;

    QVariantMap process(const QString& subCommand, const QVariantMap& arguments = {}, const QString& sender = "Panel")
    {
        QVariantMap request = arguments;
        request.insert("commandId", "Print");
        request.insert("subCommandId", subCommand);
        request.insert("senderId", sender);
        QDBusInterface manager(service, "/", service, QDBusConnection::systemBus());
        const QDBusReply<QVariantMap> reply = manager.call("process", request);
        QCoreApplication::processEvents();
        return reply.isValid() ? libcorvane::dbusArgumentUnpack(reply.value())
                               : QVariantMap { { "dbusError", reply.error().message() } };
    }

    static QString outcome(const QVariantMap& result)
    {
        return result.value("resultId").toString() + ' ' + result.value("errorId").toString();
    }

    // The one notification a request sent: {notificationId, actionId, senderId, payload key, value}.
    QVariantList takeNotification(const QString& key)
    {
        if (m_notifications.received.size() != 1) {
            return { QStringLiteral("%1 notifications").arg(m_notifications.received.size()) };
        }
        const QVariantMap n = m_notifications.received.takeFirst();
        return { n.value("notificationId"), n.value("actionId"), n.value("senderId"), n.value(key) };
    }

    // Where these requests could write, with size and modification time.
    QStringList files() const
    {
        QStringList entries;
        for (const QString& directory : { m_root->file(templates), m_root->file("/etc/xdg"), m_outside->path() }) {
            QDirIterator it(directory, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                it.next();
                entries << QStringLiteral("%1 %2 %3")
                               .arg(it.filePath())
                               .arg(it.fileInfo().size())
                               .arg(it.fileInfo().lastModified().toMSecsSinceEpoch());
            }
        }
        entries.sort();
        return entries;
    }

    QStringList templateFiles(const QString& pattern) const
    {
        return QDir(m_root->file(templates)).entryList({ pattern }, QDir::Files, QDir::Name);
    }

private slots:
    void initTestCase()
    {
        m_outside = std::make_unique<QTemporaryDir>();
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_outside->isValid() && m_root->isValid());
        // A template name that is a link out of the directory: a plain name, but not inside.
        QVERIFY(m_root->writeFile("/x", "{\"secret\": 1}"));
        QVERIFY(QFile::copy(m_root->file("/x"), m_outside->filePath("secret.ulkj")));
        QVERIFY(QDir().mkpath(m_root->file(templates)));
        QVERIFY(QFile::link(m_outside->filePath("secret.ulkj"), m_root->file(templates + "/evil.ulkj")));
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_daemon = std::make_unique<DaemonProcess>(m_root->path());
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady(), qPrintable(m_daemon->log().join('\n')));
        QVERIFY(m_notifications.listen());
    }

    void cleanupTestCase() { m_daemon.reset(); }

    void init() { m_notifications.received.clear(); }

    void settingsStoredAndAnnounced()
    {
        QCOMPARE(process("GetTabSize").value("size"), QVariant(2));
        QCOMPARE(outcome(process("SetTabSize", { { "size", "6" } })), QString("Success Undefined"));
        QCOMPARE(takeNotification("size"), (QVariantList { "PrintChange", "SetTabSize", "Panel", 6 }));
        QCOMPARE(outcome(process("SetKeepCapitalization", { { "enabled", true } }, "WebServer")),
            QString("Success Undefined"));
        QCOMPARE(
            takeNotification("enabled"), (QVariantList { "PrintChange", "SetKeepCapitalization", "WebServer", true }));
        QCOMPARE(process("GetTabSize").value("size"), QVariant(6));
        QCOMPARE(process("GetKeepCapitalization").value("enabled"), QVariant(true));
        QCOMPARE(process("GetKeepFormat").value("enabled"), QVariant(false));
        const QByteArray stored = m_root->readFile(store);
        QVERIFY2(stored.contains("tabSize=6\n") && stored.contains("lowercase=true\n"), stored.constData());
    }

    void fileTypesPerService_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QStringList>("raw");
        QTest::addColumn<QStringList>("converted");
        QTest::addColumn<QVariant>("txtPreview");
        const QStringList braille { "brf", "brl", "pef", "prn" };
        const QStringList documents { "doc", "docx", "epub", "htm", "html", "odt", "rtf", "txt", "xml" };
        row("panel", "Panel", braille, QStringList { "txt" }, QVariant("text"));
        row("web server", "WebServer", braille, documents, QVariant("text"));
        row("print manager", "PrintManager", braille, documents, QVariant("none"));
        row("a service not listed", "NetworkManager", QStringList(), QStringList(), QVariant());
    }

    void fileTypesPerService()
    {
        QFETCH(QString, sender);
        QFETCH(QStringList, raw);
        QFETCH(QStringList, converted);
        QFETCH(QVariant, txtPreview);
        const QVariantMap extensions = process("GetExtensions", {}, sender);
        const QVariantMap previews = process("GetPreviews", {}, sender);
        if (raw.isEmpty()) {
            QCOMPARE(outcome(extensions), QString("Failure Undefined"));
            QCOMPARE(outcome(previews), QString("Failure Undefined"));
            return;
        }
        QCOMPARE(extensions.value("rawExtensions").toStringList(), raw);
        QCOMPARE(extensions.value("convertExtensions").toStringList(), converted);
        QCOMPARE(previews.value("txt"), txtPreview);
        QVERIFY(!previews.contains("pdf"));
        const QStringList filters = process("GetFilters", {}, sender).value("filters").toStringList();
        QCOMPARE(filters.size(), 13);
        QVERIFY(filters.contains("Braille ready files (*.brf)") && !filters.contains("PDF documents (*.pdf)"));
    }

    void templatesNeverReplaced()
    {
        for (const char* data : { "first", "second" }) {
            QCOMPARE(
                outcome(process("SaveTemplateInternal",
                    { { "template", QVariantMap { { "data", data } } }, { "ulkData", data }, { "fileName", "tpl" } })),
                QString("Success Undefined"));
        }
        QCOMPARE(templateFiles("tpl*"), (QStringList { "tpl(1).ulk", "tpl(1).ulkj", "tpl.ulk", "tpl.ulkj" }));
        QCOMPARE(m_root->readFile(templates + "/tpl(1).ulk"), QByteArray("second"));
        QCOMPARE(process("GetLabelTemplate", { { "fileName", "tpl(1).ulkj" } }).value("template"),
            QVariant(QVariantMap { { "data", "second" } }));
        // A file of another kind takes the same numbering; a missing one reads as empty.
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(outcome(process("SaveLabelTemplateFile",
                         { { "labelData", label }, { "fileName", "address" }, { "extension", "lbx" } })),
                QString("Success Undefined"));
        }
        QCOMPARE(templateFiles("address*"), (QStringList { "address(1).lbx", "address.lbx" }));
        QCOMPARE(QJsonDocument::fromJson(m_root->readFile(templates + "/address(1).lbx")).toVariant(), QVariant(label));
        const QVariantMap missing = process("GetLabelTemplate", { { "fileName", "nothing.ulkj" } });
        QCOMPARE(outcome(missing), QString("Success Undefined"));
        QCOMPARE(missing.value("template"), QVariant(QVariantMap()));
        QVERIFY(m_notifications.received.isEmpty());
    }

    void badRequestsAnswerTheirErrorAndChangeNothing_data()
    {
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("errorId");
        using Map = QVariantMap;
        const Map tpl { { "data", 1 } };
        const auto internal = [&](const QVariant& name) {
            return Map { { "template", tpl }, { "ulkData", "u" }, { "fileName", name } };
        };
        const auto file = [&](const QVariant& name, const QVariant& extension) {
            return Map { { "labelData", label }, { "fileName", name }, { "extension", extension } };
        };
        row("unknown sub-command", "SetTabsize", Map { { "size", 4 } }, "InvalidSubCmd");
        row("keep format without flag", "SetKeepFormat", Map(), "ValueNotFound");
        row("keep format 1", "SetKeepFormat", Map { { "enabled", 1 } }, "InvalidValue");
        row("keep format as text", "SetKeepFormat", Map { { "enabled", "true" } }, "InvalidValue");
        row("capitalization as map", "SetKeepCapitalization", Map { { "enabled", tpl } }, "InvalidValue");
        row("tab size missing", "SetTabSize", Map(), "ValueNotFound");
        row("tab size as text", "SetTabSize", Map { { "size", "wide" } }, "InvalidValue");
        row("tab size 2.5", "SetTabSize", Map { { "size", 2.5 } }, "InvalidValue");
        row("tab size 21", "SetTabSize", Map { { "size", 21 } }, "InvalidValue");
        row("tab size -1", "SetTabSize", Map { { "size", -1 } }, "InvalidValue");
        row("temporary without size", "SetTemporarySettings", Map { { "enabled", true } }, "ValueNotFound");
        row("temporary without flag", "SetTemporarySettings", Map { { "size", 4 } }, "ValueNotFound");
        row("temporary size as text", "SetTemporarySettings", Map { { "enabled", true }, { "size", "x" } },
            "InvalidValue");
        row("temporary size 99", "SetTemporarySettings", Map { { "enabled", false }, { "size", 99 } }, "InvalidValue");
        row("read without name", "GetLabelTemplate", Map(), "ValueNotFound");
        row("read name as list", "GetLabelTemplate", Map { { "fileName", QStringList { "tpl.ulkj" } } },
            "InvalidValue");
        row("read climbing out", "GetLabelTemplate", Map { { "fileName", "../../../x" } }, "InvalidValue");
        row("read through a link out", "GetLabelTemplate", Map { { "fileName", "evil.ulkj" } }, "InvalidValue");
        row("save without template", "SaveTemplateInternal", Map { { "ulkData", "u" }, { "fileName", "t" } },
            "ValueNotFound");
        row("save without ulk data", "SaveTemplateInternal", Map { { "template", tpl }, { "fileName", "t" } },
            "ValueNotFound");
        row("save without name", "SaveTemplateInternal", Map { { "template", tpl }, { "ulkData", "u" } },
            "ValueNotFound");
        row("template as text", "SaveTemplateInternal",
            Map { { "template", "{}" }, { "ulkData", "u" }, { "fileName", "t" } }, "InvalidValue");
        row("ulk data as map", "SaveTemplateInternal",
            Map { { "template", tpl }, { "ulkData", tpl }, { "fileName", "t" } }, "InvalidValue");
        row("ulk data empty", "SaveTemplateInternal",
            Map { { "template", tpl }, { "ulkData", "" }, { "fileName", "t" } }, "InvalidValue");
        row("name climbing out", "SaveTemplateInternal", internal("../../../x"), "InvalidValue");
        row("name with a directory", "SaveTemplateInternal", internal("sub/t"), "InvalidValue");
        row("name of the parent", "SaveTemplateInternal", internal(".."), "InvalidValue");
        row("name empty", "SaveTemplateInternal", internal(""), "InvalidValue");
        row("name of 300 characters", "SaveTemplateInternal", internal(QString(300, 't')), "InvalidValue");
        row("name as number", "SaveTemplateInternal", internal(7), "InvalidValue");
        row("name that is a link out", "SaveTemplateInternal", internal("evil"), "InvalidValue");
        row("file without label data", "SaveLabelTemplateFile", Map { { "fileName", "a" }, { "extension", "lbx" } },
            "ValueNotFound");
        row("file without name", "SaveLabelTemplateFile", Map { { "labelData", label }, { "extension", "lbx" } },
            "ValueNotFound");
        row("file without extension", "SaveLabelTemplateFile", Map { { "labelData", label }, { "fileName", "a" } },
            "ValueNotFound");
        row("label data as text", "SaveLabelTemplateFile",
            Map { { "labelData", "{}" }, { "fileName", "a" }, { "extension", "lbx" } }, "InvalidValue");
        row("file name climbing out", "SaveLabelTemplateFile", file("../../../x", "lbx"), "InvalidValue");
        row("extension climbing out", "SaveLabelTemplateFile", file("a", "x/../../../../y"), "InvalidValue");
        row("extension to a link out", "SaveLabelTemplateFile", file("evil", "ulkj"), "InvalidValue");
    }

    void badRequestsAnswerTheirErrorAndChangeNothing()
    {
        QFETCH(QString, subCommand);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, errorId);
        const QStringList before = files();
        const int logged = m_daemon->logCount(" ERROR: ");
        QCOMPARE(outcome(process(subCommand, arguments)), "Failure " + errorId);
        QVERIFY(m_daemon->waitForLog(" ERROR: ", logged + 1));
        QCOMPARE(files(), before);
        QVERIFY(m_notifications.received.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestE2ePrint)
#include "tst_e2e_print.moc"
