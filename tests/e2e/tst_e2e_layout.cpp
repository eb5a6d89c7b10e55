// The `Layout` command through `process` of the built daemon, with its notifications taken from
// the bus: arguments checked in order and refused without a change or a notification, the sender
// of each notification, and backup and restore through the simulated scripts, whose recorded
// command lines are the documented ones.
#include "DaemonProcess.h"
#include "DataRow.h"
#include "PrivateBus.h"
#include "SimCalls.h"
#include "TestRoot.h"
#include "libcorvane/DBusArgumentUnpack.h"
#include "ls/Ids.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QDirIterator>
#include <QTest>

#include <memory>

namespace {
const QString service = QStringLiteral("com.corvanebraille.ConfigurationManager");
const QString requester = ls::ServiceId::WebServer;
// The sender of the request that closes each step: its notification marks the end of the step's own.
const QString closer = ls::ServiceId::StateHandler;
const QString backupScript = QStringLiteral("embosser-backup.sh");

QVariantList numbers(std::initializer_list<int> list)
{
    QVariantList out;
    for (const int n : list) {
        out << n;
    }
    return out;
}
} // namespace

class TestE2eLayout : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;
    QList<QVariantMap> m_notifications;
    int m_closings = 0;

    QVariantMap process(const QString& subCommand, const QVariantMap& arguments = {}, const QString& sender = requester)
    {
        QVariantMap request = arguments;
        request.insert(ls::commandIdKey, QString(ls::ConfigManagerCmdId::Layout));
        request.insert(ls::subCommandIdKey, subCommand);
        request.insert(ls::senderIdKey, sender);
        QDBusInterface manager(service, "/", service, QDBusConnection::systemBus());
        manager.setTimeout(60000);
        const QDBusReply<QVariantMap> reply = manager.call("process", request);
        return reply.isValid() ? libcorvane::dbusArgumentUnpack(reply.value()) : QVariantMap();
    }

    // Waits until every notification sent so far has arrived: a request of another sender makes
    // the active layout active again, and its notification comes after all earlier ones.
    bool close()
    {
        const int closing = m_closings + 1;
        const int active = process(ls::LayoutCmdId::GetActive).value(ls::activeLayoutKey).toInt();
        process(ls::LayoutCmdId::SetActive, { { ls::layoutNrKey, active } }, closer);
        return QTest::qWaitFor([this, closing] { return m_closings >= closing; });
    }

    // The answer and the notifications one request caused.
    QVariantMap processAndCollect(
        const QString& subCommand, const QVariantMap& arguments, QList<QVariantMap>& notifications)
    {
        notifications.clear();
        if (!close()) {
            return {};
        }
        m_notifications.clear();
        const QVariantMap answer = process(subCommand, arguments);
        if (!close()) {
            return {};
        }
        notifications = m_notifications.mid(0, m_notifications.size() - 1);
        return answer;
    }

    // Every file of the working layouts and settings, the backups and the parameter list, by name
    // and content.
    QByteArray state() const
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const char* directory : { "/var/lib/embosser", "/backup/embosser/layouts", "/media" }) {
            QDirIterator it(m_root->file(directory), QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                hash.addData(path.toUtf8());
                QFile file(path);
                hash.addData(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable"));
            }
        }
        hash.addData(m_root->readFile("/usr/share/configuration-manager/parameterList.json"));
        return hash.result();
    }

    QString marker() const { return m_root->file("/marker"); }

    QStringList workingLayouts() const
    {
        return QDir(m_root->file("/var/lib/embosser")).entryList({ "layout*" }, QDir::Files, QDir::Name);
    }

    // The one notification a restore sends: layout 1 active.
    static bool isRestoreNotification(const QList<QVariantMap>& notifications)
    {
        return notifications.size() == 1
            && notifications.first().value(ls::actionIdKey) == QString(ls::LayoutActionId::SetActive)
            && notifications.first().value(ls::layoutNrKey).toInt() == 1
            && notifications.first().value(ls::senderIdKey) == requester;
    }

private slots:
    void onNotification(const QVariantMap& notification)
    {
        m_notifications << notification;
        m_closings += notification.value(ls::senderIdKey) == closer ? 1 : 0;
    }

    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_daemon
            = std::make_unique<DaemonProcess>(m_root->path(), "ServiceWatcher.debug=true\nLayoutRestore.info=true");
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForReady(), qPrintable(m_daemon->log().join('\n')));
        QVERIFY(QDBusConnection::systemBus().connect(
            service, "/", service, "notification", this, SLOT(onNotification(QVariantMap))));
    }

    void cleanupTestCase() { m_daemon.reset(); }

    void numberedLayouts_data()
    {
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("error");
        // The action of the one notification expected, and its layout number; none when empty.
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("layout");
        using namespace ls::LayoutCmdId;
        const QString none;
        const QVariantMap layout2 = QVariantMap { { ls::layoutNrKey, 2 } };
        row("unknown sub-command", QString("SetActiveLayout"), layout2, QString("InvalidSubCmd"), none, 0);
        row("no number", QString(SetActive), QVariantMap(), QString("ValueNotFound"), none, 0);
        const QList<QPair<QString, QVariant>> odd { { "two", "two" }, { "list", numbers({ 3 }) }, { "map", layout2 },
            { "fraction", 2.5 }, { "0", 0 }, { "100", 100 }, { "-1", -1 }, { "2^31", qlonglong(1) << 31 } };
        for (const auto& value : odd) {
            row(qPrintable("number " + value.first), QString(SetActive),
                QVariantMap { { ls::layoutNrKey, value.second } }, QString("InvalidValue"), none, 0);
        }
        row("layout without a file", QString(SetActive), QVariantMap { { ls::layoutNrKey, 50 } }, QString("Undefined"),
            none, 0);
        row("number as text", QString(SetActive), QVariantMap { { ls::layoutNrKey, "3" } }, QString(),
            QString(SetActive), 3);
        row("delete the active layout", QString(DeleteLayout), QVariantMap { { ls::layoutNrKey, 3 } },
            QString("Undefined"), none, 0);
        row("delete layout 1", QString(DeleteLayout), QVariantMap { { ls::layoutNrKey, 1 } }, QString("Undefined"),
            none, 0);
        row("back to 1", QString(SetActive), QVariantMap { { ls::layoutNrKey, 1 } }, QString(), QString(SetActive), 1);
        row("add", QString(AddLayout), QVariantMap(), QString(), QString(AddLayout), 7);
        row("delete the new one", QString(DeleteLayout), QVariantMap { { ls::layoutNrKey, 7 } }, QString(),
            QString(DeleteLayout), 7);
        row("read a missing layout", QString(ReadLayout), QVariantMap { { ls::layoutNrKey, 7 } }, QString("Undefined"),
            none, 0);
        row("write without data", QString(WriteLayout), layout2, QString("ValueNotFound"), none, 0);
        row("write empty data", QString(WriteLayout),
            QVariantMap { { ls::layoutNrKey, 2 }, { ls::layoutDataKey, QVariantMap() } }, QString("InvalidValue"), none,
            0);
        row("write a text", QString(WriteLayout), QVariantMap { { ls::layoutNrKey, 2 }, { ls::layoutDataKey, "x" } },
            QString("InvalidValue"), none, 0);
        row("write an invalid layout", QString(WriteLayout),
            QVariantMap { { ls::layoutNrKey, 2 }, { ls::layoutDataKey, QVariantMap { { "Paper size", "Napkin" } } } },
            QString("Undefined"), none, 0);
        row("rewrite a layout", QString(Test_WriteLayout), layout2, QString(), QString(WriteLayout), 2);
        row("use adjustable line spacing as a text", QString(SetUseAdjustableLS),
            QVariantMap { { ls::enabledKey, "yes" } }, QString("InvalidValue"), none, 0);
    }

    void numberedLayouts()
    {
        QFETCH(QString, subCommand);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, error);
        QFETCH(QString, action);
        QFETCH(int, layout);
        const QByteArray before = state();
        QList<QVariantMap> notifications;
        const QVariantMap answer = processAndCollect(subCommand, arguments, notifications);
        QCOMPARE(answer.value(ls::resultIdKey).toString(), QString(error.isEmpty() ? "Success" : "Failure"));
        QCOMPARE(answer.value(ls::errorIdKey).toString(), error.isEmpty() ? QString("Undefined") : error);
        if (action.isEmpty()) {
            QCOMPARE(notifications, QList<QVariantMap>());
            QVERIFY2(state() == before, "a refused request changed a file");
            return;
        }
        const QVariantMap expected { { ls::notificationIdKey, QString(ls::ConfigManagerNotifId::LayoutChange) },
            { ls::actionIdKey, action }, { ls::senderIdKey, requester }, { ls::layoutNrKey, layout } };
        QCOMPARE(notifications, QList<QVariantMap>({ expected }));
        if (subCommand == ls::LayoutCmdId::AddLayout) {
            QCOMPARE(answer.value(ls::layoutNrKey).toInt(), layout);
        }
    }

    void readsAndMetadata()
    {
        using namespace ls::LayoutCmdId;
        const QVariantMap all = process(ReadAllLayouts);
        QCOMPARE(all.value(ls::nrOfLayoutsKey).toInt(), 6);
        QCOMPARE(all.value(ls::activeLayoutKey).toInt(), 1);
        const QVariantMap layout1 = all.value("layout-1").toMap();
        QCOMPARE(process(ReadLayout, { { ls::layoutNrKey, 1 } }).value(ls::layoutDataKey).toMap(), layout1);
        QVERIFY(layout1.contains("Total lines per page") && layout1.contains("Legacy table display name"));
        // The download holds the stored layouts only.
        const QVariantMap download = process(BackupDownload).value(ls::layoutDataKey).toMap();
        QCOMPARE(download.keys(), all.keys().filter("layout-"));
        QVERIFY(!download.value("layout-1").toMap().contains("Total lines per page"));
        QCOMPARE(process(GetPaperSize).value(ls::paperSizeKey), layout1.value("Paper size"));

        QVERIFY(process(ReadParameterList).value(ls::parameterListKey).toMap().contains("Line per page"));
        QVERIFY(process(ReadValueList).value(ls::valueListKey).toMap().contains("Duplexing"));
        QVERIFY(!process(ReadDocSettingList).value(ls::docSettingListKey).toMap().isEmpty());
        const QVariantMap liblouis = process(GetLiblouisTables).value(ls::liblouisTablesKey).toMap();
        QVERIFY(liblouis.value(ls::sixDotKey).toMap().contains(layout1.value("Liblouis table").toString()));
        const QString legacy = layout1.value("Braille language").toString();
        QVERIFY(process(GetLegacyTables).contains(legacy.section('/', 0, 0)));
        QCOMPARE(process(GetLegacyTableDisplayName, { { ls::tableNameKey, legacy } }).value(ls::tableDisplayNameKey),
            layout1.value("Legacy table display name"));
        QCOMPARE(process(GetLegacyTableDisplayName).value(ls::errorIdKey).toString(), QString("ValueNotFound"));

        // The line spacing switch answers whether it changed.
        const bool use = process(GetUseAdjustableLS).value(ls::enabledKey).toBool();
        QCOMPARE(process(SetUseAdjustableLS, { { ls::enabledKey, !use } }).value(ls::resultIdKey).toString(),
            QString("Success"));
        QCOMPARE(process(GetUseAdjustableLS).value(ls::enabledKey).toBool(), !use);
        QCOMPARE(process(SetUseAdjustableLS, { { ls::enabledKey, !use } }).value(ls::resultIdKey).toString(),
            QString("Failure"));
        QCOMPARE(process(SetUseAdjustableLS, { { ls::enabledKey, use } }).value(ls::resultIdKey).toString(),
            QString("Success"));
    }

    void propertyValues_data()
    {
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("error");
        using namespace ls::LayoutCmdId;
        const QVariantMap layout2 = process(ReadLayout, { { ls::layoutNrKey, 2 } }).value(ls::layoutDataKey).toMap();
        QVERIFY(!layout2.isEmpty());
        row("lines of a sent layout", QString(GetPropertyValues),
            QVariantMap { { ls::layoutDataKey, layout2 }, { ls::propertyNameKey, "Line per page" } }, QString());
        row("duplexing of a stored layout after a change", QString(Test_GetPropertyValues),
            QVariantMap { { ls::layoutNrKey, 2 }, { ls::propertyNameKey, "Duplexing" },
                { ls::previousPropertyKey, "Paper size" }, { ls::previousValueKey, "Letter" } },
            QString());
        row("no property", QString(GetPropertyValues), QVariantMap { { ls::layoutDataKey, layout2 } },
            QString("ValueNotFound"));
        row("empty layout", QString(GetPropertyValues),
            QVariantMap { { ls::layoutDataKey, QVariantMap() }, { ls::propertyNameKey, "Duplexing" } },
            QString("InvalidValue"));
        row("previous value a number", QString(GetPropertyValues),
            QVariantMap { { ls::layoutDataKey, layout2 }, { ls::propertyNameKey, "Duplexing" },
                { ls::previousPropertyKey, "Line per page" }, { ls::previousValueKey, 28 } },
            QString("InvalidValue"));
        row("stored layout missing", QString(Test_GetPropertyValues),
            QVariantMap { { ls::layoutNrKey, 60 }, { ls::propertyNameKey, "Duplexing" } }, QString("Undefined"));
    }

    void propertyValues()
    {
        QFETCH(QString, subCommand);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, error);
        const QVariantMap answer = process(subCommand, arguments);
        QCOMPARE(answer.value(ls::errorIdKey).toString(), error.isEmpty() ? QString("Undefined") : error);
        if (error.isEmpty()) {
            QVERIFY(!answer.value(ls::propertyValuesKey).toMap().isEmpty());
            QVERIFY(answer.value(ls::layoutDataKey).toMap().contains("Paper size"));
        }
    }

    void backupLocalDeleteRestore()
    {
        using namespace ls::LayoutCmdId;
        const SimCalls calls(m_root->path());
        calls.clear();
        const QVariantMap layout3 = process(ReadLayout, { { ls::layoutNrKey, 3 } }).value(ls::layoutDataKey).toMap();
        QCOMPARE(process(BackupLocal, { { ls::layoutListKey, numbers({ 1, 3 }) } }).value(ls::resultIdKey).toString(),
            QString("Success"));
        const QVariantMap folders = process(GetLocalBackups).value(ls::backupFoldersKey).toMap();
        QCOMPARE(folders.size(), 1);
        const QString folder = folders.firstKey();
        QCOMPARE(folders.first().toStringList(), QStringList({ "layout.1", "layout.3" }));
        QCOMPARE(process(GetLocalBackups, { { ls::enabledKey, true } })
                     .value(ls::backupFoldersKey)
                     .toMap()
                     .value(folder)
                     .toStringList()
                     .value(1),
            QString("/backup/embosser/layouts/%1/layout.3").arg(folder));

        QCOMPARE(
            process(DeleteLayout, { { ls::layoutNrKey, 3 } }).value(ls::resultIdKey).toString(), QString("Success"));
        QVERIFY(process(ReadLayout, { { ls::layoutNrKey, 3 } }).value(ls::layoutDataKey).isNull());
        QList<QVariantMap> notifications;
        const QVariantMap answer = processAndCollect(RestoreLocal,
            { { ls::locationKey, "internal:layouts/" }, { ls::sourceKey, folder },
                { ls::layoutListKey, numbers({ 3 }) } },
            notifications);
        QCOMPARE(answer.value(ls::resultIdKey).toString(), QString("Success"));
        QVERIFY(isRestoreNotification(notifications));
        QCOMPARE(process(ReadLayout, { { ls::layoutNrKey, 3 } }).value(ls::layoutDataKey).toMap(), layout3);
        QCOMPARE(calls.of(backupScript),
            QList<QStringList>({ { "-b", "-s", "layouts", "-d", "internal:layouts", "-L", "1 3 " },
                { "-r", "-s", "internal:layouts/" + folder, "-d", "layouts", "-L", "3 " } }));

        // The same backup named by its directory, and the newest backup without a name.
        QCOMPARE(process(RestoreLocal,
                     { { ls::locationKey, "/backup/embosser/layouts/" }, { ls::sourceKey, folder },
                         { ls::layoutListKey, QVariantList() } })
                     .value(ls::resultIdKey)
                     .toString(),
            QString("Success"));
        QCOMPARE(calls.of(backupScript).last(),
            QStringList({ "-r", "-s", "/backup/embosser/layouts/" + folder, "-d", "layouts" }));
        // That backup held layouts 1 and 3 only: the rest are gone.
        QCOMPARE(workingLayouts(), QStringList({ "layout.1", "layout.3" }));
    }

    void usbStickInsertedAndRemoved()
    {
        using namespace ls::LayoutCmdId;
        const QVariantMap model { { ls::modelKey, "Corvane Zentra" } };
        QVERIFY(process(GetUsbBackups, model).value(ls::backupFoldersKey).toMap().isEmpty());
        QVERIFY(m_daemon->waitForLog("LayoutRestore::listBackups INFO: No backups exist for this model."));
        QCOMPARE(process(BackupUsb, { { ls::layoutListKey, QVariantList() } }).value(ls::resultIdKey).toString(),
            QString("Failure"));

        QVERIFY(QDir().mkpath(m_root->file("/media/sda1")));
        QCOMPARE(process(BackupUsb, { { ls::layoutListKey, QVariantList() } }).value(ls::resultIdKey).toString(),
            QString("Success"));
        const QVariantMap folders = process(GetUsbBackups, model).value(ls::backupFoldersKey).toMap();
        QCOMPARE(folders.size(), 1);
        QCOMPARE(folders.first().toStringList(), workingLayouts());
        QVERIFY(QFile::remove(m_root->file("/var/lib/embosser/layout.3")));
        QList<QVariantMap> notifications;
        const QVariantMap answer = processAndCollect(RestoreUsb,
            { { ls::locationKey, "usb:layouts/" }, { ls::sourceKey, folders.firstKey() },
                { ls::layoutListKey, QStringList { "3" } } },
            notifications);
        QCOMPARE(answer.value(ls::resultIdKey).toString(), QString("Success"));
        QVERIFY(isRestoreNotification(notifications));
        QCOMPARE(workingLayouts(), QStringList({ "layout.1", "layout.3" }));

        // The newest backup holds layout 3 only: it replaces the working set, and layout 1 comes
        // back from the factory.
        QCOMPARE(process(BackupUsb, { { ls::layoutListKey, numbers({ 3 }) } }).value(ls::resultIdKey).toString(),
            QString("Success"));
        QCOMPARE(
            process(RestoreUsb,
                { { ls::locationKey, QString() }, { ls::sourceKey, QString() }, { ls::layoutListKey, QVariantList() } })
                .value(ls::resultIdKey)
                .toString(),
            QString("Success"));
        QCOMPARE(m_root->readFile("/var/lib/embosser/layout.1"), m_root->readFile("/backup/embosser/factory/layout.1"));
        QCOMPARE(workingLayouts(), QStringList({ "layout.1", "layout.3" }));

        QVERIFY(QDir(m_root->file("/media/sda1")).removeRecursively());
        const QByteArray before = state();
        QCOMPARE(
            processAndCollect(RestoreUsb,
                { { ls::locationKey, QString() }, { ls::sourceKey, QString() }, { ls::layoutListKey, QVariantList() } },
                notifications)
                .value(ls::errorIdKey)
                .toString(),
            QString("Undefined"));
        QCOMPARE(notifications, QList<QVariantMap>());
        QVERIFY(state() == before);
    }

    void distributorFactoryAndUpload()
    {
        using namespace ls::LayoutCmdId;
        const SimCalls calls(m_root->path());
        const QString sets = "/usr/share/embosser/layouts/Corvane_Zentra";
        const QVariantMap listed = process(GetDistributorBackups, { { ls::modelKey, "Corvane Zentra" } })
                                       .value(ls::backupFoldersKey)
                                       .toMap();
        QCOMPARE(listed.keys(), QStringList({ "Standard" }));
        QList<QVariantMap> notifications;
        QCOMPARE(processAndCollect(RestoreDistributor,
                     { { ls::locationKey, "distributor" }, { ls::sourceKey, "Standard" },
                         { ls::layoutListKey, QVariantList() } },
                     notifications)
                     .value(ls::resultIdKey)
                     .toString(),
            QString("Success"));
        QVERIFY(isRestoreNotification(notifications));
        QCOMPARE(calls.of("embosser-layouts.sh").last(), QStringList({ "-a", "-d", "Standard" }));
        QCOMPARE(workingLayouts(), listed.value("Standard").toStringList());
        QCOMPARE(m_root->readFile("/var/lib/embosser/layout.2"), m_root->readFile(sets + "/Standard/layout.2"));
        QCOMPARE(process(RestoreDistributor,
                     { { ls::locationKey, QString() }, { ls::sourceKey, "/usr/share/embosser/layouts" },
                         { ls::layoutListKey, numbers({ 2 }) } })
                     .value(ls::resultIdKey)
                     .toString(),
            QString("Success"));
        QCOMPARE(calls.of(backupScript).last(),
            QStringList({ "-r", "-s", "/usr/share/embosser/layouts/Corvane_Zentra/", "-d", "layouts", "-L", "2 " }));

        QCOMPARE(
            processAndCollect(RestoreFactory, {}, notifications).value(ls::resultIdKey).toString(), QString("Success"));
        QVERIFY(isRestoreNotification(notifications));
        QCOMPARE(calls.of(backupScript).last(), QStringList({ "-r", "-d", "layouts", "-s", "system:layouts" }));
        QCOMPARE(m_root->readFile("/var/lib/embosser/layout.6"), m_root->readFile("/backup/embosser/factory/layout.6"));
        // The factory's layout 7 is of an older firmware: the restore brought it up to date.
        QVERIFY(!m_root->readFile("/backup/embosser/factory/layout.7").contains("Adjustment to linespacing"));
        QVERIFY(m_root->readFile("/var/lib/embosser/layout.7").contains("Adjustment to linespacing"));

        // An upload replaces the working set; one that is not a set of valid layouts with layout 1
        // changes nothing.
        const QVariantMap download = process(BackupDownload).value(ls::layoutDataKey).toMap();
        const QVariantMap layout1 = download.value("layout-1").toMap();
        const QByteArray before = state();
        for (const QVariantMap& bad : { QVariantMap { { "layout-4", layout1 } },
                 QVariantMap { { "layout-1", layout1 }, { "layout-04", layout1 } },
                 QVariantMap { { "layout-1", layout1 }, { "layout-4", QVariantMap { { "Paper size", "A4" } } } },
                 QVariantMap { { "layout-1", "text" } } }) {
            QCOMPARE(processAndCollect(RestoreUpload, { { ls::layoutDataKey, bad } }, notifications)
                         .value(ls::errorIdKey)
                         .toString(),
                QString("InvalidValue"));
            QCOMPARE(notifications, QList<QVariantMap>());
        }
        QVERIFY(state() == before);
        QCOMPARE(processAndCollect(RestoreUpload,
                     { { ls::layoutDataKey, QVariantMap { { "layout-1", layout1 }, { "layout-4", layout1 } } } },
                     notifications)
                     .value(ls::resultIdKey)
                     .toString(),
            QString("Success"));
        QVERIFY(isRestoreNotification(notifications));
        QCOMPARE(workingLayouts(), QStringList({ "layout.1", "layout.4" }));
        QCOMPARE(process(BackupDownload).value(ls::layoutDataKey).toMap().value("layout-4").toMap(), layout1);
    }

    // A backup named outside its place, or a list that is not one of layout numbers, runs no
    // script, changes nothing and announces nothing.
    void refusedBackupPlaces_data()
    {
        QTest::addColumn<QString>("subCommand");
        QTest::addColumn<QVariantMap>("arguments");
        QTest::addColumn<QString>("error");
        using namespace ls::LayoutCmdId;
        const auto place = [](const QString& location, const QString& source) {
            return QVariantMap { { ls::locationKey, location }, { ls::sourceKey, source },
                { ls::layoutListKey, QVariantList() } };
        };
        const QString invalid = "InvalidValue";
        row("local: traversal", QString(RestoreLocal), place("internal:layouts/", "../../etc"), invalid);
        row("local: another place", QString(RestoreLocal), place("usb:layouts/", "x"), invalid);
        row("local: command", QString(RestoreLocal), place("internal:layouts/", "x'; touch " + marker() + "; '"),
            invalid);
        row("local: location with a command", QString(RestoreLocal), place("$(touch " + marker() + ")/", "x"), invalid);
        row("usb: traversal", QString(RestoreUsb), place("usb:layouts/", ".."), invalid);
        row("distributor: set with a path", QString(RestoreDistributor), place("d", "../../../etc"), invalid);
        row("distributor: set with a command", QString(RestoreDistributor), place("d", "x; reboot"),
            QString("Undefined"));
        row("distributor: sets outside their directory", QString(RestoreDistributor), place("", "/etc"), invalid);
        row("distributor: relative sets", QString(RestoreDistributor), place("", "Standard"), invalid);
        row("no location", QString(RestoreLocal),
            QVariantMap { { ls::sourceKey, "x" }, { ls::layoutListKey, QVariantList() } }, QString("ValueNotFound"));
        row("location a number", QString(RestoreLocal),
            QVariantMap { { ls::locationKey, 1 }, { ls::sourceKey, "x" }, { ls::layoutListKey, QVariantList() } },
            invalid);
        row("no list", QString(BackupLocal), QVariantMap(), QString("ValueNotFound"));
        row("list a text", QString(BackupLocal), QVariantMap { { ls::layoutListKey, "1 3" } }, invalid);
        row("list with a command", QString(BackupUsb),
            QVariantMap { { ls::layoutListKey, QStringList { "1; reboot" } } }, invalid);
        row("list with 0", QString(BackupLocal), QVariantMap { { ls::layoutListKey, numbers({ 1, 0 }) } }, invalid);
        QVariantList hundred;
        for (int i = 0; i < 100; ++i) {
            hundred << 1;
        }
        row("list of 100", QString(BackupLocal), QVariantMap { { ls::layoutListKey, hundred } }, invalid);
        row("model with a path", QString(GetUsbBackups), QVariantMap { { ls::modelKey, "../../etc" } }, invalid);
        row("no model", QString(GetDistributorBackups), QVariantMap(), QString("ValueNotFound"));
    }

    void refusedBackupPlaces()
    {
        QFETCH(QString, subCommand);
        QFETCH(QVariantMap, arguments);
        QFETCH(QString, error);
        const SimCalls calls(m_root->path());
        const int scriptCalls = calls.of(backupScript).size();
        const QByteArray before = state();
        QList<QVariantMap> notifications;
        QCOMPARE(processAndCollect(subCommand, arguments, notifications).value(ls::errorIdKey).toString(), error);
        QCOMPARE(notifications, QList<QVariantMap>());
        QVERIFY(state() == before);
        // A set name that is one plain word reaches the layout script as one argument, and fails.
        if (error == QLatin1String("Undefined")) {
            QCOMPARE(calls.of("embosser-layouts.sh").last(), QStringList({ "-a", "-d", "x; reboot" }));
        }
        QCOMPARE(calls.of(backupScript).size(), scriptCalls);
        QVERIFY(!QFile::exists(marker()));
    }
};

QTEST_GUILESS_MAIN(TestE2eLayout)
#include "tst_e2e_layout.moc"
