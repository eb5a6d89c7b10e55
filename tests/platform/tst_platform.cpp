#include "EchoPeer.h"
#include "EnvironmentOverride.h"
#include "PrivateBus.h"

#include "libcorvane/DBusArgumentUnpack.h"
#include "libcorvane/FileSystemRoot.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/ServiceWatcher.h"
#include "libcorvane/Settings.h"
#include "libcorvane/Singleton.h"
#include "ls/AtomicFile.h"
#include "ls/ConsoleReader.h"
#include "ls/DBusService.h"
#include "ls/DBusServiceStore.h"
#include "ls/ErrorId.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "ls/MetaEnum.h"
#include "ls/PFile.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"
#include "ls/Timer.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusServer>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMutex>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QWaitCondition>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// A structure for the D-Bus unpacking tests: (s, i) on the wire.
struct NamedNumber {
    QString name;
    int number = 0;
};
Q_DECLARE_METATYPE(NamedNumber)

QDBusArgument& operator<<(QDBusArgument& argument, const NamedNumber& value)
{
    argument.beginStructure();
    argument << value.name << value.number;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, NamedNumber& value)
{
    argument.beginStructure();
    argument >> value.name >> value.number;
    argument.endStructure();
    return argument;
}

// A type D-Bus knows nothing about.
struct Opaque {
};
Q_DECLARE_METATYPE(Opaque)

Q_DECLARE_METATYPE(QList<QVariantMap>)
using StringMap = QMap<QString, QString>;
Q_DECLARE_METATYPE(StringMap)

namespace shapes {

// Functions of several signature shapes; each reports the log prefix built from its own
// Q_FUNC_INFO.
class Shapes {
public:
    explicit Shapes(QString* prefix) { *prefix = libcorvane::logPrefix(Q_FUNC_INFO); }
    void plain(QString* prefix) { *prefix = libcorvane::logPrefix(Q_FUNC_INFO); }
    int constMember(QString* prefix) const
    {
        *prefix = libcorvane::logPrefix(Q_FUNC_INFO);
        return 0;
    }
    QMap<QString, QList<int>> templated(QString* prefix)
    {
        *prefix = libcorvane::logPrefix(Q_FUNC_INFO);
        return {};
    }
    QObject* pointer(QString* prefix)
    {
        *prefix = libcorvane::logPrefix(Q_FUNC_INFO);
        return nullptr;
    }
    const QString& reference(QString* prefix)
    {
        *prefix = libcorvane::logPrefix(Q_FUNC_INFO);
        return *prefix;
    }
    static void staticMember(QString* prefix) { *prefix = libcorvane::logPrefix(Q_FUNC_INFO); }
    void withLambda(QString* prefix)
    {
        const auto lambda = [prefix]() { *prefix = libcorvane::logPrefix(Q_FUNC_INFO); };
        lambda();
    }
    template <typename U>
    QList<U> listOf(QString* prefix)
    {
        *prefix = libcorvane::logPrefix(Q_FUNC_INFO);
        return {};
    }
    bool operator==(const Shapes&) const { return true; }
    void tagged(QString* prefix) { *prefix = libcorvane::logPrefix(Q_FUNC_INFO, "ERROR:"); }
};

template <typename T>
class Box {
public:
    std::pair<T, T> get(QString* prefix) const
    {
        *prefix = libcorvane::logPrefix(Q_FUNC_INFO);
        return {};
    }
};

QString freeFunction()
{
    return libcorvane::logPrefix(Q_FUNC_INFO);
}

} // namespace shapes

namespace {

// Counts constructions, for the singleton tests.
class Counted : public QObject {
public:
    Counted() { ++constructions; }
    static std::atomic<int> constructions;
};
std::atomic<int> Counted::constructions { 0 };

class ThreadBound : public QObject {
};

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

bool writeRaw(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QStringList entries(const QString& directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// Limits the size of files this process may write, so that a write fails half-way as on a
// full disk; works for root, unlike permissions.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_previous {};
    void (*m_previousHandler)(int) = nullptr;
};

// Receives `deliver(a{sv})` calls on a peer-to-peer connection and keeps the map as QtDBus
// demarshalled it (nested values as QDBusArgument).
class Receiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "local.Receiver")
public:
    QVariantMap received;
    bool hasReceived = false;

public slots:
    void deliver(const QVariantMap& map)
    {
        received = map;
        hasReceived = true;
    }
};

QVariant nestedVariants(int depth, const QVariant& leaf)
{
    QVariant value = leaf;
    for (int i = 0; i < depth; ++i) {
        value = QVariant::fromValue(QDBusVariant(value));
    }
    return value;
}

QVariantMap nestedMaps(int depth, const QVariant& leaf)
{
    QVariantMap map { { QStringLiteral("leaf"), leaf } };
    for (int i = 0; i < depth; ++i) {
        map = QVariantMap { { QStringLiteral("next"), map } };
    }
    return map;
}

QVariant descend(QVariant value, int levels)
{
    for (int i = 0; i < levels; ++i) {
        value = value.toMap().value(QStringLiteral("next"));
    }
    return value;
}

} // namespace

// QSKIP leaves only the function it is written in, so this cannot be a helper function.
#define REQUIRE_BUS()                                                                                                  \
    do {                                                                                                               \
        if (!m_busRunning) {                                                                                           \
            QSKIP("no private bus (dbus-daemon missing or failed)");                                                   \
        }                                                                                                              \
    } while (false)

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    // libcorvane: root, settings, watcher, singleton, log prefix
    void fileSystemRootJoin_data();
    void fileSystemRootJoin();
    void settingsStayUnderRoot();
    void serviceWatcherWritesReadiness();
    void serviceWatcherRejectsPathNames_data();
    void serviceWatcherRejectsPathNames();
    void singletonIsCreatedOnceAcrossThreads();
    void singletonLivesInFirstThread();
    void logPrefixShapes_data();
    void logPrefixShapes();

    // ls: ids
    void metaEnumLookups();

    // ls: atomic writes
    void atomicWriteCreatesDirectoriesAndKeepsMode();
    void atomicWriteReplacesByRename();
    void failedWriteLeavesOldFile_data();
    void failedWriteLeavesOldFile();

    // ls: JSON files
    void jfileReadFailures_data();
    void jfileReadFailures();
    void jfileRoundTrip();
    void jfileReadKeyAsText_data();
    void jfileReadKeyAsText();
    void jfileSingleKeyWrite();
    void jfileSingleKeyWriteKeepsCorruptFile();
    void jfileKeyPathWrite();
    void jfileKeyPathWriteFailures_data();
    void jfileKeyPathWriteFailures();

    // ls: property files
    void pfileRead_data();
    void pfileRead();
    void pfileReadToMap();
    void pfileRoundTrip_data();
    void pfileRoundTrip();
    void pfileRefusesValuesThatDoNotReadBack_data();
    void pfileRefusesValuesThatDoNotReadBack();
    void pfileKeepsCommentsAndLayout();
    void pfileAppendsAndCreates();
    void pfileWriteFromMap();

    // ls: timer, console
    void timerSpans();
    void consoleReaderOnPipe();
    void consoleReaderStopsAtEndOfInput_data();
    void consoleReaderStopsAtEndOfInput();

    // libcorvane: D-Bus unpacking
    void unpackWireValues();
    void unpackIsRepeatable();
    void unpackWireDepth();
    void unpackCapsLocalDepth_data();
    void unpackCapsLocalDepth();

    // ls: peer services
    void busNameRule_data();
    void busNameRule();
    void storeRegistersOncePerId();
    void serviceProcessEchoes();
    void serviceProcessFromAnotherThread();
    void serviceUnreachable();
    void serviceTimesOut();
    void serviceRefusesUnmarshallableRequest_data();
    void serviceRefusesUnmarshallableRequest();
    void serviceNotification();

private:
    QVariantMap deliverOverPeerConnection(const QVariantMap& map);

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<EnvironmentOverride> m_rootOverride;
    std::unique_ptr<PrivateBus> m_bus;
    bool m_busRunning = false;
    std::unique_ptr<EnvironmentOverride> m_busOverride;
    QThread m_peerThread;
    EchoPeer* m_peer = nullptr;
};

void TestPlatform::initTestCase()
{
    qDBusRegisterMetaType<NamedNumber>();
    qDBusRegisterMetaType<QList<int>>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    qDBusRegisterMetaType<StringMap>();

    // Nothing here may reach the machine's system bus: without a private bus the address
    // points nowhere.
    m_busOverride = std::make_unique<EnvironmentOverride>("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    m_bus = std::make_unique<PrivateBus>();
    m_busRunning = m_bus->isValid();
    if (!m_busRunning) {
        return;
    }
    QDBusConnection peerConnection = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("echo-peer"));
    QVERIFY(peerConnection.isConnected());
    m_peerThread.start();
    m_peer = new EchoPeer();
    m_peer->moveToThread(&m_peerThread);
    QVERIFY(peerConnection.registerObject(QStringLiteral("/"), m_peer, QDBusConnection::ExportAllSlots));
    QVERIFY(peerConnection.registerService(QStringLiteral("com.corvanebraille.ErrorHandler")));
}

void TestPlatform::init()
{
    m_rootOverride.reset();
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_rootOverride = std::make_unique<EnvironmentOverride>("CONFIGURATION_MANAGER_ROOT", m_root->path().toUtf8());
}

void TestPlatform::cleanupTestCase()
{
    if (m_peer) {
        QDBusConnection peerConnection(QStringLiteral("echo-peer"));
        peerConnection.unregisterObject(QStringLiteral("/"));
        QDBusConnection::disconnectFromBus(QStringLiteral("echo-peer"));
        m_peer->deleteLater();
        m_peer = nullptr;
    }
    m_peerThread.quit();
    m_peerThread.wait();
    m_rootOverride.reset();
}


// --- libcorvane: root, settings, watcher, singleton, log prefix ---------------------------------

void TestPlatform::fileSystemRootJoin_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expectedRoot");
    QTest::addColumn<QString>("expected");

    QTest::newRow("unset") << QByteArray() << "/var/lib/embosser"
                           << "/"
                           << "/var/lib/embosser";
    QTest::newRow("unset keeps doubled slash") << QByteArray() << "/usr/share/configuration-manager//backup"
                                               << "/"
                                               << "/usr/share/configuration-manager//backup";
    QTest::newRow("private") << QByteArray("/tmp/r") << "/var/lib/embosser"
                             << "/tmp/r"
                             << "/tmp/r/var/lib/embosser";
    QTest::newRow("trailing slash of root") << QByteArray("/tmp/r/") << "/etc/slave.conf"
                                            << "/tmp/r"
                                            << "/tmp/r/etc/slave.conf";
    QTest::newRow("trailing slash of path kept") << QByteArray("/tmp/r") << "/media/sda1/x/"
                                                 << "/tmp/r"
                                                 << "/tmp/r/media/sda1/x/";
    QTest::newRow("relative path") << QByteArray("/tmp/r") << "etc/x"
                                   << "/tmp/r"
                                   << "/tmp/r/etc/x";
    QTest::newRow("root slash") << QByteArray("/") << "/etc/x"
                                << "/"
                                << "/etc/x";
}

void TestPlatform::fileSystemRootJoin()
{
    QFETCH(QByteArray, root);
    QFETCH(QString, path);
    QFETCH(QString, expectedRoot);
    QFETCH(QString, expected);
    const EnvironmentOverride override("CONFIGURATION_MANAGER_ROOT", root);
    QCOMPARE(libcorvane::FileSystemRoot::path(), expectedRoot);
    QCOMPARE(libcorvane::FileSystemRoot::join(path), expected);
}

void TestPlatform::settingsStayUnderRoot()
{
    libcorvane::Settings::init();
    {
        // The store of the direct-print settings: native format, system scope.
        QSettings settings(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("ovdSettings"));
        settings.setValue(QStringLiteral("ovdSettings/tabSize"), 4);
        settings.sync();
        QCOMPARE(settings.status(), QSettings::NoError);
        QVERIFY2(settings.fileName().startsWith(m_root->path() + QLatin1Char('/')), qPrintable(settings.fileName()));
    }
    {
        QSettings settings(QStringLiteral("Corvane Braille AB"), QStringLiteral("configuration-manager"));
        QVERIFY2(settings.fileName().startsWith(m_root->path() + QLatin1Char('/')), qPrintable(settings.fileName()));
    }
    QVERIFY(QFile::exists(m_root->filePath(QStringLiteral("etc/xdg/ovdSettings.conf"))));
}

void TestPlatform::serviceWatcherWritesReadiness()
{
    const QString file = m_root->filePath(QStringLiteral("var/run/service-watcher/configuration-manager"));
    QVERIFY(ServiceWatcher::setReady(QStringLiteral("configuration-manager"), false));
    QCOMPARE(readAll(file), QByteArray("0"));
    QVERIFY(ServiceWatcher::setReady(QStringLiteral("configuration-manager"), true));
    QCOMPARE(readAll(file), QByteArray("1"));
    QCOMPARE(entries(QFileInfo(file).absolutePath()), QStringList { QStringLiteral("configuration-manager") });
}

void TestPlatform::serviceWatcherRejectsPathNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString();
    QTest::newRow("parent") << QStringLiteral("..");
    QTest::newRow("slash") << QStringLiteral("../../etc/passwd");
    QTest::newRow("nul") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
}

void TestPlatform::serviceWatcherRejectsPathNames()
{
    QFETCH(QString, name);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^ServiceWatcher::setReady ERROR: invalid")));
    QVERIFY(!ServiceWatcher::setReady(name, true));
    QCOMPARE(entries(m_root->path()), QStringList());
}

void TestPlatform::singletonIsCreatedOnceAcrossThreads()
{
    QMutex mutex;
    QWaitCondition go;
    bool started = false;
    std::atomic<int> waiting { 0 };
    QVector<Counted*> seen(8, nullptr);
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < seen.size(); ++i) {
        threads.emplace_back(QThread::create([&, i]() {
            {
                QMutexLocker lock(&mutex);
                ++waiting;
                while (!started) {
                    go.wait(&mutex);
                }
            }
            seen[i] = &libcorvane::Singleton<Counted>::instance();
        }));
        threads.back()->start();
    }
    QTRY_COMPARE(waiting.load(), seen.size());
    {
        QMutexLocker lock(&mutex);
        started = true;
        go.wakeAll();
    }
    for (auto& thread : threads) {
        QVERIFY(thread->wait(10000));
    }
    QCOMPARE(Counted::constructions.load(), 1);
    for (Counted* instance : qAsConst(seen)) {
        QCOMPARE(instance, &libcorvane::Singleton<Counted>::instance());
    }
}

void TestPlatform::singletonLivesInFirstThread()
{
    QThread* creator = nullptr;
    std::unique_ptr<QThread> thread(QThread::create([&creator]() {
        creator = QThread::currentThread();
        libcorvane::Singleton<ThreadBound>::instance();
    }));
    thread->start();
    QVERIFY(thread->wait(10000));
    QCOMPARE(libcorvane::Singleton<ThreadBound>::instance().thread(), creator);
}

void TestPlatform::logPrefixShapes_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("expected");

    QString prefix;
    shapes::Shapes object(&prefix);
    QTest::newRow("constructor") << prefix << "shapes::Shapes::Shapes";
    object.plain(&prefix);
    QTest::newRow("plain member") << prefix << "shapes::Shapes::plain";
    object.constMember(&prefix);
    QTest::newRow("const member") << prefix << "shapes::Shapes::constMember";
    object.templated(&prefix);
    QTest::newRow("template in return type") << prefix << "shapes::Shapes::templated";
    object.pointer(&prefix);
    QTest::newRow("pointer return") << prefix << "shapes::Shapes::pointer";
    object.reference(&prefix);
    QTest::newRow("reference return") << prefix << "shapes::Shapes::reference";
    shapes::Shapes::staticMember(&prefix);
    QTest::newRow("static member") << prefix << "shapes::Shapes::staticMember";
    object.withLambda(&prefix);
    QTest::newRow("lambda") << prefix << "shapes::Shapes::withLambda";
    object.listOf<QPair<int, QString>>(&prefix);
    QTest::newRow("member template") << prefix << "shapes::Shapes::listOf";
    shapes::Box<QMap<QString, int>>().get(&prefix);
    QTest::newRow("class template") << prefix << "shapes::Box<T>::get";
    QTest::newRow("free function") << shapes::freeFunction() << "shapes::freeFunction";
    object.tagged(&prefix);
    QTest::newRow("tag") << prefix << "shapes::Shapes::tagged ERROR:";
    QTest::newRow("operator")
        << libcorvane::logPrefix("bool shapes::Shapes::operator==(const shapes::Shapes&) const")
        << "shapes::Shapes::operator==";
    QTest::newRow("not a signature") << libcorvane::logPrefix("main") << "main";
}

void TestPlatform::logPrefixShapes()
{
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    QCOMPARE(prefix, expected);
}

// --- ls: ids ------------------------------------------------------------------------------------

void TestPlatform::metaEnumLookups()
{
    const int invalid = std::numeric_limits<int>::min();
    QCOMPARE(ls::MetaEnum::invalid(), invalid);
    const ls::MetaEnum& meta = ls::ResultId::meta;
    QCOMPARE(meta.keyToValue(QStringLiteral("Success")), 0);
    QCOMPARE(meta.keyToValue(QStringLiteral("Failure")), 1);
    QCOMPARE(meta.keyToValue(QStringLiteral("success")), invalid);
    QCOMPARE(meta.keyToValue(QString()), invalid);
    QCOMPARE(meta.valueToKey(invalid), QString());
    QCOMPARE(meta.valueToKey(-1), QString());
    QCOMPARE(meta.valueToKey(meta.keyCount()), QString());
    QCOMPARE(meta.valueToKey(std::numeric_limits<int>::max()), QString());
    QVERIFY(!meta.contains(QStringLiteral("Undefined")));
    QCOMPARE(ls::ErrorId::meta.keyToValue(ls::ErrorId::Undefined), 0);

    // A family that registers a text twice keeps its first integer and no second entry.
    ls::MetaEnum family("Test");
    QCOMPARE(family.add(QStringLiteral("A")), 0);
    QCOMPARE(family.add(QStringLiteral("B")), 1);
    QCOMPARE(family.add(QStringLiteral("A")), 0);
    QCOMPARE(family.keyCount(), 2);
    QCOMPARE(family.keys(), (QStringList { QStringLiteral("A"), QStringLiteral("B") }));
}

// --- ls: atomic writes --------------------------------------------------------------------------

void TestPlatform::atomicWriteCreatesDirectoriesAndKeepsMode()
{
    const QString path = m_root->filePath(QStringLiteral("a/b/c/file"));
    QVERIFY(ls::AtomicFile::write(path, "first"));
    QCOMPARE(readAll(path), QByteArray("first"));

    // A new file gets the ordinary mode, not the private one of a temporary file.
    const mode_t previousMask = umask(022);
    const QString fresh = m_root->filePath(QStringLiteral("fresh"));
    const bool written = ls::AtomicFile::write(fresh, "x");
    umask(previousMask);
    QVERIFY(written);
    struct stat status {};
    QCOMPARE(stat(QFile::encodeName(fresh).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0644));

    QCOMPARE(chmod(QFile::encodeName(path).constData(), 0640), 0);
    QVERIFY(ls::AtomicFile::write(path, "second"));
    QCOMPARE(stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, mode_t(0640));
    QCOMPARE(entries(QFileInfo(path).absolutePath()), QStringList { QStringLiteral("file") });
}

void TestPlatform::atomicWriteReplacesByRename()
{
    // A reader that opened the old file keeps seeing all of it while the new one is written:
    // the old file is never truncated in place, so an interruption before the rename leaves it.
    const QString path = m_root->filePath(QStringLiteral("var/lib/embosser/parameters"));
    ls::JFile jfile;
    const QVariantMap before { { QStringLiteral("Hammer batch"), 3 }, { QStringLiteral("Speed"), 2 } };
    QVERIFY(jfile.writeFromMap(QString(), path, before));
    const QByteArray oldContent = readAll(path);
    QFile oldHandle(path);
    QVERIFY(oldHandle.open(QIODevice::ReadOnly));
    struct stat oldStatus {};
    QCOMPARE(stat(QFile::encodeName(path).constData(), &oldStatus), 0);

    QVERIFY(jfile.write(path, QStringLiteral("Speed"), 4));

    QCOMPARE(oldHandle.readAll(), oldContent);
    struct stat newStatus {};
    QCOMPARE(stat(QFile::encodeName(path).constData(), &newStatus), 0);
    QVERIFY(newStatus.st_ino != oldStatus.st_ino);
    QVariantMap after;
    QVERIFY(jfile.readToMap(path, after));
    QCOMPARE(after.value(QStringLiteral("Speed")).toInt(), 4);
    QCOMPARE(after.value(QStringLiteral("Hammer batch")).toInt(), 3);
}

void TestPlatform::failedWriteLeavesOldFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("disk full half-way") << "limit";
    QTest::newRow("empty content") << "empty";
    QTest::newRow("parent is a file") << "parentFile";
    QTest::newRow("target is a directory") << "directory";
}

void TestPlatform::failedWriteLeavesOldFile()
{
    QFETCH(QString, how);
    const QString directory = m_root->filePath(QStringLiteral("state"));
    const QString path = directory + QStringLiteral("/layout.1");
    const QByteArray old = "{\n    \"Line per page\": 25\n}\n";
    QVERIFY(writeRaw(path, old));

    bool written = true;
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^ls::AtomicFile::write ERROR: ")));
    if (how == QLatin1String("limit")) {
        QVariantMap big;
        for (int i = 0; i < 2000; ++i) {
            big.insert(QStringLiteral("parameter %1").arg(i), QStringLiteral("a long enough value %1").arg(i));
        }
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^ls::JFile::writeMap FAILED! ")));
        const FileSizeLimit limit(4096);
        written = ls::JFile().writeFromMap(QString(), path, big);
    } else if (how == QLatin1String("empty")) {
        written = ls::AtomicFile::write(path, QByteArray());
    } else if (how == QLatin1String("parentFile")) {
        written = ls::AtomicFile::write(path + QStringLiteral("/inside"), "x");
    } else {
        QVERIFY(QDir().mkpath(directory + QStringLiteral("/sub")));
        written = ls::AtomicFile::write(directory + QStringLiteral("/sub"), "x");
    }
    QVERIFY(!written);
    QCOMPARE(readAll(path), old);
    // No temporary file is left behind.
    QStringList expected { QStringLiteral("layout.1") };
    if (how == QLatin1String("directory")) {
        expected << QStringLiteral("sub");
    }
    QCOMPARE(entries(directory), expected);
}

// --- ls: JSON files -----------------------------------------------------------------------------

void TestPlatform::jfileReadFailures_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing") << QByteArray() << "^ls::JFile::readToMap ERROR: reading .* failed";
    QTest::newRow("truncated") << QByteArray("{\"a\": ") << "^ls::JFile::readToMap ERROR: parsing .* at offset 6";
    QTest::newRow("array") << QByteArray("[1, 2]") << "does not hold a JSON object$";
    QTest::newRow("number") << QByteArray("3") << "ERROR: parsing";
    QTest::newRow("empty") << QByteArray("") << "ERROR: parsing";
}

void TestPlatform::jfileReadFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString path = m_root->filePath(QStringLiteral("data.json"));
    if (QByteArray(QTest::currentDataTag()) != "missing") {
        QVERIFY(writeRaw(path, content));
    }
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(message));
    QVariantMap out { { QStringLiteral("kept"), 1 } };
    QVERIFY(!ls::JFile().readToMap(path, out));
    QCOMPARE(out, (QVariantMap { { QStringLiteral("kept"), 1 } }));
}

void TestPlatform::jfileRoundTrip()
{
    const QVariantMap data {
        { QStringLiteral("Paper size"), QStringLiteral("A4") },
        { QStringLiteral("Line per page"), 25 },
        { QStringLiteral("Margin"), 2.5 },
        { QStringLiteral("Duplex"), true },
        { QStringLiteral("Tables"), QStringList { QStringLiteral("en-us-g2.ctb"), QStringLiteral("de-g1.ctb") } },
        { QStringLiteral("Record"), QVariantMap { { QStringLiteral("stored"), true }, { QStringLiteral("index"), 7 } } },
        { QStringLiteral("Unicode ÅÄÖ ⠃"), QStringLiteral("värde ⠁⠃") },
    };
    const QString path = m_root->filePath(QStringLiteral("var/lib/embosser/layout.3"));
    ls::JFile jfile;
    QVERIFY(jfile.writeFromMap(QString(), path, data));
    QVariantMap back;
    QVERIFY(jfile.read(path, back));
    QCOMPARE(back.keys(), data.keys());
    QCOMPARE(back.value(QStringLiteral("Line per page")).toInt(), 25);
    QCOMPARE(back.value(QStringLiteral("Margin")).toDouble(), 2.5);
    QCOMPARE(back.value(QStringLiteral("Duplex")).toBool(), true);
    QCOMPARE(back.value(QStringLiteral("Tables")).toStringList(), data.value(QStringLiteral("Tables")).toStringList());
    QCOMPARE(back.value(QStringLiteral("Record")).toMap().value(QStringLiteral("index")).toInt(), 7);
    QCOMPARE(back.value(QStringLiteral("Unicode ÅÄÖ ⠃")).toString(), QStringLiteral("värde ⠁⠃"));

    // The directory argument, when given, is joined with the file name.
    QVERIFY(jfile.writeFromMap(m_root->filePath(QStringLiteral("dir")), QStringLiteral("name"), data));
    QVERIFY(jfile.readToMap(m_root->filePath(QStringLiteral("dir/name")), back));
}

void TestPlatform::jfileReadKeyAsText_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("string") << "PF Step dist"
                            << "0.0625";
    QTest::newRow("integer") << "Hammer batch"
                             << "3";
    QTest::newRow("double") << "Energy"
                            << "1.5";
    QTest::newRow("bool") << "Enabled"
                          << "true";
    QTest::newRow("object") << "Record" << R"({"a":1})";
    QTest::newRow("array") << "List" << R"([1,"x"])";
}

void TestPlatform::jfileReadKeyAsText()
{
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const QString path = m_root->filePath(QStringLiteral("parameters"));
    QVERIFY(writeRaw(path,
        R"({"PF Step dist": "0.0625", "Hammer batch": 3, "Energy": 1.5, "Enabled": true,
            "Record": {"a": 1}, "List": [1, "x"]})"));
    QString text;
    QVERIFY(ls::JFile().read(path, key, text));
    QCOMPARE(text, expected);
    QVERIFY(!ls::JFile().read(path, QStringLiteral("absent"), text));
    QCOMPARE(text, expected);
}

void TestPlatform::jfileSingleKeyWrite()
{
    const QString path = m_root->filePath(QStringLiteral("var/lib/embosser/speech"));
    ls::JFile jfile;
    // A missing file is created with the one key.
    QVERIFY(jfile.write(path, QStringLiteral("Volume"), 5));
    QVERIFY(jfile.write(path, QStringLiteral("Rate"), QStringLiteral("fast")));
    QVERIFY(jfile.write(path, QStringLiteral("Volume"), 7));
    QVariantMap content;
    QVERIFY(jfile.readToMap(path, content));
    QCOMPARE(content,
        (QVariantMap { { QStringLiteral("Volume"), qlonglong(7) }, { QStringLiteral("Rate"), QStringLiteral("fast") } }));
    QVariant value;
    QVERIFY(jfile.read(path, QStringLiteral("Volume"), value));
    QCOMPARE(value.toInt(), 7);
}

void TestPlatform::jfileSingleKeyWriteKeepsCorruptFile()
{
    // A file that exists but cannot be parsed is not replaced by a one-key object: whatever
    // it held stays for the repair that reads it.
    const QString path = m_root->filePath(QStringLiteral("counters"));
    const QByteArray corrupt = "{\"Pages\": 1200, \"Sheets\":";
    QVERIFY(writeRaw(path, corrupt));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("ERROR: parsing")));
    QVERIFY(!ls::JFile().write(path, QStringLiteral("Pages"), 1201));
    QCOMPARE(readAll(path), corrupt);
}

void TestPlatform::jfileKeyPathWrite()
{
    const QString path = m_root->filePath(QStringLiteral("usr/share/configuration-manager/parameterList.json"));
    QVERIFY(writeRaw(path, R"({
        "Line per page": {"index": 1, "stored": true, "minValue": 10},
        "Lines/page": {"index": 2, "stored": false},
        "total": 2
    })"));
    ls::JFile jfile;
    QVERIFY(jfile.writeKeyPath(path, QStringLiteral("Line per page/stored"), false));
    QVERIFY(jfile.writeKeyPath(path, QStringLiteral("Line per page/maxValue"), 40));
    // Parameter names may hold a slash: the field is after the last one.
    QVERIFY(jfile.writeKeyPath(path, QStringLiteral("Lines/page/stored"), true));

    QVariantMap content;
    QVERIFY(jfile.readToMap(path, content));
    const QVariantMap record = content.value(QStringLiteral("Line per page")).toMap();
    QCOMPARE(record,
        (QVariantMap { { QStringLiteral("index"), qlonglong(1) }, { QStringLiteral("stored"), false },
            { QStringLiteral("minValue"), qlonglong(10) }, { QStringLiteral("maxValue"), qlonglong(40) } }));
    QCOMPARE(content.value(QStringLiteral("Lines/page")).toMap().value(QStringLiteral("stored")), QVariant(true));
    QCOMPARE(content.value(QStringLiteral("total")).toInt(), 2);
    QCOMPARE(content.size(), 3);
}

void TestPlatform::jfileKeyPathWriteFailures_data()
{
    QTest::addColumn<QString>("keyPath");
    QTest::addColumn<QString>("message");
    QTest::newRow("no slash") << "Line per page"
                              << "is not <parameter>/<field>";
    QTest::newRow("no field") << "Line per page/"
                              << "is not <parameter>/<field>";
    QTest::newRow("no parameter") << "/stored"
                                  << "is not <parameter>/<field>";
    QTest::newRow("unknown parameter") << "Missing/stored"
                                       << "does not contain Missing";
    QTest::newRow("not an object") << "total/stored"
                                   << "total in .* is not an object";
}

void TestPlatform::jfileKeyPathWriteFailures()
{
    QFETCH(QString, keyPath);
    QFETCH(QString, message);
    const QString path = m_root->filePath(QStringLiteral("parameterList.json"));
    const QByteArray content = R"({"Line per page": {"stored": true}, "total": 1})";
    QVERIFY(writeRaw(path, content));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(message));
    QVERIFY(!ls::JFile().writeKeyPath(path, keyPath, 1));
    QCOMPARE(readAll(path), content);
}

// --- ls: property files -------------------------------------------------------------------------

void TestPlatform::pfileRead_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray("SLAVE_ID_DEFAULT=3\n") << "SLAVE_ID_DEFAULT" << true << "3";
    QTest::newRow("double quotes kept") << QByteArray("SLAVE_DEV=\"/dev/ttyS1\"\n") << "SLAVE_DEV" << true
                                        << "\"/dev/ttyS1\"";
    QTest::newRow("single quotes kept") << QByteArray("NAME='a b'\n") << "NAME" << true << "'a b'";
    QTest::newRow("blanks around =") << QByteArray("ssl.engine = \"enable\"\n") << "ssl.engine" << true
                                     << "\"enable\"";
    QTest::newRow("indented") << QByteArray("  ssl.pemfile  =  \"/c/server.pem\"  \n") << "ssl.pemfile" << true
                              << "\"/c/server.pem\"";
    QTest::newRow("export") << QByteArray("export SLAVE_DEV=/dev/ttyS2\n") << "SLAVE_DEV" << true << "/dev/ttyS2";
    QTest::newRow("trailing comment") << QByteArray("A=1 # one\n") << "A" << true << "1";
    QTest::newRow("hash in quotes") << QByteArray("A=\"x # y\" # c\n") << "A" << true << "\"x # y\"";
    QTest::newRow("hash inside word") << QByteArray("A=x#y\n") << "A" << true << "x#y";
    QTest::newRow("escaped quote") << QByteArray("A=\"say \\\"hi\\\" # x\"\n") << "A" << true
                                   << "\"say \\\"hi\\\" # x\"";
    QTest::newRow("empty value") << QByteArray("A=\n") << "A" << true << "";
    QTest::newRow("empty value, comment") << QByteArray("A= # nothing\n") << "A" << true << "";
    QTest::newRow("equals in value") << QByteArray("A=b=c\n") << "A" << true << "b=c";
    QTest::newRow("key with blanks") << QByteArray("Hammer batch=4\n") << "Hammer batch" << true << "4";
    QTest::newRow("last assignment counts") << QByteArray("A=1\nA=2\n") << "A" << true << "2";
    QTest::newRow("crlf") << QByteArray("A=1\r\nB=2\r\n") << "A" << true << "1";
    QTest::newRow("no final newline") << QByteArray("A=1\nB=2") << "B" << true << "2";
    QTest::newRow("commented out") << QByteArray("#A=1\n") << "A" << false << "";
    QTest::newRow("comparison is no assignment") << QByteArray("$HTTP[\"host\"] == \"x\" {\n") << "$HTTP[\"host\"]"
                                                 << false << "";
    QTest::newRow("append is no assignment") << QByteArray("server.modules += (\"mod_x\")\n") << "server.modules"
                                             << false << "";
    QTest::newRow("arrow is no assignment") << QByteArray("\"a\" => \"b\",\n") << "\"a\"" << false << "";
}

void TestPlatform::pfileRead()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(bool, found);
    QFETCH(QString, expected);
    const QString path = m_root->filePath(QStringLiteral("etc/slave.conf"));
    QVERIFY(writeRaw(path, content));
    QString value;
    QCOMPARE(ls::PFile().read(path, key, value), found);
    QCOMPARE(value, expected);
}

void TestPlatform::pfileReadToMap()
{
    const QString path = m_root->filePath(QStringLiteral("var/lib/embosser/parameters.0"));
    QVERIFY(writeRaw(path, "# converted by the previous firmware\n\nHammer batch=3\nOdd low pulse time = 120\n"
                           "junk line\nSpeed=2 # fast\n"));
    QVariantMap map;
    QVERIFY(ls::PFile().readToMap(path, map));
    QCOMPARE(map,
        (QVariantMap { { QStringLiteral("Hammer batch"), QStringLiteral("3") },
            { QStringLiteral("Odd low pulse time"), QStringLiteral("120") },
            { QStringLiteral("Speed"), QStringLiteral("2") } }));

    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^ls::PFile::load ERROR: reading")));
    QVERIFY(!ls::PFile().readToMap(m_root->filePath(QStringLiteral("absent")), map));
}

void TestPlatform::pfileRoundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("quoted word") << "\"enable\"";
    QTest::newRow("quoted path") << "\"/my-cert/server.pem\"";
    QTest::newRow("single quotes") << "'a b c'";
    QTest::newRow("quoted hash") << "\"a # b\"";
    QTest::newRow("escaped quotes") << R"("say \"hi\"")";
    QTest::newRow("inner blanks") << "a b  c";
    QTest::newRow("equals") << "x=y";
    QTest::newRow("hash in word") << "x#y";
    QTest::newRow("empty") << "";
    QTest::newRow("unicode") << "\"Blindskrift ⠃⠗⠇\"";
    QTest::newRow("backslashes") << R"(C:\dir\file)";
}

void TestPlatform::pfileRoundTrip()
{
    QFETCH(QString, value);
    const QString path = m_root->filePath(QStringLiteral("etc/lighttpd.conf"));
    QVERIFY(writeRaw(path, "ssl.engine = \"disable\" # switched by the service\nserver.port = 80\n"));
    ls::PFile pfile;
    QVERIFY(pfile.write(path, QStringLiteral("ssl.engine"), value));
    QVERIFY(pfile.write(path, QStringLiteral("new.key"), value));
    QString back;
    QVERIFY(pfile.read(path, QStringLiteral("ssl.engine"), back));
    QCOMPARE(back, value);
    QVERIFY(pfile.read(path, QStringLiteral("new.key"), back));
    QCOMPARE(back, value);
    QVERIFY(pfile.read(path, QStringLiteral("server.port"), back));
    QCOMPARE(back, QStringLiteral("80"));
    QVERIFY(readAll(path).contains("# switched by the service\n"));
}

void TestPlatform::pfileRefusesValuesThatDoNotReadBack_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("line break") << "A"
                                << "1\nB=2";
    QTest::newRow("carriage return") << "A"
                                     << "1\r";
    QTest::newRow("nul") << "A" << QStringLiteral("a") + QChar(0);
    QTest::newRow("comment") << "A"
                             << "1 # 2";
    QTest::newRow("leading blank") << "A"
                                   << " 1";
    QTest::newRow("trailing blank") << "A"
                                    << "1 ";
    QTest::newRow("key with =") << "A=B"
                                << "1";
    QTest::newRow("commented key") << "#A"
                                   << "1";
    QTest::newRow("empty key") << ""
                               << "1";
    QTest::newRow("key with line break") << "A\nB"
                                         << "1";
}

void TestPlatform::pfileRefusesValuesThatDoNotReadBack()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QString path = m_root->filePath(QStringLiteral("etc/slave.conf"));
    const QByteArray content = "A=0\n";
    QVERIFY(writeRaw(path, content));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^ls::PFile::setValue ERROR: ")));
    QVERIFY(!ls::PFile().write(path, key, value));
    QCOMPARE(readAll(path), content);
}

void TestPlatform::pfileKeepsCommentsAndLayout()
{
    const QString path = m_root->filePath(QStringLiteral("etc/lighttpd.conf"));
    const QByteArray before = "# lighttpd configuration of the embosser\n"
                              "\n"
                              "server.document-root = \"/www\"\n"
                              "ssl.engine  =   \"disable\"   # HTTPS\n"
                              "server.use-ipv6 = \"enable\"\r\n"
                              "$SERVER[\"socket\"] == \":443\" {\n"
                              "    ssl.pemfile = \"/default/server.pem\"\n"
                              "}\n";
    QVERIFY(writeRaw(path, before));
    ls::PFile pfile;
    QVERIFY(pfile.write(path, QStringLiteral("ssl.engine"), QStringLiteral("\"enable\"")));
    QVERIFY(pfile.write(path, QStringLiteral("server.use-ipv6"), QStringLiteral("\"disable\"")));
    QVERIFY(pfile.write(path, QStringLiteral("ssl.pemfile"), QStringLiteral("\"/mine/server.pem\"")));
    const QByteArray expected = "# lighttpd configuration of the embosser\n"
                                "\n"
                                "server.document-root = \"/www\"\n"
                                "ssl.engine  =   \"enable\"   # HTTPS\n"
                                "server.use-ipv6 = \"disable\"\r\n"
                                "$SERVER[\"socket\"] == \":443\" {\n"
                                "    ssl.pemfile = \"/mine/server.pem\"\n"
                                "}\n";
    QCOMPARE(readAll(path), expected);

    // An empty value before a comment gets a blank, so the comment stays a comment.
    QVERIFY(writeRaw(path, "A= # note\n"));
    QVERIFY(pfile.write(path, QStringLiteral("A"), QStringLiteral("1")));
    QCOMPARE(readAll(path), QByteArray("A= 1 # note\n"));

    // Only the last of repeated assignments, the one that counts, changes.
    QVERIFY(writeRaw(path, "A=1\nA=2\n"));
    QVERIFY(pfile.write(path, QStringLiteral("A"), QStringLiteral("3")));
    QCOMPARE(readAll(path), QByteArray("A=1\nA=3\n"));
}

void TestPlatform::pfileAppendsAndCreates()
{
    const QString path = m_root->filePath(QStringLiteral("etc/slave.conf"));
    ls::PFile pfile;
    QVERIFY(pfile.write(path, QStringLiteral("SLAVE_DEV"), QStringLiteral("\"/dev/ttyS1\"")));
    QCOMPARE(readAll(path), QByteArray("SLAVE_DEV=\"/dev/ttyS1\"\n"));

    QVERIFY(writeRaw(path, "# no final newline\nA=1"));
    QVERIFY(pfile.write(path, QStringLiteral("B"), 2));
    QCOMPARE(readAll(path), QByteArray("# no final newline\nA=1\nB=2\n"));

    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("has no nested key")));
    QVERIFY(!pfile.writeKeyPath(path, QStringLiteral("A/b"), 1));
}

void TestPlatform::pfileWriteFromMap()
{
    const QString path = m_root->filePath(QStringLiteral("var/lib/embosser/network"));
    QVERIFY(writeRaw(path, "# network\nIP=1.2.3.4\nMASK=255.0.0.0 # old\nGONE=1\n"));
    QVERIFY(ls::PFile().writeFromMap(QString(), path,
        { { QStringLiteral("MASK"), QStringLiteral("255.255.0.0") }, { QStringLiteral("IP"), QStringLiteral("10.0.0.2") },
            { QStringLiteral("NEW"), QStringLiteral("x") } }));
    QCOMPARE(readAll(path), QByteArray("# network\nIP=10.0.0.2\nMASK=255.255.0.0 # old\nNEW=x\n"));
}

// --- ls: timer, console -------------------------------------------------------------------------

void TestPlatform::timerSpans()
{
    ls::Timer::start(QStringLiteral("Main"));
    QVERIFY(ls::Timer::finish(QStringLiteral("Main")) >= 0);
    // A span ends once.
    QCOMPARE(ls::Timer::finish(QStringLiteral("Main")), qint64(-1));
    QCOMPARE(ls::Timer::finish(QStringLiteral("never started")), qint64(-1));
}

void TestPlatform::consoleReaderOnPipe()
{
    int fds[2];
    QCOMPARE(pipe(fds), 0);
    ls::ConsoleReader reader(nullptr, fds[0]);
    QVERIFY(reader.isActive());
    QSignalSpy lines(&reader, &ls::ConsoleReader::textReceived);
    QSignalSpy finished(&reader, &ls::ConsoleReader::finished);

    const QByteArray first = "C 0 1 3\nHELP c\r\nADD \"a b";
    QCOMPARE(write(fds[1], first.constData(), size_t(first.size())), ssize_t(first.size()));
    QTRY_COMPARE(lines.count(), 2);
    const QByteArray second = "\"\n\nlast without newline";
    QCOMPARE(write(fds[1], second.constData(), size_t(second.size())), ssize_t(second.size()));
    QTRY_COMPARE(lines.count(), 4);
    close(fds[1]);
    QVERIFY(finished.wait(10000) || finished.count() == 1);

    QStringList texts;
    for (const QList<QVariant>& arguments : qAsConst(lines)) {
        texts << arguments.first().toString();
    }
    QCOMPARE(texts,
        (QStringList { QStringLiteral("C 0 1 3"), QStringLiteral("HELP c"), QStringLiteral("ADD \"a b\""), QString(),
            QStringLiteral("last without newline") }));
    QVERIFY(!reader.isActive());
    close(fds[0]);
}

void TestPlatform::consoleReaderStopsAtEndOfInput_data()
{
    QTest::addColumn<QString>("input");
    QTest::newRow("dev null") << "null";
    QTest::newRow("closed descriptor") << "closed";
    QTest::newRow("regular file") << "file";
}

void TestPlatform::consoleReaderStopsAtEndOfInput()
{
    QFETCH(QString, input);
    int fd = -1;
    if (input == QLatin1String("null")) {
        fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    } else if (input == QLatin1String("file")) {
        const QString path = m_root->filePath(QStringLiteral("input"));
        QVERIFY(writeRaw(path, "one\ntwo\n"));
        fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    } else {
        fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
        close(fd);
    }
    QVERIFY(fd >= 0);
    ls::ConsoleReader reader(nullptr, fd);
    QSignalSpy lines(&reader, &ls::ConsoleReader::textReceived);
    if (input == QLatin1String("closed")) {
        QVERIFY(!reader.isActive());
        return;
    }
    QSignalSpy finished(&reader, &ls::ConsoleReader::finished);
    QVERIFY(finished.wait(10000) || finished.count() == 1);
    // Stopped for good: no notifier left that would report the end of input again and again.
    QVERIFY(!reader.isActive());
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(lines.count(), input == QLatin1String("file") ? 2 : 0);
    close(fd);
}

// --- libcorvane: D-Bus unpacking ----------------------------------------------------------------

QVariantMap TestPlatform::deliverOverPeerConnection(const QVariantMap& map)
{
    // A peer-to-peer connection in this process gives real demarshalled arguments without a bus.
    QDBusServer server(QStringLiteral("unix:tmpdir=") + QDir::tempPath());
    if (!server.isConnected()) {
        qWarning() << "no D-Bus server:" << server.lastError().message();
        return {};
    }
    Receiver receiver;
    QObject::connect(&server, &QDBusServer::newConnection, &receiver, [&receiver](const QDBusConnection& connection) {
        QDBusConnection(connection).registerObject(QStringLiteral("/"), &receiver, QDBusConnection::ExportAllSlots);
    });
    const QString name = QStringLiteral("unpack-client");
    QVariantMap received;
    {
        QDBusConnection client = QDBusConnection::connectToPeer(server.address(), name);
        if (client.isConnected()) {
            QDBusMessage call = QDBusMessage::createMethodCall(
                QString(), QStringLiteral("/"), QStringLiteral("local.Receiver"), QStringLiteral("deliver"));
            call << map;
            client.asyncCall(call);
            QDeadlineTimer deadline(10000);
            while (!receiver.hasReceived && !deadline.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
            }
            received = receiver.received;
        }
    }
    QDBusConnection::disconnectFromPeer(name);
    return received;
}

void TestPlatform::unpackWireValues()
{
    const QVariantMap inner { { QStringLiteral("level"), 2 }, { QStringLiteral("name"), QStringLiteral("inner") } };
    const QVariantMap sent {
        { QStringLiteral("commandId"), QStringLiteral("Layout") },
        { QStringLiteral("number"), 3 },
        { QStringLiteral("map a{sv}"),
            QVariantMap { { QStringLiteral("inner"), inner }, { QStringLiteral("flag"), true } } },
        { QStringLiteral("map a{ss}"),
            QVariant::fromValue(StringMap { { QStringLiteral("k"), QStringLiteral("v") } }) },
        { QStringLiteral("list av"), QVariantList { 1, QStringLiteral("two"), inner } },
        { QStringLiteral("list as"), QStringList { QStringLiteral("a"), QStringLiteral("b") } },
        { QStringLiteral("list ai"), QVariant::fromValue(QList<int> { 4, 5, 6 }) },
        { QStringLiteral("list aa{sv}"), QVariant::fromValue(QList<QVariantMap> { inner, inner }) },
        { QStringLiteral("struct"), QVariant::fromValue(NamedNumber { QStringLiteral("seven"), 7 }) },
        { QStringLiteral("variant in variant"), QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(9)))) },
        { QStringLiteral("path"), QVariant::fromValue(QDBusObjectPath(QStringLiteral("/a/b"))) },
    };
    const QVariantMap received = deliverOverPeerConnection(sent);
    QVERIFY(!received.isEmpty());
    QCOMPARE(received.value(QStringLiteral("map a{sv}")).userType(), qMetaTypeId<QDBusArgument>());

    bool complete = false;
    const QVariantMap plain = libcorvane::dbusArgumentUnpack(received, &complete);
    QVERIFY(complete);
    const QVariantMap expected {
        { QStringLiteral("commandId"), QStringLiteral("Layout") },
        { QStringLiteral("number"), 3 },
        { QStringLiteral("map a{sv}"),
            QVariantMap { { QStringLiteral("inner"), inner }, { QStringLiteral("flag"), true } } },
        { QStringLiteral("map a{ss}"), QVariantMap { { QStringLiteral("k"), QStringLiteral("v") } } },
        { QStringLiteral("list av"), QVariantList { 1, QStringLiteral("two"), inner } },
        { QStringLiteral("list as"), QStringList { QStringLiteral("a"), QStringLiteral("b") } },
        { QStringLiteral("list ai"), QVariantList { 4, 5, 6 } },
        { QStringLiteral("list aa{sv}"), QVariantList { inner, inner } },
        { QStringLiteral("struct"), QVariantList { QStringLiteral("seven"), 7 } },
        { QStringLiteral("variant in variant"), 9 },
        { QStringLiteral("path"), QStringLiteral("/a/b") },
    };
    QCOMPARE(plain, expected);
    // Plain containers all the way down, nothing left for QtDBus to interpret.
    QCOMPARE(plain.value(QStringLiteral("map a{sv}")).userType(), int(QMetaType::QVariantMap));
    QCOMPARE(plain.value(QStringLiteral("map a{sv}")).toMap().value(QStringLiteral("inner")).userType(),
        int(QMetaType::QVariantMap));
    QCOMPARE(plain.value(QStringLiteral("list as")).userType(), int(QMetaType::QStringList));
    QCOMPARE(plain.value(QStringLiteral("list aa{sv}")).toList().at(1).userType(), int(QMetaType::QVariantMap));
}

void TestPlatform::unpackIsRepeatable()
{
    const QVariantMap sent { { QStringLiteral("map"), QVariantMap { { QStringLiteral("a"), 1 } } },
        { QStringLiteral("list"), QVariantList { 1, 2 } } };
    const QVariantMap received = deliverOverPeerConnection(sent);
    QVERIFY(!received.isEmpty());
    const QVariantMap first = libcorvane::dbusArgumentUnpack(received);
    const QVariantMap second = libcorvane::dbusArgumentUnpack(received);
    QCOMPARE(first, sent);
    QCOMPARE(second, first);
}

void TestPlatform::unpackWireDepth()
{
    // Twenty levels of a{sv} (forty containers and variants) is well inside the cap.
    const int levels = 20;
    const QVariantMap received = deliverOverPeerConnection(nestedMaps(levels, QStringLiteral("bottom")));
    QVERIFY(!received.isEmpty());
    bool complete = false;
    const QVariantMap plain = libcorvane::dbusArgumentUnpack(received, &complete);
    QVERIFY(complete);
    const QVariant bottom = descend(plain, levels);
    QCOMPARE(bottom.toMap().value(QStringLiteral("leaf")).toString(), QStringLiteral("bottom"));
}

void TestPlatform::unpackCapsLocalDepth_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("complete");
    QTest::newRow("variants at the cap") << "variants" << libcorvane::dbusArgumentMaxDepth - 1 << true;
    QTest::newRow("variants past the cap") << "variants" << libcorvane::dbusArgumentMaxDepth << false;
    QTest::newRow("5000 variants") << "variants" << 5000 << false;
    QTest::newRow("maps at the cap") << "maps" << libcorvane::dbusArgumentMaxDepth - 1 << true;
    QTest::newRow("5000 maps") << "maps" << 5000 << false;
}

void TestPlatform::unpackCapsLocalDepth()
{
    QFETCH(QString, shape);
    QFETCH(int, depth);
    QFETCH(bool, complete);
    QVariantMap input;
    if (shape == QLatin1String("variants")) {
        input.insert(QStringLiteral("v"), nestedVariants(depth, 1));
    } else {
        input = nestedMaps(depth, 1);
    }
    if (!complete) {
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("nesting deeper than 64 levels")));
    }
    bool reported = !complete;
    const QVariantMap plain = libcorvane::dbusArgumentUnpack(input, &reported);
    QCOMPARE(reported, complete);
    if (complete && shape == QLatin1String("variants")) {
        QCOMPARE(plain.value(QStringLiteral("v")), QVariant(1));
    }
    if (shape == QLatin1String("maps")) {
        // The levels inside the cap are kept.
        QCOMPARE(descend(plain, 10).toMap().keys(), QStringList { QStringLiteral("next") });
    }
}

// --- ls: peer services --------------------------------------------------------------------------

void TestPlatform::busNameRule_data()
{
    QTest::addColumn<QString>("serviceId");
    QTest::addColumn<QString>("busName");
    QTest::newRow("error handler") << QString(ls::ServiceId::ErrorHandler) << "com.corvanebraille.ErrorHandler";
    QTest::newRow("state handler") << QString(ls::ServiceId::StateHandler) << "com.corvanebraille.StateHandler";
    QTest::newRow("this service") << QString(ls::ServiceId::ConfigManager)
                                  << "com.corvanebraille.ConfigurationManager";
}

void TestPlatform::busNameRule()
{
    QFETCH(QString, serviceId);
    QFETCH(QString, busName);
    QCOMPARE(ls::DBusService::busNameFor(serviceId), busName);
}

void TestPlatform::storeRegistersOncePerId()
{
    ls::DBusServiceStore& store = ls::DBusServiceStore::instance();
    QCOMPARE(&store, &ls::DBusServiceStore::instance());
    QCOMPARE(store.getService(ls::ServiceId::WebServer), nullptr);
    if (!m_busRunning) {
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("no system bus")));
    }
    ls::DBusService* service = store.registerService(ls::ServiceId::WebServer);
    QVERIFY(service);
    QCOMPARE(store.registerService(ls::ServiceId::WebServer), service);
    QCOMPARE(store.getService(ls::ServiceId::WebServer), service);
    QCOMPARE(service->busName(), QStringLiteral("com.corvanebraille.WebServer"));

    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("unknown service id NoSuchService")));
    QCOMPARE(store.registerService(QStringLiteral("NoSuchService")), nullptr);
    QCOMPARE(store.getService(QStringLiteral("NoSuchService")), nullptr);
}

void TestPlatform::serviceProcessEchoes()
{
    REQUIRE_BUS();
    ls::DBusService* service = ls::DBusServiceStore::instance().registerService(ls::ServiceId::ErrorHandler);
    QVERIFY(service);
    const QVariantMap request { { ls::commandIdKey, QStringLiteral("HandleError") },
        { ls::senderIdKey, ls::ServiceId::ConfigManager },
        { QStringLiteral("details"),
            QVariantMap { { QStringLiteral("codes"), QVariantList { 1, 2 } },
                { QStringLiteral("names"), QStringList { QStringLiteral("x") } } } } };
    const QVariantMap result = service->process(request);
    QCOMPARE(result.value(ls::resultIdKey).toString(), QString(ls::ResultId::Success));
    QCOMPARE(result.value(ls::errorIdKey).toString(), QStringLiteral("Undefined"));
    // The answer arrives unpacked: nested values are plain maps and lists.
    QCOMPARE(result.value(QStringLiteral("echo")).userType(), int(QMetaType::QVariantMap));
    QCOMPARE(result.value(QStringLiteral("echo")).toMap(), request);
}

void TestPlatform::serviceProcessFromAnotherThread()
{
    // The error handler's client lives in its own thread while the escape handler calls it
    // from the main thread; here the roles are swapped but the crossing is the same.
    REQUIRE_BUS();
    ls::DBusService* service = ls::DBusServiceStore::instance().registerService(ls::ServiceId::ErrorHandler);
    QVariantMap result;
    std::unique_ptr<QThread> thread(QThread::create([&]() {
        result = service->process({ { ls::commandIdKey, QStringLiteral("HandleError") } });
    }));
    thread->start();
    QVERIFY(thread->wait(30000));
    QCOMPARE(result.value(ls::resultIdKey).toString(), QString(ls::ResultId::Success));
}

void TestPlatform::serviceUnreachable()
{
    REQUIRE_BUS();
    ls::DBusService service(ls::ServiceId::StateHandler);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^ls::DBusService::process FAILED! calling")));
    const QVariantMap result = service.process({ { ls::commandIdKey, QStringLiteral("GetState") } });
    QCOMPARE(result,
        (QVariantMap { { ls::resultIdKey, QString(ls::ResultId::Failure) },
            { ls::errorIdKey, QString(ls::ErrorId::ServiceUnavailable) } }));
}

void TestPlatform::serviceTimesOut()
{
    REQUIRE_BUS();
    ls::DBusService service(ls::ServiceId::ErrorHandler);
    service.setTimeout(300);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("FAILED! calling .*NoReply")));
    QElapsedTimer clock;
    clock.start();
    const QVariantMap result = service.process({ { QStringLiteral("silent"), true } });
    QCOMPARE(result.value(ls::errorIdKey).toString(), QString(ls::ErrorId::ServiceUnavailable));
    QVERIFY2(clock.elapsed() < 20000, "the call waited far longer than its timeout");
}

void TestPlatform::serviceRefusesUnmarshallableRequest_data()
{
    QTest::addColumn<QVariantMap>("request");
    QTest::newRow("unknown type") << QVariantMap { { QStringLiteral("opaque"), QVariant::fromValue(Opaque()) } };
    QTest::newRow("invalid variant") << QVariantMap { { QStringLiteral("nothing"), QVariant() } };
    QTest::newRow("invalid variant in a list")
        << QVariantMap { { QStringLiteral("list"), QVariantList { 1, QVariant() } } };
    QTest::newRow("too deep") << nestedMaps(libcorvane::dbusArgumentMaxDepth + 1, 1);
}

void TestPlatform::serviceRefusesUnmarshallableRequest()
{
    // libdbus aborts the whole process on a value it cannot marshal; such a request must not
    // get that far.
    QFETCH(QVariantMap, request);
    QVERIFY(!ls::DBusService::isMarshallable(request));
    if (!m_busRunning) {
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("no system bus")));
    }
    ls::DBusService service(ls::ServiceId::ErrorHandler);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("holds a value D-Bus cannot carry")));
    const QVariantMap result = service.process(request);
    QCOMPARE(result,
        (QVariantMap { { ls::resultIdKey, QString(ls::ResultId::Failure) },
            { ls::errorIdKey, QString(ls::ErrorId::InvalidValue) } }));
    QVERIFY(ls::DBusService::isMarshallable(nestedMaps(20, QStringList { QStringLiteral("x") })));
}

void TestPlatform::serviceNotification()
{
    REQUIRE_BUS();
    ls::DBusService* service = ls::DBusServiceStore::instance().registerService(ls::ServiceId::ErrorHandler);
    QSignalSpy spy(service, &ls::DBusService::notification);
    // One round trip first, so the subscription is in place before the peer speaks.
    QCOMPARE(service->process({}).value(ls::resultIdKey).toString(), QString(ls::ResultId::Success));

    const QVariantMap notification { { ls::notificationIdKey, QStringLiteral("ErrorChange") },
        { ls::senderIdKey, ls::ServiceId::ConfigManager },
        { QStringLiteral("nested"), QVariantMap { { QStringLiteral("list"), QVariantList { 1, QStringLiteral("a") } } } } };
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/"), QStringLiteral("com.corvanebraille.ErrorHandler"), QStringLiteral("notification"));
    signal << notification;
    QVERIFY(QDBusConnection(QStringLiteral("echo-peer")).send(signal));
    QVERIFY(spy.wait(10000));
    QCOMPARE(spy.count(), 1);
    const QVariantMap received = spy.first().first().toMap();
    QCOMPARE(received, notification);
    QCOMPARE(received.value(QStringLiteral("nested")).userType(), int(QMetaType::QVariantMap));
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
