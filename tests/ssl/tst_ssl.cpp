// The `Ssl` command through the service's dispatch on a shipped root: the web server's
// configuration as the switch and the certificate selection leave it, the restarts of the web
// services, the protected certificates, and names that try to leave the certificate directory.
#include "ConfigurationManager.h"
#include "DataRow.h"
#include "LogCapture.h"
#include "SimCalls.h"
#include "TestRoot.h"
#include "ls/JFile.h"
#include "ls/PFile.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
const QString conf = QStringLiteral("/etc/lighttpd.conf");
const QString certificates = QStringLiteral("/etc/lighttpd/certificates");
const QString userCertificate = QStringLiteral("embosser-lan");
const QStringList webRestarts { "restart lighttpd", "restart embosser-mode-www-api" };
} // namespace

class TestSsl : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<ConfigurationManager> m_manager;

    QVariantMap process(const QString& subCommand, const QVariantMap& arguments = {})
    {
        QVariantMap request = arguments;
        request.insert("commandId", "Ssl");
        request.insert("subCommandId", subCommand);
        request.insert("senderId", "WebServer");
        return m_manager->process(request);
    }
    static QString outcome(const QVariantMap& result)
    {
        return result.value("resultId").toString() + ' ' + result.value("errorId").toString();
    }
    QString confValue(const QString& key) const
    {
        QString value;
        ls::PFile().read(m_root->file(conf), key, value);
        return value;
    }
    // The sv calls since the last look; the restarts run after the reply, from the event loop.
    QStringList serviceCalls(int expected) const
    {
        const SimCalls calls(m_root->path());
        [&] { QTRY_COMPARE_WITH_TIMEOUT(calls.of("sv").size(), expected, 10000); }();
        QStringList lines;
        for (const QStringList& call : calls.of("sv")) {
            lines << call.join(' ');
        }
        calls.clear();
        return lines;
    }
    int storedHttps() const
    {
        QVariantMap parameters;
        ls::JFile().readToMap(m_root->file("/var/lib/embosser/parameters"), parameters);
        return parameters.value("HTTPS", -1).toInt();
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_manager = std::make_unique<ConfigurationManager>();
        m_manager->init();
        SimCalls(m_root->path()).clear();
    }

    // Off, then on, a user certificate selected, then off again: the built-in certificate is back
    // and both web services restart after each change of certificate.
    void httpsAndTheActiveCertificate()
    {
        QSignalSpy notifications(m_manager.get(), &ConfigurationManager::notification);
        QCOMPARE(process("GetState").value("enabled"), QVariant(false));
        const QVariantMap listed = process("GetCertificates");
        QCOMPARE(listed.value("activeCertificate"), QVariant(QString()));
        QCOMPARE(listed.value("certificateList").toStringList(), QStringList { userCertificate });

        // Selecting while HTTPS is off: refused, nothing written, nothing announced.
        const QByteArray before = m_root->readFile(conf);
        QCOMPARE(outcome(process("SetActiveCertificate", { { "ssl.pemfile", userCertificate } })),
            QString("Failure Undefined"));
        QCOMPARE(m_root->readFile(conf), before);
        QCOMPARE(notifications.size(), 0);

        QCOMPARE(outcome(process("SetState", { { "enabled", true } })), QString("Success Undefined"));
        QCOMPARE(confValue("ssl.engine"), QString("\"enable\""));
        QCOMPARE(confValue("server.use-ipv6"), QString("\"disable\""));
        QCOMPARE(storedHttps(), 1);
        QCOMPARE(notifications.takeFirst().value(0).toMap(),
            (QVariantMap { { "notificationId", "SslChange" }, { "actionId", "SetState" }, { "senderId", "ConfigManager" },
                { "enabled", true } }));

        QCOMPARE(outcome(process("SetActiveCertificate", { { "ssl.pemfile", " embosser-lan " } })),
            QString("Success Undefined"));
        QCOMPARE(confValue("ssl.pemfile"), QString("\"/embosser-lan/lighttpd.pem\""));
        QCOMPARE(serviceCalls(2), webRestarts);
        QCOMPARE(process("GetActiveCertificate").value("activeCertificate"), QVariant(userCertificate));
        QCOMPARE(outcome(process("DeleteCertificate", { { "ssl.pemfile", userCertificate } })),
            QString("Failure Undefined"));
        QVERIFY(QFileInfo::exists(m_root->file(certificates + "/embosser-lan/lighttpd.pem")));

        notifications.clear();
        QCOMPARE(outcome(process("SetState", { { "enabled", false } })), QString("Success Undefined"));
        QCOMPARE(confValue("ssl.engine"), QString("\"disable\""));
        QCOMPARE(confValue("server.use-ipv6"), QString("\"enable\""));
        QCOMPARE(confValue("ssl.pemfile"), QString("\"/default/lighttpd.pem\""));
        QCOMPARE(storedHttps(), 0);
        QCOMPARE(serviceCalls(2), webRestarts);
        QCOMPARE(notifications.size(), 1);
    }

    void configuredValueWithoutTwoSlashes()
    {
        QVERIFY(ls::PFile().write(m_root->file(conf), "ssl.pemfile", "\"lighttpd.pem\""));
        LogCapture log;
        QCOMPARE(process("GetActiveCertificate").value("activeCertificate"), QVariant(QString()));
        QVERIFY(log.contains("SslSettings::getActiveCertificate ERROR: format \"lighttpd.pem\" is not supported!"));
        QVERIFY(ls::PFile().write(m_root->file(conf), "ssl.pemfile", "\"/default/lighttpd.pem\""));
    }

    // A certificate added by the web front end is announced once its folder exists; the built-in
    // one is never deleted, a user one is.
    void addAndDelete()
    {
        QSignalSpy notifications(m_manager.get(), &ConfigurationManager::notification);
        QCOMPARE(outcome(process("AddCertificate", { { "ssl.pemfile", "uploaded" } })), QString("Failure Undefined"));
        QCOMPARE(notifications.size(), 0);
        QVERIFY(m_root->writeFile(certificates + "/uploaded/lighttpd.pem", "pem"));
        QCOMPARE(outcome(process("AddCertificate", { { "ssl.pemfile", "uploaded" } })), QString("Success Undefined"));
        QCOMPARE(outcome(process("DeleteCertificate", { { "ssl.pemfile", "default" } })), QString("Failure Undefined"));
        QCOMPARE(
            outcome(process("DeleteCertificate", { { "ssl.pemfile", "uploaded" } })), QString("Success Undefined"));
        QVERIFY(!QFileInfo::exists(m_root->file(certificates + "/uploaded")));
        QVERIFY(QFileInfo::exists(m_root->file(certificates + "/default/lighttpd.pem")));
        QCOMPARE(notifications.size(), 2);
        QCOMPARE(notifications.at(1).value(0).toMap().value("actionId"), QVariant("DeleteCertificate"));
    }

    void badRequests_data()
    {
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("errorId");
        row("SetState without a state", "SetState", QVariantMap(), "ValueNotFound");
        row("SetState with a number", "SetState", QVariantMap { { "enabled", 1 } }, "InvalidValue");
        row("SetState with a text", "SetState", QVariantMap { { "enabled", "true" } }, "InvalidValue");
        for (const char* subCommand : { "SetActiveCertificate", "AddCertificate", "DeleteCertificate" }) {
            const QString name(subCommand);
            row(qPrintable(name + " without a name"), name, QVariantMap(), "ValueNotFound");
            row(qPrintable(name + " with a list"), name, QVariantMap { { "ssl.pemfile", QStringList { "a" } } },
                "InvalidValue");
            for (const QString& hostile :
                QStringList { "../default", "..", "a/b", "/etc", QString("x") + QChar(0) + "y" }) {
                row(qPrintable(name + ' ' + hostile), name, QVariantMap { { "ssl.pemfile", hostile } }, "InvalidValue");
            }
        }
    }

    void badRequests()
    {
        QFETCH(QString, subCommand);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, errorId);
        const QByteArray before = m_root->readFile(conf);
        const QStringList folders = QDir(m_root->file(certificates)).entryList();
        QSignalSpy notifications(m_manager.get(), &ConfigurationManager::notification);
        LogCapture log;
        QCOMPARE(outcome(process(subCommand, arguments)), "Failure " + errorId);
        QVERIFY(log.contains(QStringLiteral("Ssl::%1 ERROR:").arg(subCommand.left(1).toLower() + subCommand.mid(1))));
        QCOMPARE(m_root->readFile(conf), before);
        QCOMPARE(QDir(m_root->file(certificates)).entryList(), folders);
        QCOMPARE(notifications.size(), 0);
    }

    // A certificate folder that is a link to elsewhere is never selected nor deleted through.
    void linkOutOfTheCertificateDirectory()
    {
        QVERIFY(m_root->writeFile("/var/keep/lighttpd.pem", "kept"));
        QVERIFY(QFile::link(m_root->file("/var/keep"), m_root->file(certificates + "/outside")));
        QVERIFY(process("SetState", { { "enabled", true } }).value("resultId") == "Success");
        QCOMPARE(
            outcome(process("SetActiveCertificate", { { "ssl.pemfile", "outside" } })), QString("Failure Undefined"));
        QCOMPARE(outcome(process("DeleteCertificate", { { "ssl.pemfile", "outside" } })), QString("Failure Undefined"));
        QCOMPARE(m_root->readFile("/var/keep/lighttpd.pem"), QByteArray("kept"));
    }
};

QTEST_GUILESS_MAIN(TestSsl)
#include "tst_ssl.moc"
