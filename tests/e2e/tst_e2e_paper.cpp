// The `UserPaper` and `BrailleTable` commands through `process` of the built daemon, with the
// notifications taken from the bus: user papers and user tables from upload to the refused and
// the granted deletion, and every kind of bad request answered with its error, a log line and
// nothing changed.
#include "DaemonProcess.h"
#include "DataRow.h"
#include "PrivateBus.h"
#include "SimCalls.h"
#include "TestRoot.h"
#include "libcorvane/DBusArgumentUnpack.h"
#include "ls/JFile.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDateTime>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

namespace {
const QString service = QStringLiteral("com.corvanebraille.ConfigurationManager");
const QString paperCommand = QStringLiteral("UserPaper");
const QString tableCommand = QStringLiteral("BrailleTable");
const QString panel = QStringLiteral("Panel");
const QString userTables = QStringLiteral("/usr/share/liblouis/tables");
const QString userMetadata = QStringLiteral("/usr/share/embosser/liblouis/UserDefined/UserDefined.json");

QVariantMap a4InMillimetres()
{
    return { { "sizeUnit", "Milimeters" }, { "width", 210.0 }, { "height", 297.0 }, { "formatOrientation", 0 } };
}
} // namespace

// Every notification the service sends on the bus, in order.
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

class TestE2ePaper : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;
    NotificationLog m_notifications;

    QVariantMap process(const QString& command, const QString& subCommand, const QVariantMap& arguments = {})
    {
        QVariantMap request = arguments;
        request.insert("commandId", command);
        request.insert("subCommandId", subCommand);
        request.insert("senderId", panel);
        QDBusInterface manager(service, "/", service, QDBusConnection::systemBus());
        const QDBusReply<QVariantMap> reply = manager.call("process", request);
        // A notification travels ahead of the reply of its request; deliver it.
        QCoreApplication::processEvents();
        return reply.isValid() ? libcorvane::dbusArgumentUnpack(reply.value())
                               : QVariantMap { { "dbusError", reply.error().message() } };
    }

    static QString outcome(const QVariantMap& result)
    {
        return result.value("resultId").toString() + ' ' + result.value("errorId").toString();
    }

    // The one notification a request sent: {actionId, senderId, paperNr}.
    QVariantList takeNotification()
    {
        if (m_notifications.received.size() != 1) {
            return { QStringLiteral("%1 notifications").arg(m_notifications.received.size()) };
        }
        const QVariantMap notification = m_notifications.received.takeFirst();
        if (notification.value("notificationId") != "UserPaperChange") {
            return { notification.value("notificationId") };
        }
        return { notification.value("actionId"), notification.value("senderId"), notification.value("paperNr") };
    }

    // Where these commands may write: a listing with size and modification time.
    QStringList files() const
    {
        QStringList entries;
        const QStringList directories { "/var/lib/embosser", "/usr/share/embosser/liblouis/UserDefined", userTables,
            "/var/run/configuration-manager" };
        for (const QString& directory : directories) {
            QDirIterator it(m_root->file(directory), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
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

    bool setLayoutValue(int layout, const QString& parameter, const QString& value) const
    {
        const QString path = QStringLiteral("/var/lib/embosser/layout.%1").arg(layout);
        QJsonObject object = QJsonDocument::fromJson(m_root->readFile(path)).object();
        object.insert(parameter, value);
        return m_root->writeFile(path, QJsonDocument(object).toJson());
    }

    QVariantMap userTableEntry(const QString& key) const
    {
        QVariantMap metadata;
        ls::JFile().readToMap(m_root->file(userMetadata), metadata);
        return metadata.value(key).toMap();
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_daemon = std::make_unique<DaemonProcess>(m_root->path());
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady(), qPrintable(m_daemon->log().join('\n')));
        QVERIFY(m_notifications.listen());
    }

    void cleanupTestCase() { m_daemon.reset(); }

    void init() { m_notifications.received.clear(); }

    void userPapersFromWriteToDeletion()
    {
        const QVariantMap values = process(paperCommand, "GetPaperValues").value("userPaperValues").toMap();
        QCOMPARE(values.value("paperNr"), QVariant(1));
        QCOMPARE(values.value("description"), QVariant("User_defined_1"));
        QCOMPARE(values.value("minPaperWidth").toDouble(), 100.0); // the shipped model's limits
        QCOMPARE(values.value("maxPaperHeight").toDouble(), 360.0);
        QCOMPARE(process(paperCommand, "ReadAllPapers").value("nrOfPapers"), QVariant(0));

        for (const int n : { 1, 2 }) {
            const QVariantMap written = process(paperCommand, "WritePaper", { { "userPaperData", a4InMillimetres() } });
            QCOMPARE(outcome(written), QString("Success Undefined"));
            QCOMPARE(written.value("paperNr"), QVariant(n));
            QCOMPARE(takeNotification(), (QVariantList { "WritePaper", panel, n }));
        }
        QVariantMap stored;
        QVERIFY(ls::JFile().readToMap(m_root->file("/var/lib/embosser/userpaper.2"), stored));
        QCOMPARE(stored.value("Paper size").toInt(), 74);
        QCOMPARE(stored.value("iInchesWidth").toInt(), 81);
        QCOMPARE(stored.value("iInchesLen").toInt(), 114);

        const QVariantMap paper
            = process(paperCommand, "ReadPaper", { { "paperNr", "2" } }).value("userPaperData").toMap();
        QCOMPARE(paper.value("description"), QVariant("User_defined_2"));
        QCOMPARE(paper.value("sizeUnit"), QVariant("Milimeters"));
        QCOMPARE(paper.value("width").toDouble(), 210.0);
        const QVariantMap all = process(paperCommand, "ReadAllPapers");
        QCOMPARE(all.value("nrOfPapers"), QVariant(2));
        QCOMPARE(all.value("1").toMap().value("paperNr"), QVariant(1));

        // 0.5 mm below the model's narrowest paper: refused, nothing written, nothing announced.
        QVariantMap narrow = a4InMillimetres();
        narrow.insert("width", 99.5);
        const QStringList before = files();
        QCOMPARE(outcome(process(paperCommand, "WritePaper", { { "userPaperData", narrow } })),
            QString("Failure Undefined"));
        QCOMPARE(files(), before);
        QVERIFY(m_notifications.received.isEmpty());

        // A paper that a layout uses stays, and the refusal names the first such layout.
        QVERIFY(setLayoutValue(4, "Paper size", "User_defined_2"));
        QVERIFY(setLayoutValue(5, "Paper size", "User_defined_2"));
        const QVariantMap refused = process(paperCommand, "DeletePaper", { { "paperNr", 2 } });
        QCOMPARE(outcome(refused), QString("Failure Undefined"));
        QCOMPARE(refused.value("layoutNr"), QVariant(4));
        QVERIFY(m_notifications.received.isEmpty());
        QVERIFY(QFile::exists(m_root->file("/var/lib/embosser/userpaper.2")));
        QVERIFY(m_daemon->waitForLog("Paper::deletePaper FAILED! User_defined_2 is in use by one or more layouts!"));
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/layout.4"));
        QCOMPARE(process(paperCommand, "DeletePaper", { { "paperNr", 2 } }).value("layoutNr"), QVariant(5));
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/layout.5"));

        QCOMPARE(outcome(process(paperCommand, "DeletePaper", { { "paperNr", 2 } })), QString("Success Undefined"));
        QCOMPARE(takeNotification(), (QVariantList { "DeletePaper", panel, 2 }));
        QVERIFY(!QFile::exists(m_root->file("/var/lib/embosser/userpaper.2")));
        // The freed number is the next one taken.
        QCOMPARE(
            process(paperCommand, "GetPaperValues").value("userPaperValues").toMap().value("paperNr"), QVariant(2));
    }

    void userTablesFromUploadToDeletion()
    {
        const QString sixDot = userTables + "/user_defined_6dot.ctb";
        QVERIFY(m_root->writeFile(sixDot, "include en-us-comp6.ctb\n"));
        QCOMPARE(outcome(process(tableCommand, "AddUserTables", { { "table", "user_defined_6dot.ctb" } })),
            QString("Success Undefined"));
        QCOMPARE(userTableEntry("grade0_6dot").value("status:"), QVariant("active"));
        // A .tbl brings its header; the slot's name, not a digit of the name, says 8 dots.
        QVERIFY(m_root->writeFile(
            userTables + "/user_defined_8dot.tbl", "#+locale:de\n#+display-name:Mine 6\ninclude de-comp8.ctb\n"));
        QCOMPARE(outcome(process(tableCommand, "AddUserTables", { { "table", "user_defined_8dot.tbl" } })),
            QString("Success Undefined"));
        QCOMPARE(userTableEntry("grade0_8dot").value("display-name:"), QVariant("Mine 6"));
        QCOMPARE(process(tableCommand, "GetUserTables").value("userTables").toMap(),
            (QVariantMap { { "user_defined_6dot", ".ctb " }, { "user_defined_8dot", ".tbl " } }));
        const QVariantMap metadata
            = process(tableCommand, "GetTableMetadata", { { "language", "UserDefined" }, { "table", "grade0_6dot" } });
        QCOMPARE(outcome(metadata), QString("Success Undefined"));
        QCOMPARE(metadata.value("dots:"), QVariant("6"));
        QCOMPARE(metadata.value("status:"), QVariant("active"));

        QVERIFY(setLayoutValue(3, "Liblouis table", "UserDefined/grade0_6dot"));
        const QVariantMap refused = process(tableCommand, "DeleteUserTables", { { "table", "user_defined_6dot.ctb" } });
        QCOMPARE(outcome(refused), QString("Failure Undefined"));
        QCOMPARE(refused.value("layoutNr"), QVariant(3));
        QVERIFY(QFile::exists(m_root->file(sixDot)));
        QVERIFY(m_root->restoreShipped("/var/lib/embosser/layout.3"));

        QCOMPARE(outcome(process(tableCommand, "DeleteUserTables", { { "table", "user_defined_6dot.ctb" } })),
            QString("Success Undefined"));
        QVERIFY(!QFile::exists(m_root->file(sixDot)));
        QCOMPARE(userTableEntry("grade0_6dot").value("status:"), QVariant("not defined"));
        QCOMPARE(userTableEntry("grade0_6dot").value("dots:"), QVariant("6"));
        QCOMPARE(process(tableCommand, "GetUserTables").value("userTables").toMap().keys(),
            QStringList { "user_defined_8dot" });
        QVERIFY(m_notifications.received.isEmpty());
    }

    void catalogueAndMetadataReads_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        row("paper list", paperCommand, "ReadPaperList", QVariantMap(), "paperList", "A4");
        row("regions", paperCommand, "ReadPaperRegionsList", QVariantMap(), "paperRegionsList", "Europe");
        row("liblouis table", tableCommand, "GetTableMetadata",
            QVariantMap { { "language", "English (U.S.)" }, { "table", "computer_6dot" } },
            "sourcefile:", "en-us-comp6.ctb");
        row("legacy table", tableCommand, "GetLegacyTableMetadata",
            QVariantMap { { "language", "English" }, { "table", "US_computer_8_dot.ebc" } }, "dots:", "8");
    }

    void catalogueAndMetadataReads()
    {
        QFETCH(QString, command);
        QFETCH(QString, subCommand);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const QVariantMap result = process(command, subCommand, arguments);
        QCOMPARE(outcome(result), QString("Success Undefined"));
        const QVariant value = result.value(key);
        QVERIFY2(value.toString() == expected || value.toMap().contains(expected), qPrintable(value.toString()));
    }

    void badRequestsAnswerTheirErrorAndChangeNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("errorId");
        using Map = QVariantMap;
        const Map paper { { "userPaperData", a4InMillimetres() } };
        row("unknown paper sub-command", paperCommand, "ReadPapers", Map(), "InvalidSubCmd");
        row("unknown table sub-command", tableCommand, "GetTables", Map(), "InvalidSubCmd");
        row("read without number", paperCommand, "ReadPaper", Map(), "ValueNotFound");
        row("delete without number", paperCommand, "DeletePaper", Map(), "ValueNotFound");
        row("write without data", paperCommand, "WritePaper", Map(), "ValueNotFound");
        row("number as word", paperCommand, "ReadPaper", Map { { "paperNr", "two" } }, "InvalidValue");
        row("number as list", paperCommand, "DeletePaper", Map { { "paperNr", QVariantList { 1 } } }, "InvalidValue");
        row("number as map", paperCommand, "DeletePaper", Map { { "paperNr", Map { { "n", 1 } } } }, "InvalidValue");
        row("number as bool", paperCommand, "DeletePaper", Map { { "paperNr", true } }, "InvalidValue");
        row("number 1.5", paperCommand, "DeletePaper", Map { { "paperNr", 1.5 } }, "InvalidValue");
        row("number 2^31", paperCommand, "DeletePaper", Map { { "paperNr", qlonglong(1) << 31 } }, "InvalidValue");
        row("number 2^31 as text", paperCommand, "ReadPaper", Map { { "paperNr", "2147483648" } }, "InvalidValue");
        row("number 0", paperCommand, "DeletePaper", Map { { "paperNr", 0 } }, "Undefined");
        row("number 100", paperCommand, "ReadPaper", Map { { "paperNr", 100 } }, "Undefined");
        row("number -1", paperCommand, "DeletePaper", Map { { "paperNr", -1 } }, "Undefined");
        row("paper that does not exist", paperCommand, "DeletePaper", Map { { "paperNr", 99 } }, "Undefined");
        row("paper data as text", paperCommand, "WritePaper", Map { { "userPaperData", "A4" } }, "InvalidValue");
        row("paper data empty", paperCommand, "WritePaper", Map { { "userPaperData", Map() } }, "InvalidValue");
        row("paper width as text", paperCommand, "WritePaper",
            Map { { "userPaperData", Map { { "sizeUnit", "Milimeters" }, { "width", "wide" }, { "height", 297 } } } },
            "Undefined");
        row("paper unit unknown", paperCommand, "WritePaper",
            Map { { "userPaperData", Map { { "sizeUnit", "Feet" }, { "width", 210 }, { "height", 297 } } } },
            "Undefined");
        row("add without table", tableCommand, "AddUserTables", Map(), "ValueNotFound");
        row("delete without table", tableCommand, "DeleteUserTables", Map(), "ValueNotFound");
        row("table as number", tableCommand, "DeleteUserTables", Map { { "table", 6 } }, "InvalidValue");
        row("table as list", tableCommand, "AddUserTables", Map { { "table", QStringList { "a.ctb" } } },
            "InvalidValue");
        row("table climbing out", tableCommand, "AddUserTables", Map { { "table", "../user_defined_6dot.ctb" } },
            "Undefined");
        row("table with shell text", tableCommand, "DeleteUserTables",
            Map { { "table", "user_defined_6dot.ctb; touch /tmp/x" } }, "Undefined");
        row("table of no slot", tableCommand, "DeleteUserTables", Map { { "table", "grade2.ctb" } }, "Undefined");
        row("table of an unknown kind", tableCommand, "AddUserTables", Map { { "table", "user_defined_6dot.exe" } },
            "Undefined");
        row("metadata without language", tableCommand, "GetTableMetadata", Map { { "table", "grade1" } },
            "ValueNotFound");
        row("metadata without table", tableCommand, "GetLegacyTableMetadata", Map { { "language", "English" } },
            "ValueNotFound");
        row("metadata of an unknown language", tableCommand, "GetTableMetadata",
            Map { { "language", "Klingon" }, { "table", "grade1" } }, "Undefined");
        row("legacy metadata of an unknown language", tableCommand, "GetLegacyTableMetadata",
            Map { { "language", "Klingon" }, { "table", "x.ebc" } }, "Undefined");
        row("metadata language climbing out", tableCommand, "GetTableMetadata",
            Map { { "language", ".." }, { "table", "UserDefined" } }, "Undefined");
        row("metadata language as map", tableCommand, "GetTableMetadata",
            Map { { "language", Map { { "a", "b" } } }, { "table", "grade1" } }, "InvalidValue");
    }

    void badRequestsAnswerTheirErrorAndChangeNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, subCommand);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, errorId);
        const QStringList before = files();
        const int logged = m_daemon->logCount(" ERROR: ") + m_daemon->logCount(" FAILED! ");
        const int toolCalls = SimCalls(m_root->path()).all().size();
        QCOMPARE(outcome(process(command, subCommand, arguments)), "Failure " + errorId);
        QVERIFY(m_daemon->logCount(" ERROR: ") + m_daemon->logCount(" FAILED! ") > logged);
        QCOMPARE(files(), before);
        QVERIFY(m_notifications.received.isEmpty());
        QCOMPARE(SimCalls(m_root->path()).all().size(), toolCalls);
    }
};

QTEST_GUILESS_MAIN(TestE2ePaper)
#include "tst_e2e_paper.moc"
