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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const QString service = QStringLiteral("com.corvanebraille.ConfigurationManager");
const QString templates = QStringLiteral("/backup/embosser/labelTemplates");
const QString store = QStringLiteral("/etc/xdg/ovdSettings.conf");
const QVariantMap label { { "width", 89 }, { "rows", QVariantList { "Name", "Street" } } };
} // namespace

class TestE2ePrint : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_outside;
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;
    std::unique_ptr<QDBusInterface> m_manager;
    std::unique_ptr<QSignalSpy> m_notifications;

    QVariantMap process(const QString& subCommand, const QVariantMap& arguments = {}, const QString& sender = "Panel")
    {
        QVariantMap request = arguments;
        request.insert("commandId", "Print");
        request.insert("subCommandId", subCommand);
        request.insert("senderId", sender);
        const QDBusReply<QVariantMap> reply = m_manager->call("process", request);
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
        if (m_notifications->size() != 1) {
            return { QStringLiteral("%1 notifications").arg(m_notifications->size()) };
        }
        const QVariantMap n
            = libcorvane::dbusArgumentUnpack(qdbus_cast<QVariantMap>(m_notifications->takeFirst().at(0)));
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
        QVERIFY(m_root->writeFile(templates + "/tpl.ulkj", "{\"secret\": 1}"));
        QVERIFY(QFile::rename(m_root->file(templates + "/tpl.ulkj"), m_outside->filePath("secret.ulkj")));
        QVERIFY(QFile::link(m_outside->filePath("secret.ulkj"), m_root->file(templates + "/evil.ulkj")));
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_daemon = std::make_unique<DaemonProcess>(m_root->path());
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady(), qPrintable(m_daemon->log().join('\n')));
        m_manager = std::make_unique<QDBusInterface>(service, "/", service, QDBusConnection::systemBus());
        m_notifications = std::make_unique<QSignalSpy>(m_manager.get(), SIGNAL(notification(QVariantMap)));
        QVERIFY(m_notifications->isValid());
    }

    void cleanupTestCase()
    {
        m_notifications.reset();
        m_daemon.reset();
    }

    void init() { m_notifications->clear(); }

    void settingsStoredAndAnnounced()
    {
        QCOMPARE(process("GetTabSize").value("size"), QVariant(2));
        QCOMPARE(outcome(process("SetTabSize", { { "size", "6" } })), QString("Success Undefined"));
        QCOMPARE(takeNotification("size"), (QVariantList { "PrintChange", "SetTabSize", "ConfigManager", 6 }));
        QCOMPARE(outcome(process("SetKeepCapitalization", { { "enabled", true } }, "WebServer")),
            QString("Success Undefined"));
        QCOMPARE(
            takeNotification("enabled"), (QVariantList { "PrintChange", "SetKeepCapitalization", "ConfigManager", true }));
        QCOMPARE(process("GetTabSize").value("size"), QVariant(6));
        QCOMPARE(process("GetKeepCapitalization").value("enabled"), QVariant(true));
        QCOMPARE(process("GetKeepFormat").value("enabled"), QVariant(false));
        const QByteArray stored = m_root->readFile(store);
        QVERIFY2(stored.contains("tabSize=6\n") && stored.contains("lowercase=true\n"), stored.constData());
    }

    void fileTypesOfTheAskingService()
    {
        const QVariantMap panel = process("GetExtensions", {}, "Panel");
        QCOMPARE(panel.value("rawExtensions").toStringList(), (QStringList { "brf", "brl", "pef", "prn" }));
        QCOMPARE(panel.value("convertExtensions").toStringList(), QStringList { "txt" });
        QCOMPARE(process("GetExtensions", {}, "PrintManager").value("convertExtensions").toStringList().size(), 9);
        QCOMPARE(process("GetPreviews", {}, "WebServer").value("docx"), QVariant("text"));
        QCOMPARE(outcome(process("GetPreviews", {}, "NetworkManager")), QString("Failure Undefined"));
        const QStringList filters = process("GetFilters").value("filters").toStringList();
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
        // A file of another kind takes the same numbering.
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(outcome(process("SaveLabelTemplateFile",
                         { { "labelData", label }, { "fileName", "address" }, { "extension", "lbx" } })),
                QString("Success Undefined"));
        }
        QCOMPARE(templateFiles("address*"), (QStringList { "address(1).lbx", "address.lbx" }));
        QCOMPARE(QJsonDocument::fromJson(m_root->readFile(templates + "/address(1).lbx")).toVariant(), QVariant(label));
        QVERIFY(m_notifications->isEmpty());
    }

    void badRequestsAnswerTheirErrorAndChangeNothing_data()
    {
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("errorId");
        using Map = QVariantMap;
        const Map tpl { { "data", 1 } };
        const auto internal = [&](const QVariant& name, const QVariant& data = "u") {
            return Map { { "template", tpl }, { "ulkData", data }, { "fileName", name } };
        };
        row("unknown sub-command", "SetTabsize", Map { { "size", 4 } }, "InvalidSubCmd");
        row("flag missing", "SetKeepFormat", Map(), "ValueNotFound");
        row("flag 1", "SetKeepCapitalization", Map { { "enabled", 1 } }, "InvalidValue");
        row("tab size as text", "SetTabSize", Map { { "size", "wide" } }, "InvalidValue");
        row("tab size 21", "SetTabSize", Map { { "size", 21 } }, "InvalidValue");
        row("temporary without size", "SetTemporarySettings", Map { { "enabled", true } }, "ValueNotFound");
        row("temporary size 99", "SetTemporarySettings", Map { { "enabled", false }, { "size", 99 } }, "InvalidValue");
        row("read climbing out", "GetLabelTemplate", Map { { "fileName", "../../../x" } }, "InvalidValue");
        row("read through a link out", "GetLabelTemplate", Map { { "fileName", "evil.ulkj" } }, "InvalidValue");
        row("save without ulk data", "SaveTemplateInternal", Map { { "template", tpl }, { "fileName", "t" } },
            "ValueNotFound");
        row("template as text", "SaveTemplateInternal",
            Map { { "template", "{}" }, { "ulkData", "u" }, { "fileName", "t" } }, "InvalidValue");
        row("ulk data empty", "SaveTemplateInternal", internal("t", ""), "InvalidValue");
        row("name climbing out", "SaveTemplateInternal", internal("../../../x"), "InvalidValue");
        row("name with a directory", "SaveTemplateInternal", internal("sub/t"), "InvalidValue");
        row("name empty", "SaveTemplateInternal", internal(""), "InvalidValue");
        row("name of 300 characters", "SaveTemplateInternal", internal(QString(300, 't')), "InvalidValue");
        row("name that is a link out", "SaveTemplateInternal", internal("evil"), "InvalidValue");
        row("file without extension", "SaveLabelTemplateFile", Map { { "labelData", label }, { "fileName", "a" } },
            "ValueNotFound");
        row("extension climbing out", "SaveLabelTemplateFile",
            Map { { "labelData", label }, { "fileName", "a" }, { "extension", "x/../../../../y" } }, "InvalidValue");
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
        QVERIFY(m_notifications->isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestE2ePrint)
#include "tst_e2e_print.moc"
