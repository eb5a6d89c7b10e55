// The platform layer: file-system root, settings, service watcher, singleton and log prefix of
// libcorvane; ids, atomic writes, JSON and property files and the console reader of ls; the
// unpacking of D-Bus arguments; peer services against an echo peer on a private bus.
#include "CommandLineClient.h"
#include "DataRow.h"
#include "EchoPeer.h"
#include "EnvironmentOverride.h"
#include "LogCapture.h"
#include "PrivateBus.h"

#include "libcorvane/AtomicFile.h"
#include "libcorvane/DBusArgumentUnpack.h"
#include "libcorvane/FileSystemRoot.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/ServiceWatcher.h"
#include "libcorvane/Settings.h"
#include "libcorvane/Singleton.h"
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

#include <QtDBus>
#include <QtTest>

#include <csignal>
#include <limits>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace shapes {

// Functions of several signature shapes, each giving the log prefix of its own Q_FUNC_INFO.
struct Shapes {
    Shapes()
        : prefix(libcorvane::logPrefix(Q_FUNC_INFO, "ERROR:"))
    {
    }
    QString prefix;
    QMap<QString, QList<int>> templated() { return { { libcorvane::logPrefix(Q_FUNC_INFO), {} } }; }
    static const QString* pointer()
    {
        static QString text;
        return &(text = libcorvane::logPrefix(Q_FUNC_INFO));
    }
    QString withLambda()
    {
        return [] { return libcorvane::logPrefix(Q_FUNC_INFO); }();
    }
};

template <typename T> struct Box {
    std::pair<T, QString> get() const { return { T(), libcorvane::logPrefix(Q_FUNC_INFO) }; }
};

} // namespace shapes

namespace {

class ThreadBound : public QObject { };

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeRaw(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// A map as compact JSON, keys sorted: short to write down and exact about types.
QByteArray json(const QVariantMap& map)
{
    return QJsonDocument::fromVariant(map).toJson(QJsonDocument::Compact);
}

struct stat statOf(const QString& path)
{
    struct stat status { };
    stat(QFile::encodeName(path).constData(), &status);
    return status;
}

// Keeps the map of a `deliver(a{sv})` call as QtDBus demarshalled it (nested: QDBusArgument).
class Receiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "local.Receiver")
public:
    QVariantMap received;

public slots:
    void deliver(const QVariantMap& map) { received = map; }
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
    QVariantMap map { { "leaf", leaf } };
    for (int i = 0; i < depth; ++i) {
        map = QVariantMap { { "next", map } };
    }
    return map;
}

QVariantMap failure(const QString& errorId)
{
    return { { ls::resultIdKey, QString(ls::ResultId::Failure) }, { ls::errorIdKey, errorId } };
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Nothing here may reach the machine's system bus: without a private one it points nowhere.
        m_busOverride = std::make_unique<EnvironmentOverride>("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/bus");
        m_bus = std::make_unique<PrivateBus>();
        m_busRunning = m_bus->isValid();
        if (!m_busRunning) {
            return;
        }
        QDBusConnection peer = QDBusConnection::connectToBus(m_bus->address(), "echo-peer");
        QVERIFY(peer.isConnected());
        m_peerThread.start();
        m_peer = new EchoPeer();
        m_peer->moveToThread(&m_peerThread);
        QVERIFY(peer.registerObject("/", m_peer, QDBusConnection::ExportAllSlots));
        QVERIFY(peer.registerService("com.corvanebraille.ErrorHandler"));
    }

    void init()
    {
        if (QByteArray(QTest::currentTestFunction()).startsWith("bus")) {
            QVERIFY2(m_busRunning, "no private bus: dbus-daemon is missing or failed; scripts/test installs it");
        }
        m_rootOverride.reset();
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_rootOverride = std::make_unique<EnvironmentOverride>("CONFIGURATION_MANAGER_ROOT", m_root->path().toUtf8());
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus("echo-peer");
        m_peerThread.quit();
        m_peerThread.wait();
        delete m_peer;
    }

    // --- libcorvane helpers, ids ----------------------------------------------------------------

    void fileSystemRootJoin()
    {
        using libcorvane::FileSystemRoot;
        QCOMPARE(FileSystemRoot::join("/etc/x"), m_root->path() + "/etc/x");
        {
            const EnvironmentOverride trailingSlash("CONFIGURATION_MANAGER_ROOT", "/tmp/r/");
            QCOMPARE(FileSystemRoot::join("/etc/x"), QString("/tmp/r/etc/x"));
        }
        const EnvironmentOverride unset("CONFIGURATION_MANAGER_ROOT", QByteArray());
        QCOMPARE(FileSystemRoot::join("/etc/x"), QString("/etc/x"));
    }

    void settingsStayUnderRoot()
    {
        libcorvane::Settings::init();
        // The store of the direct-print settings: native format, system scope.
        QSettings system(QSettings::NativeFormat, QSettings::SystemScope, "ovdSettings");
        system.setValue("ovdSettings/tabSize", 4);
        system.sync();
        QVERIFY(QFile::exists(m_root->filePath("etc/xdg/ovdSettings.conf")));
        const QSettings user("Corvane Braille AB", "configuration-manager");
        QVERIFY2(user.fileName().startsWith(m_root->path() + '/'), qPrintable(user.fileName()));
    }

    void serviceWatcher()
    {
        for (const QString name : { "", "..", "../../etc/passwd" }) {
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^ServiceWatcher::setReady ERROR:"));
            QVERIFY2(!ServiceWatcher::setReady(name, true), qPrintable(name));
        }
        QVERIFY(QDir(m_root->path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        const QString file = m_root->filePath("var/run/service-watcher/configuration-manager");
        QVERIFY(ServiceWatcher::setReady("configuration-manager", false));
        QCOMPARE(readAll(file), QByteArray("0"));
        QVERIFY(ServiceWatcher::setReady("configuration-manager", true));
        QCOMPARE(readAll(file), QByteArray("1"));
    }

    void singletonMadeOnceInFirstThread()
    {
        ThreadBound* made = nullptr;
        std::unique_ptr<QThread> thread(
            QThread::create([&made]() { made = &libcorvane::Singleton<ThreadBound>::instance(); }));
        thread->start();
        QVERIFY(thread->wait(10000));
        QCOMPARE(&libcorvane::Singleton<ThreadBound>::instance(), made);
        QCOMPARE(made->thread(), thread.get());
    }

    void logPrefix()
    {
        // The name between the last blank before it and the opening parenthesis, then the tag.
        shapes::Shapes object;
        QCOMPARE(object.prefix, QString("shapes::Shapes::Shapes ERROR:"));
        QCOMPARE(object.templated().firstKey(), QString("shapes::Shapes::templated"));
        QCOMPARE(*shapes::Shapes::pointer(), QString("shapes::Shapes::pointer"));
        QCOMPARE(object.withLambda(), QString("shapes::Shapes::withLambda"));
        QCOMPARE((shapes::Box<QMap<QString, int>>().get().second), QString("shapes::Box<T>::get"));
    }

    void metaEnumLookups()
    {
        const ls::MetaEnum& meta = ls::ResultId::meta;
        QCOMPARE(meta.keyToValue("Failure"), 1);
        QCOMPARE(meta.keyToValue("failure"), std::numeric_limits<int>::min());
        QCOMPARE(meta.valueToKey(-1), QString());
        QCOMPARE(meta.valueToKey(meta.keyCount()), QString());
        // A text registered twice keeps its first integer and no second entry.
        ls::MetaEnum family("Test");
        QCOMPARE(family.add("A"), 0);
        QCOMPARE(family.add("B"), 1);
        QCOMPARE(family.add("A"), 0);
        QCOMPARE(family.keys(), (QStringList { "A", "B" }));
    }

    // --- ls: atomic writes, JSON files ----------------------------------------------------------

    void atomicWriteKeepsMode()
    {
        // A new file gets the ordinary mode, not the private one of a temporary file; a replaced
        // file keeps its own.
        const QString path = m_root->filePath("a/b/file");
        const mode_t previousMask = umask(022);
        const bool written = libcorvane::AtomicFile::write(path, "first");
        umask(previousMask);
        QVERIFY(written);
        QCOMPARE(statOf(path).st_mode & 0777, mode_t(0644));
        QCOMPARE(chmod(QFile::encodeName(path).constData(), 0640), 0);
        QVERIFY(libcorvane::AtomicFile::write(path, "second"));
        QCOMPARE(readAll(path), QByteArray("second"));
        QCOMPARE(statOf(path).st_mode & 0777, mode_t(0640));
    }

    void failedWriteLeavesOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("disk full half-way") << "limit";
        QTest::newRow("empty content") << "empty";
        QTest::newRow("parent is a file") << "parentFile";
    }

    void failedWriteLeavesOldFile()
    {
        QFETCH(QString, how);
        const QString directory = m_root->filePath("state");
        const QString path = directory + "/layout.1";
        const QByteArray old = "{\n    \"Line per page\": 25\n}\n";
        QVERIFY(writeRaw(path, old));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^libcorvane::AtomicFile::write ERROR: "));
        bool written = true;
        if (how == "limit") {
            // A file size limit fails the write half-way as a full disk does, even for root.
            rlimit previous {};
            getrlimit(RLIMIT_FSIZE, &previous);
            const rlimit limit { 4096, previous.rlim_max };
            const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
            setrlimit(RLIMIT_FSIZE, &limit);
            written = libcorvane::AtomicFile::write(path, QByteArray(65536, 'x'));
            setrlimit(RLIMIT_FSIZE, &previous);
            std::signal(SIGXFSZ, previousHandler);
        } else {
            written = how == "empty" ? libcorvane::AtomicFile::write(path, QByteArray())
                                     : libcorvane::AtomicFile::write(path + "/inside", "x");
        }
        QVERIFY(!written);
        QCOMPARE(readAll(path), old);
        // No temporary file is left behind.
        QCOMPARE(QDir(directory).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList { "layout.1" });
    }

    // What a write cut off by a power cut leaves beside its target is removed; nothing else is.
    void leftoversOfInterruptedWritesAreRemoved()
    {
        const QString directory = m_root->filePath("leftovers");
        QStringList kept { ".hidden", "layout.1", "notes.Ab12Cd", "speech", "speech.Ab12C", "speech.good",
            "userpaper.12" };
        for (const QString& name : kept + QStringList { "layout.1.x9Y8z7", "speech.AbC123", ".hidden.QwErTy" }) {
            QVERIFY(writeRaw(directory + '/' + name, "x"));
        }
        LogCapture log;
        QCOMPARE(libcorvane::AtomicFile::removeLeftovers(directory), 3);
        QCOMPARE(QDir(directory).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
        QVERIFY(log.contains("left by an interrupted write"));
    }

    void jfileReadFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        row("missing", QByteArray(), "^ls::JFile::readToMap ERROR: reading .* failed");
        row("truncated", QByteArray("{\"a\": "), "^ls::JFile::readToMap ERROR: parsing .* at offset 6");
        row("array", QByteArray("[1, 2]"), "does not hold a JSON object$");
    }

    void jfileReadFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = m_root->filePath("data.json");
        QVERIFY(content.isEmpty() || writeRaw(path, content));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(message));
        QVariantMap out { { "kept", 1 } };
        QVERIFY(!ls::JFile().readToMap(path, out));
        QCOMPARE(out, (QVariantMap { { "kept", 1 } }));
    }

    void jfileReadsWholeNumbersAsInt()
    {
        // Values go out over D-Bus as read: a whole number must be an "i", not an "x", at any depth.
        const QString path = m_root->filePath("numbers.json");
        QVERIFY(writeRaw(path, "{\"a\": 5, \"big\": 5000000000, \"real\": 0.5, \"list\": [1, {\"b\": -2}]}"));
        QVariantMap out;
        QVERIFY(ls::JFile().readToMap(path, out));
        const QVariantList list = out.value("list").toList();
        QCOMPARE(QList<int>({ out.value("a").userType(), out.value("big").userType(), out.value("real").userType(),
                     list.at(0).userType(), list.at(1).toMap().value("b").userType() }),
            QList<int>({ QMetaType::Int, QMetaType::LongLong, QMetaType::Double, QMetaType::Int, QMetaType::Int }));
        QCOMPARE(list.at(1).toMap().value("b"), QVariant(-2));
    }

    void jfileKeyedWriteReplacesByRename()
    {
        // A keyed write creates a missing file and adds to or replaces in an existing one. A
        // reader that opened the old file keeps seeing all of it: the file is replaced by a
        // rename, never truncated in place, so an interruption before the rename leaves it.
        const QString path = m_root->filePath("var/lib/embosser/speech");
        const ls::JFile jfile;
        QVERIFY(jfile.write(path, "Volume", 5));
        QVERIFY(jfile.write(path, "Voice", "⠃ÅÄÖ"));
        const QByteArray oldContent = readAll(path);
        const ino_t oldInode = statOf(path).st_ino;
        QFile oldHandle(path);
        QVERIFY(oldHandle.open(QIODevice::ReadOnly));

        QVERIFY(jfile.write(path, "Volume", 7));

        QCOMPARE(oldHandle.readAll(), oldContent);
        QVERIFY(statOf(path).st_ino != oldInode);
        QVariantMap content;
        QVERIFY(jfile.readToMap(path, content));
        QCOMPARE(json(content), QByteArray(R"({"Voice":"⠃ÅÄÖ","Volume":7})"));
    }

    void jfileKeyPathWrite()
    {
        const QString path = m_root->filePath("parameterList.json");
        QVERIFY(writeRaw(path, R"({"Line per page": {"index": 1, "stored": true}, "Lines/page": {}, "total": 2})"));
        ls::JFile jfile;
        QVERIFY(jfile.writeKeyPath(path, "Line per page/stored", false));
        QVERIFY(jfile.writeKeyPath(path, "Line per page/maxValue", 40));
        // Parameter names may hold a slash: the field is after the last one.
        QVERIFY(jfile.writeKeyPath(path, "Lines/page/stored", true));
        // Read as text, a value is its compact JSON.
        const auto text = [&](const char* key) {
            QString out = "<absent>";
            jfile.read(path, key, out);
            return out;
        };
        QCOMPARE(text("Line per page"), QString(R"({"index":1,"maxValue":40,"stored":false})"));
        QCOMPARE(text("Lines/page"), QString(R"({"stored":true})"));
        QCOMPARE(text("total"), QString("2"));
        QCOMPARE(text("absent"), QString("<absent>"));
    }

    void jfileWriteRefused_data()
    {
        // Each refused write leaves the file as it was.
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("keyPath");
        QTest::addColumn<QString>("message");
        const QByteArray catalog = R"({"Line per page": {"stored": true}, "total": 1})";
        // A file that cannot be parsed is not replaced by a one-key object: it stays for the repair.
        row("keyed write, corrupt file", QByteArray("{\"Pages\": 1200, \"Sheets\":"), QString(), "ERROR: parsing");
        row("no slash", catalog, "Line per page", "is not <parameter>/<field>");
        row("no field", catalog, "Line per page/", "is not <parameter>/<field>");
        row("unknown parameter", catalog, "Missing/stored", "does not contain Missing");
        row("not an object", catalog, "total/stored", "total in .* is not an object");
    }

    void jfileWriteRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, keyPath);
        QFETCH(QString, message);
        const QString path = m_root->filePath("parameterList.json");
        QVERIFY(writeRaw(path, content));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(message));
        const ls::JFile jfile;
        QVERIFY(keyPath.isNull() ? !jfile.write(path, "Pages", 1) : !jfile.writeKeyPath(path, keyPath, 1));
        QCOMPARE(readAll(path), content);
    }

    // --- ls: property files ---------------------------------------------------------------------

    void pfileRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");
        row("indented, blanks around =", QByteArray("  ssl.pemfile  =  \"/c/server.pem\"  \n"), "ssl.pemfile", true,
            "\"/c/server.pem\"");
        row("export", QByteArray("export SLAVE_DEV=/dev/ttyS2\n"), "SLAVE_DEV", true, "/dev/ttyS2");
        row("hash in single quotes", QByteArray("A='x # y'\n"), "A", true, "'x # y'");
        row("escaped quote", QByteArray("A=\"say \\\"hi\\\" # x\" # c\n"), "A", true, "\"say \\\"hi\\\" # x\"");
        row("hash inside word", QByteArray("A=x#y\n"), "A", true, "x#y");
        row("empty value, comment", QByteArray("A= # nothing\n"), "A", true, "");
        row("last assignment counts", QByteArray("A=1\nA=2\n"), "A", true, "2");
        row("commented out", QByteArray("#A=1\n"), "A", false, "");
        row("comparison", QByteArray("$HTTP[\"host\"] == \"x\" {\n"), "$HTTP[\"host\"]", false, "");
        row("append", QByteArray("server.modules += (\"mod_x\")\n"), "server.modules", false, "");
    }

    void pfileRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        const QString path = m_root->filePath("etc/slave.conf");
        QVERIFY(writeRaw(path, content));
        QString value;
        QTEST(ls::PFile().read(path, key, value), "found");
        QTEST(value, "expected");
    }

    void pfileReadToMap()
    {
        const QString path = m_root->filePath("var/lib/embosser/parameters.0");
        QVERIFY(writeRaw(path, "# converted\n\nHammer batch=3\nOdd low pulse time = 120\njunk line\nSpeed=2 # x\n"));
        QVariantMap map;
        QVERIFY(ls::PFile().readToMap(path, map));
        QCOMPARE(json(map), QByteArray(R"({"Hammer batch":"3","Odd low pulse time":"120","Speed":"2"})"));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^ls::PFile::load ERROR: reading"));
        QVERIFY(!ls::PFile().readToMap(m_root->filePath("absent"), map));
    }

    void pfileRefusesValuesThatDoNotReadBack()
    {
        const QString path = m_root->filePath("etc/slave.conf");
        QVERIFY(writeRaw(path, "A=0\n"));
        const QList<QPair<QString, QString>> refused { { "A", "1\nB=2" }, { "A", "1 # 2" }, { "A", " 1" },
            { "A=B", "1" }, { "#A", "1" }, { "", "1" }, { "A\nB", "1" } };
        for (const auto& [key, value] : refused) {
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^ls::PFile::setValue ERROR: "));
            QVERIFY2(!ls::PFile().write(path, key, value), qPrintable(key + '=' + value));
            QCOMPARE(readAll(path), QByteArray("A=0\n"));
        }
    }

    void pfileKeepsCommentsAndLayout()
    {
        const QString path = m_root->filePath("etc/lighttpd.conf");
        QVERIFY(writeRaw(path,
            "# lighttpd configuration of the embosser\n\n"
            "ssl.engine  =   \"disable\"   # HTTPS\n"
            "server.use-ipv6 = \"enable\"\r\n"
            "$SERVER[\"socket\"] == \":443\" {\n"
            "    ssl.pemfile = \"/default/server.pem\"\n"
            "}"));
        const ls::PFile pfile;
        QVERIFY(pfile.write(path, "ssl.engine", "\"enable\""));
        QVERIFY(pfile.write(path, "server.use-ipv6", "\"disable\""));
        QVERIFY(pfile.write(path, "ssl.pemfile", "\"/mine/⠃ #1.pem\""));
        QVERIFY(pfile.write(path, "server.port", 443));
        QCOMPARE(readAll(path),
            QByteArray("# lighttpd configuration of the embosser\n\n"
                       "ssl.engine  =   \"enable\"   # HTTPS\n"
                       "server.use-ipv6 = \"disable\"\r\n"
                       "$SERVER[\"socket\"] == \":443\" {\n"
                       "    ssl.pemfile = \"/mine/⠃ #1.pem\"\n"
                       "}\n"
                       "server.port=443\n"));
        // An empty value before a comment gets a blank, so the comment stays a comment.
        QVERIFY(writeRaw(path, "A= # note\n"));
        QVERIFY(pfile.write(path, "A", "1"));
        QCOMPARE(readAll(path), QByteArray("A= 1 # note\n"));
        // Only the last of repeated assignments, the one that counts, changes.
        QVERIFY(writeRaw(path, "A=1\nA=2\n"));
        QVERIFY(pfile.write(path, "A", "3"));
        QCOMPARE(readAll(path), QByteArray("A=1\nA=3\n"));
        // Assignments missing from a whole map go; the others change in place or are appended.
        QVERIFY(writeRaw(path, "# network\nIP=1.2.3.4\nMASK=255.0.0.0 # old\nGONE=1\n"));
        QVERIFY(
            pfile.writeFromMap(QString(), path, { { "MASK", "255.255.0.0" }, { "NEW", "x" }, { "IP", "10.0.0.2" } }));
        QCOMPARE(readAll(path), QByteArray("# network\nIP=10.0.0.2\nMASK=255.255.0.0 # old\nNEW=x\n"));
    }

    // --- ls: console reader ---------------------------------------------------------------------

    void consoleReaderOnPipe()
    {
        int fds[2];
        QCOMPARE(pipe(fds), 0);
        ls::ConsoleReader reader(nullptr, fds[0]);
        QVERIFY(reader.isActive());
        QSignalSpy lines(&reader, &ls::ConsoleReader::textReceived);
        QSignalSpy finished(&reader, &ls::ConsoleReader::finished);

        // A line split across two writes arrives whole; the last one needs no newline.
        const QByteArray first = "C 0 1 3\nHELP c\r\nADD \"a b";
        QCOMPARE(write(fds[1], first.constData(), size_t(first.size())), ssize_t(first.size()));
        QTRY_COMPARE(lines.count(), 2);
        const QByteArray second = "\"\n\nlast without newline";
        QCOMPARE(write(fds[1], second.constData(), size_t(second.size())), ssize_t(second.size()));
        close(fds[1]);
        QVERIFY(finished.wait(10000) || finished.count() == 1);
        const QList<QVariantList> expected { { "C 0 1 3" }, { "HELP c" }, { "ADD \"a b\"" }, { QString() },
            { "last without newline" } };
        QCOMPARE(static_cast<const QList<QVariantList>&>(lines), expected);
        // Stopped for good: no notifier left that would report the end of input again and again.
        QVERIFY(!reader.isActive());
        QCoreApplication::processEvents();
        QCOMPARE(finished.count(), 1);

        close(fds[0]);
        const ls::ConsoleReader closed(nullptr, fds[0]);
        QVERIFY(!closed.isActive());
    }

    // --- libcorvane: D-Bus unpacking ------------------------------------------------------------

    void unpackWireValues()
    {
        const QVariantMap inner { { "level", 2 }, { "name", "x" } };
        QVariantMap sent {
            { "map a{sv}", QVariantMap { { "inner", inner } } },
            { "list av", QVariantList { 1, "two", inner } },
            { "list as", QStringList { "a", "b" } },
            { "variant in variant", nestedVariants(2, 9) },
            { "path", QVariant::fromValue(QDBusObjectPath("/a/b")) },
            // Twenty a{sv} below this one, about as deep as libdbus carries, stay well inside the cap.
            { "deep", nestedMaps(19, "bottom") },
        };
        const QVariantMap received = deliverOverPeerConnection(sent);
        QCOMPARE(received.value("map a{sv}").userType(), qMetaTypeId<QDBusArgument>());

        bool complete = false;
        const QVariantMap plain = libcorvane::dbusArgumentUnpack(received, &complete);
        QVERIFY(complete);
        sent["variant in variant"] = 9;
        sent["path"] = "/a/b";
        // Plain containers all the way down (nothing in QtDBus's form would compare equal), and
        // string arrays as string lists.
        QCOMPARE(plain, sent);
        QCOMPARE(plain.value("list as").userType(), int(QMetaType::QStringList));
        // Unpacking leaves the received arguments unread, so it can be done again.
        QCOMPARE(libcorvane::dbusArgumentUnpack(received), plain);
    }

    void unpackCapsLocalDepth_data()
    {
        QTest::addColumn<bool>("maps");
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("complete");
        const int cap = libcorvane::dbusArgumentMaxDepth;
        row("variants at the cap", false, cap - 1, true);
        row("variants past the cap", false, cap, false);
        row("maps at the cap", true, cap - 1, true);
        row("5000 maps", true, 5000, false);
    }

    void unpackCapsLocalDepth()
    {
        QFETCH(bool, maps);
        QFETCH(int, depth);
        QFETCH(bool, complete);
        const QVariantMap input = maps ? nestedMaps(depth, 1) : QVariantMap { { "v", nestedVariants(depth, 1) } };
        if (!complete) {
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("nesting deeper than 64 levels"));
        }
        bool reported = !complete;
        const QVariantMap plain = libcorvane::dbusArgumentUnpack(input, &reported);
        QCOMPARE(reported, complete);
        if (complete) {
            QCOMPARE(plain, (maps ? input : QVariantMap { { "v", 1 } }));
        } else if (maps) {
            // The levels inside the cap are kept.
            QCOMPARE(plain.value("next").toMap().keys(), QStringList { "next" });
        }
    }

    // --- ls: peer services ----------------------------------------------------------------------

    void storeRegistersOncePerId()
    {
        ls::DBusServiceStore& store = ls::DBusServiceStore::instance();
        if (!m_busRunning) {
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("no system bus"));
        }
        ls::DBusService* service = store.registerService(ls::ServiceId::WebServer);
        QVERIFY(service);
        QCOMPARE(store.registerService(ls::ServiceId::WebServer), service);
        QCOMPARE(store.getService(ls::ServiceId::WebServer), service);
        QCOMPARE(service->busName(), QString("com.corvanebraille.WebServer"));
        QCOMPARE(ls::DBusService::busNameFor(ls::ServiceId::ConfigManager), CommandLineClient::service());
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("unknown service id NoSuchService"));
        QCOMPARE(store.registerService("NoSuchService"), nullptr);
    }

    void busProcessEchoes()
    {
        ls::DBusService* service = ls::DBusServiceStore::instance().registerService(ls::ServiceId::ErrorHandler);
        const QVariantMap request { { ls::commandIdKey, "HandleError" },
            { "details", QVariantMap { { "codes", QVariantList { 1, 2 } }, { "names", QStringList { "x" } } } } };
        const QVariantMap result = service->process(request);
        QCOMPARE(result.value(ls::resultIdKey).toString(), QString(ls::ResultId::Success));
        // The answer arrives unpacked: nested values are plain maps and lists.
        QCOMPARE(result.value("echo").toMap(), request);
    }

    void busUnreachableOrSilentPeer()
    {
        ls::DBusService unreachable(ls::ServiceId::StateHandler);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^ls::DBusService::process FAILED! calling"));
        QCOMPARE(unreachable.process({}), failure(ls::ErrorId::ServiceUnavailable));

        ls::DBusService silent(ls::ServiceId::ErrorHandler);
        silent.setTimeout(300);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("FAILED! calling .*NoReply"));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(silent.process({ { "silent", true } }), failure(ls::ErrorId::ServiceUnavailable));
        QVERIFY2(clock.elapsed() < 3000, "the call waited far longer than its timeout");
    }

    void serviceRefusesUnmarshallableRequest_data()
    {
        QTest::addColumn<QVariantMap>("request");
        QTest::newRow("type without signature")
            << QVariantMap { { "opaque", QVariant::fromValue(static_cast<QObject*>(nullptr)) } };
        QTest::newRow("invalid in a list") << QVariantMap { { "list", QVariantList { 1, QVariant() } } };
        QTest::newRow("too deep") << nestedMaps(libcorvane::dbusArgumentMaxDepth + 1, 1);
        // libdbus counts every array, dictionary entry and variant up to 64: 22 maps are 66 levels,
        // and a call that deep would wait on an answer that never comes.
        QTest::newRow("22 maps") << nestedMaps(21, 1);
        QVariant lists = 1;
        for (int i = 0; i < 31; ++i) {
            lists = QVariantList { lists };
        }
        QTest::newRow("31 lists in a map") << QVariantMap { { "v", lists } };
    }

    void serviceRefusesUnmarshallableRequest()
    {
        // libdbus aborts the whole process on a value it cannot marshal; such a request must not
        // get that far.
        QFETCH(QVariantMap, request);
        // The deepest that still goes: 21 maps and a string array at level 64.
        QVERIFY(ls::DBusService::isMarshallable(nestedMaps(20, QStringList { "x" })));
        if (!m_busRunning) {
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("no system bus"));
        }
        ls::DBusService service(ls::ServiceId::ErrorHandler);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("holds a value D-Bus cannot carry"));
        QCOMPARE(service.process(request), failure(ls::ErrorId::InvalidValue));
    }

    void busNotification()
    {
        ls::DBusService* service = ls::DBusServiceStore::instance().registerService(ls::ServiceId::ErrorHandler);
        QSignalSpy spy(service, &ls::DBusService::notification);
        // One round trip first, so the subscription is in place before the peer speaks.
        QCOMPARE(service->process({}).value(ls::resultIdKey).toString(), QString(ls::ResultId::Success));
        const QVariantMap notification { { ls::notificationIdKey, "ErrorChange" },
            { "nested", QVariantMap { { "list", QVariantList { 1, "a" } } } } };
        QDBusMessage signal = QDBusMessage::createSignal("/", "com.corvanebraille.ErrorHandler", "notification");
        signal << notification;
        QVERIFY(QDBusConnection("echo-peer").send(signal));
        QVERIFY(spy.wait(10000));
        // Unpacked: a nested value still in QtDBus's form would not compare equal.
        QCOMPARE(spy.first().first().toMap(), notification);
    }

private:
    QVariantMap deliverOverPeerConnection(const QVariantMap& map)
    {
        // A peer-to-peer connection in this process gives real demarshalled arguments without a bus.
        QDBusServer server("unix:tmpdir=" + QDir::tempPath());
        Receiver receiver;
        QObject::connect(&server, &QDBusServer::newConnection, &receiver, [&receiver](const QDBusConnection& c) {
            QDBusConnection(c).registerObject("/", &receiver, QDBusConnection::ExportAllSlots);
        });
        {
            QDBusConnection client = QDBusConnection::connectToPeer(server.address(), "unpack-client");
            QDBusMessage call = QDBusMessage::createMethodCall(QString(), "/", "local.Receiver", "deliver");
            call << map;
            client.asyncCall(call);
            QDeadlineTimer deadline(10000);
            while (receiver.received.isEmpty() && !deadline.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
            }
        }
        QDBusConnection::disconnectFromPeer("unpack-client");
        return receiver.received;
    }

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<EnvironmentOverride> m_rootOverride;
    std::unique_ptr<PrivateBus> m_bus;
    bool m_busRunning = false;
    std::unique_ptr<EnvironmentOverride> m_busOverride;
    QThread m_peerThread;
    EchoPeer* m_peer = nullptr;
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
