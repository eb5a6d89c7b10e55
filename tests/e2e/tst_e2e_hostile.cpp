// Hostile input through the whole D-Bus surface of the built daemon: shell metacharacters,
// traversal, control characters, very long, empty and non-ASCII strings in every string argument
// of every published method, with and without saving, and hostile, mistyped and nested request
// maps through process. Afterwards the service still answers, nothing outside its root changed,
// no shell ran a piece of the text, every tool got hostile text only as one whole argument,
// collections stay bounded, and the settings files and the live values hold only values that fit
// their definitions. Run as root, the test keeps the machine's directories read-only for itself
// and everything it starts (ReadOnlyHost).
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "ReadOnlyHost.h"
#include "SettingsFileCheck.h"
#include "SimCalls.h"
#include "TestRoot.h"
#include "ls/Ids.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDirIterator>
#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <limits>
#include <memory>

namespace {
const QString master = QStringLiteral("masterCollectionKey");
const QString service = QStringLiteral("com.corvanebraille.ConfigurationManager");
const QString notReady = service + QStringLiteral(".Error.NotReady");
const QString readyLine = QStringLiteral("configuration-manager ready");
const QString requester = ls::ServiceId::Panel;
const QString layoutCommand = ls::ConfigManagerCmdId::Layout;
const QString getActive = ls::LayoutCmdId::GetActive;
const QString writeLayout = ls::LayoutCmdId::WriteLayout;
// A request carries at most this much hostile text, so the 1 MiB entry goes one key at a time.
const int requestTextBudget = 256 * 1024;
const int longTextLength = 64 * 1024;

struct Method {
    QString name;
    QStringList types; // in-arguments only
    QStringList names;
    QString signature() const { return name + QLatin1Char('(') + types.join(QString()) + QLatin1Char(')'); }
};

QList<Method> publishedMethods()
{
    QFile published(TestRoot::sourceDir() + QStringLiteral("/dbus/com.corvanebraille.ConfigurationManager.xml"));
    QDomDocument document;
    if (!published.open(QIODevice::ReadOnly) || !document.setContent(&published)) {
        return {};
    }
    QList<Method> methods;
    const QDomNodeList elements = document.elementsByTagName(QStringLiteral("method"));
    for (int i = 0; i < elements.size(); ++i) {
        const QDomElement element = elements.at(i).toElement();
        Method method { element.attribute(QStringLiteral("name")), {}, {} };
        for (QDomElement arg = element.firstChildElement(QStringLiteral("arg")); !arg.isNull();
             arg = arg.nextSiblingElement(QStringLiteral("arg"))) {
            if (arg.attribute(QStringLiteral("direction")) == QLatin1String("in")) {
                method.types << arg.attribute(QStringLiteral("type"));
                method.names << arg.attribute(QStringLiteral("name"));
            }
        }
        methods << method;
    }
    return methods;
}

// Every request key the framework defines, read from its one header, so a key added there is
// probed without a change here.
QStringList requestKeys()
{
    QFile header(TestRoot::sourceDir() + QStringLiteral("/platform/ls/Keys.h"));
    if (!header.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString text = QString::fromUtf8(header.readAll());
    static const QRegularExpression constant(
        QStringLiteral("inline const QString \\w+ = QStringLiteral\\(\"([^\"]*)\"\\)"));
    QStringList keys;
    for (auto match = constant.globalMatch(text); match.hasNext();) {
        const QString key = match.next().captured(1);
        if (key != ls::commandIdKey && key != ls::subCommandIdKey && key != ls::senderIdKey) {
            keys << key;
        }
    }
    return keys;
}

// Each command with the ids of its sub-commands.
QList<QPair<QString, QStringList>> commands()
{
    return { { ls::ConfigManagerCmdId::Layout, ls::LayoutCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::BrailleTable, ls::BrailleTableCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::UserPaper, ls::UserPaperCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::SystemInfo, ls::SystemInfoCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::Print, ls::PrintCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::Ssl, ls::SslCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::SystemOptions, ls::SystemOptionsCmdId::meta.keys() } };
}

const int callTimeoutMs = 15000;

QDBusMessage message(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, QStringLiteral("/"), service, method);
    message.setArguments(arguments);
    return message;
}

QDBusMessage call(const QString& method, const QVariantList& arguments)
{
    return QDBusConnection::systemBus().call(message(method, arguments), QDBus::Block, callTimeoutMs);
}

struct Outgoing {
    QString description;
    QDBusMessage message;
};

// Sends the calls with a few in flight at a time: on a busy machine the round trip, not the
// service, takes most of the time. Answers the first call without a proper answer and why.
QString sendAll(const QList<Outgoing>& calls, QString (*problemOf)(const QDBusMessage&))
{
    const int window = 16;
    QList<QPair<int, QDBusPendingCall>> inFlight;
    int next = 0;
    while (next < calls.size() || !inFlight.isEmpty()) {
        if (next < calls.size() && inFlight.size() < window) {
            inFlight.append({ next, QDBusConnection::systemBus().asyncCall(calls.at(next).message, callTimeoutMs) });
            ++next;
            continue;
        }
        QPair<int, QDBusPendingCall> oldest = inFlight.takeFirst();
        oldest.second.waitForFinished();
        const QString problem = problemOf(oldest.second.reply());
        if (!problem.isEmpty()) {
            return calls.at(oldest.first).description + QStringLiteral(": ") + problem;
        }
    }
    return QString();
}

// Empty when the service answered: a reply, or the defined error of a service being (re)built.
QString noAnswer(const QDBusMessage& reply)
{
    if (reply.type() == QDBusMessage::ReplyMessage || reply.errorName() == notReady) {
        return QString();
    }
    return reply.errorName() + QStringLiteral(": ") + reply.errorMessage().left(300);
}

// What process answers must be a result map, whatever it was sent.
QString noResult(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return reply.errorName() + QStringLiteral(": ") + reply.errorMessage().left(300);
    }
    const QVariantMap result = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    if (!result.contains(ls::resultIdKey) || !result.contains(ls::errorIdKey)) {
        return QStringLiteral("no result map");
    }
    return QString();
}

QVariant nested(int depth, const QVariant& leaf)
{
    QVariant value = leaf;
    for (int level = 0; level < depth; ++level) {
        value = QVariantMap { { QStringLiteral("level"), value }, { QStringLiteral("list"), QVariantList { leaf } } };
    }
    return value;
}

// Kind, size and modification time of everything below a directory but one subtree.
QMap<QString, QString> snapshot(const QString& directory, const QString& excluded)
{
    QMap<QString, QString> entries;
    QDirIterator it(
        directory, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path == excluded || path.startsWith(excluded + QLatin1Char('/'))) {
            continue;
        }
        const QFileInfo info = it.fileInfo();
        entries.insert(path,
            QStringLiteral("%1 %2 %3")
                .arg(info.isDir() ? QStringLiteral("dir") : QStringLiteral("file"))
                .arg(info.isDir() ? 0 : info.size())
                .arg(info.lastModified().toMSecsSinceEpoch()));
    }
    return entries;
}

QString state(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch())
                         : QStringLiteral("absent");
}
} // namespace

class TestE2eHostile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ReadOnlyHost> m_host;
    std::unique_ptr<QTemporaryDir> m_outside;
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;
    QString m_marker;
    QString m_decoy;
    QList<QPair<QString, QString>> m_corpus;
    QList<Method> m_methods;
    QStringList m_keys;
    QHash<QString, QVariant> m_currentValues;
    QMap<QString, QString> m_outsideBefore;
    QMap<QString, QString> m_machineBefore;
    QByteArray m_embosserConfBefore;

    static QStringList machinePaths()
    {
        return { QStringLiteral("/tmp/x"), QStringLiteral("/tmp/b"), QStringLiteral("/x"), QStringLiteral("/b"),
            QStringLiteral("/etc/passwd") };
    }

    void addCorpus()
    {
        QTest::addColumn<QString>("hostile");
        for (const auto& entry : qAsConst(m_corpus)) {
            QTest::newRow(qPrintable(entry.first)) << entry.second;
        }
    }

    // An ordinary value for a string argument that is not under test.
    QString ordinaryText(const Method& method, const QString& argument)
    {
        static const QHash<QString, QString> byName { { QStringLiteral("catalog"), master },
            { QStringLiteral("source"), master }, { QStringLiteral("target"), QStringLiteral("probe-copy") },
            { QStringLiteral("paper"), QStringLiteral("A3") },
            { QStringLiteral("parameter"), QStringLiteral("Volume") },
            { QStringLiteral("cellSize"), QStringLiteral("US Standard") }, { QStringLiteral("dots"), ls::sixDotKey },
            { QStringLiteral("cellDots"), ls::sixDotKey },
            { QStringLiteral("duplexing"), QStringLiteral("Single sided") },
            { QStringLiteral("lineSpacing"), QStringLiteral("Single") },
            { QStringLiteral("group"), QStringLiteral("Braille language") },
            { QStringLiteral("layout"), QStringLiteral("1") },
            { QStringLiteral("language"), QStringLiteral("English (U.S.)") },
            { QStringLiteral("table"), QStringLiteral("computer_6dot") } };
        if (argument == QLatin1String("key")) {
            const ls::MetaEnum& family = method.name.contains(QLatin1String("IntDelta"))
                ? ls::IntValueDeltaParamId::meta
                : method.name.contains(QLatin1String("IntValue"))    ? ls::IntValueParamId::meta
                : method.name.contains(QLatin1String("ReleaseTime")) ? ls::ReleaseTimeId::meta
                                                                     : ls::SensorStateId::meta;
            return family.keys().value(0);
        }
        if (argument == QLatin1String("value")) {
            // The value the parameter has now, so the call goes as far as a valid one would.
            const QString getter = QStringLiteral("get") + method.name.mid(3);
            if (!m_currentValues.contains(getter)) {
                const QDBusMessage reply = call(getter, {});
                m_currentValues.insert(getter,
                    reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0) : QStringLiteral("1"));
            }
            return m_currentValues.value(getter).toString();
        }
        return byName.value(argument, QStringLiteral("probe"));
    }

    QVariantList arguments(const Method& method, int hostilePosition, const QString& hostile, bool save)
    {
        QVariantList values;
        for (int i = 0; i < method.types.size(); ++i) {
            const QString& type = method.types.at(i);
            if (i == hostilePosition) {
                values << hostile;
            } else if (type == QLatin1String("s")) {
                values << ordinaryText(method, method.names.at(i));
            } else if (type == QLatin1String("i")) {
                values << 1;
            } else if (type == QLatin1String("d")) {
                values << 1.0;
            } else {
                values << (save && method.names.at(i) == QLatin1String("save"));
            }
        }
        return values;
    }

    // Every string position of every method (of those that save, when save is set) with the text.
    // The longest texts go through one method of each argument pattern only, their cost is in the
    // transport; so do the collection names of the saving pass, where an unknown collection
    // means the master one and every call would only write the same file again.
    QList<Outgoing> everywhere(const QString& hostile, bool save)
    {
        QList<Outgoing> calls;
        QSet<QString> sampled;
        for (const Method& method : qAsConst(m_methods)) {
            if (save && method.names.value(method.names.size() - 1) != QLatin1String("save")) {
                continue;
            }
            for (int position = 0; position < method.types.size(); ++position) {
                if (method.types.at(position) != QLatin1String("s")) {
                    continue;
                }
                const QString pattern = method.types.join(QString()) + QString::number(position);
                if (hostile.size() > longTextLength
                    || (save && method.names.at(position) == QLatin1String("catalog"))) {
                    if (sampled.contains(pattern)) {
                        continue;
                    }
                    sampled.insert(pattern);
                }
                calls << Outgoing { QStringLiteral("%1, argument %2").arg(method.signature()).arg(position),
                    message(method.name, arguments(method, position, hostile, save)) };
            }
        }
        return calls;
    }

    static Outgoing request(const QVariantMap& request)
    {
        return { QStringLiteral("process %1 %2")
                     .arg(request.value(ls::commandIdKey).toString().left(40),
                         request.value(ls::subCommandIdKey).toString().left(40)),
            message(QStringLiteral("process"), { request }) };
    }

private slots:
    void initTestCase()
    {
        // First, before anything is started: run as root, the service must not reach the machine.
        m_host = std::make_unique<ReadOnlyHost>();
        QVERIFY2(m_host->isValid(), qPrintable(m_host->error()));
        m_outside = std::make_unique<QTemporaryDir>();
        QVERIFY(m_outside->isValid());
        m_marker = m_outside->filePath(QStringLiteral("MARKER"));
        m_decoy = m_outside->filePath(QStringLiteral("decoy"));
        QFile decoy(m_decoy);
        QVERIFY(decoy.open(QIODevice::WriteOnly) && decoy.write("decoy\n") == 6);
        decoy.close();

        // The root lies inside the watched directory, so a path that climbs out of it lands there.
        const QByteArray temporary = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_outside->path()));
        m_root = std::make_unique<TestRoot>();
        temporary.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", temporary);
        QVERIFY(m_root->isValid());
        QCOMPARE(SettingsFileCheck(m_root->path()).problems(), QStringList());

        m_bus = std::make_unique<PrivateBus>();
        QVERIFY(m_bus->isValid());
        m_daemon = std::make_unique<DaemonProcess>(m_root->path(), QStringLiteral("ServiceWatcher.debug=true"));
        QVERIFY(m_daemon->start());
        QVERIFY2(m_daemon->waitForLog(readyLine), qPrintable(m_daemon->log().join(QLatin1Char('\n'))));

        m_methods = publishedMethods();
        QVERIFY(m_methods.size() > 700);
        m_keys = requestKeys();
        QVERIFY(m_keys.size() > 80);

        const QString touch = QStringLiteral("touch ") + m_marker;
        m_corpus = { { QStringLiteral("command separator"), QStringLiteral("; ") + touch },
            { QStringLiteral("command substitution"), QStringLiteral("$(%1)").arg(touch) },
            { QStringLiteral("backquotes"), QLatin1Char('`') + touch + QLatin1Char('`') },
            { QStringLiteral("pipe"), QStringLiteral("| ") + touch },
            { QStringLiteral("single quote breakout"), QStringLiteral("' ; %1 '").arg(touch) },
            { QStringLiteral("double quote breakout"), QStringLiteral("\" ; %1\"").arg(touch) },
            { QStringLiteral("newline and command"), QStringLiteral("x\n%1\n").arg(touch) },
            { QStringLiteral("options"), QStringLiteral("-a -c -m ") + m_marker },
            { QStringLiteral("relative traversal"), QStringLiteral("../../../../tmp/x") },
            { QStringLiteral("absolute system file"), QStringLiteral("/etc/passwd") },
            { QStringLiteral("absolute file outside the root"), m_decoy },
            { QStringLiteral("parent"), QStringLiteral("..") },
            { QStringLiteral("inner traversal"), QStringLiteral("a/../../b") },
            { QStringLiteral("glob"), QStringLiteral("*") },
            { QStringLiteral("control text"), QStringLiteral("line\nbreak\ttab\r\x1b[2J") },
            { QStringLiteral("longest text"), QString(1024, QLatin1Char('t')) },
            { QStringLiteral("one beyond the longest text"), QString(1025, QLatin1Char('t')) },
            { QStringLiteral("64 KiB"), QStringLiteral("../").repeated(64 * 1024 / 3) },
            { QStringLiteral("1 MiB"), QString(1024 * 1024, QLatin1Char('x')) }, { QStringLiteral("empty"), QString() },
            { QStringLiteral("non-ASCII"), QStringLiteral("Gr\u00fc\u00dfe \u2713 \u65e5\u672c \u202e\uffff") } };

        m_embosserConfBefore = m_root->readFile(QStringLiteral("/var/lib/embosser/embosserConf"));
        m_outsideBefore = snapshot(m_outside->path(), m_root->path());
        for (const QString& path : machinePaths()) {
            m_machineBefore.insert(path, state(path));
        }
    }

    void cleanupTestCase()
    {
        m_daemon.reset();
        m_bus.reset();
        m_root.reset();
        m_outside.reset();
    }

    void directMethodsAnswerHostileStrings_data() { addCorpus(); }
    void directMethodsAnswerHostileStrings()
    {
        QFETCH(QString, hostile);
        const QList<Outgoing> calls = everywhere(hostile, false);
        QVERIFY(calls.size() > (hostile.size() > longTextLength ? 20 : 400));
        const QString problem = sendAll(calls, noAnswer);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void savingSettersAnswerHostileStrings_data() { addCorpus(); }
    void savingSettersAnswerHostileStrings()
    {
        QFETCH(QString, hostile);
        const QList<Outgoing> calls = everywhere(hostile, true);
        QVERIFY(calls.size() > (hostile.size() > longTextLength ? 5 : 30));
        const QString problem = sendAll(calls, noAnswer);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void processAnswersHostileRequests_data() { addCorpus(); }
    void processAnswersHostileRequests()
    {
        QFETCH(QString, hostile);
        QList<Outgoing> requests;
        requests << request(
            { { ls::commandIdKey, hostile }, { ls::subCommandIdKey, getActive }, { ls::senderIdKey, requester } });
        requests << request(
            { { ls::commandIdKey, layoutCommand }, { ls::subCommandIdKey, getActive }, { ls::senderIdKey, hostile } });
        const int copies = qBound(1, requestTextBudget / qMax(1, hostile.size()), m_keys.size());
        int next = 0;
        for (const auto& command : commands()) {
            requests << request({ { ls::commandIdKey, command.first }, { ls::subCommandIdKey, hostile },
                { ls::senderIdKey, requester } });
            // Every sub-command with the hostile text in its keys; long texts in a few keys at a time.
            for (const QString& subCommand : command.second) {
                QVariantMap request { { ls::commandIdKey, command.first }, { ls::subCommandIdKey, subCommand },
                    { ls::senderIdKey, requester } };
                for (int i = 0; i < copies; ++i) {
                    request.insert(m_keys.at(next++ % m_keys.size()), hostile);
                }
                requests << TestE2eHostile::request(request);
            }
        }
        const QString problem = sendAll(requests, noResult);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void processAnswersMistypedAndNestedRequests()
    {
        QList<Outgoing> requests;
        const QVariantList oddValues { 7, -1, std::numeric_limits<double>::quiet_NaN(),
            std::numeric_limits<double>::infinity(), true, QByteArray("\x00\xff", 2),
            QVariantList { QStringLiteral("a"), 1, QVariantList {} }, QStringList { QStringLiteral(".."), QString() },
            QVariantMap {}, nested(10, QStringLiteral("../../x")) };
        // The envelope itself of the wrong type.
        for (const QVariant& odd : oddValues) {
            requests << request(
                { { ls::commandIdKey, odd }, { ls::subCommandIdKey, getActive }, { ls::senderIdKey, requester } });
            requests << request(
                { { ls::commandIdKey, layoutCommand }, { ls::subCommandIdKey, odd }, { ls::senderIdKey, requester } });
            requests << request(
                { { ls::commandIdKey, layoutCommand }, { ls::subCommandIdKey, getActive }, { ls::senderIdKey, odd } });
        }
        requests << request({});
        // Every sub-command with every key of one wrong type.
        for (const auto& command : commands()) {
            for (const QString& subCommand : command.second) {
                for (const QVariant& odd : oddValues) {
                    QVariantMap request { { ls::commandIdKey, command.first }, { ls::subCommandIdKey, subCommand },
                        { ls::senderIdKey, requester } };
                    for (const QString& key : qAsConst(m_keys)) {
                        request.insert(key, odd);
                    }
                    requests << TestE2eHostile::request(request);
                }
            }
        }
        // Very many keys.
        QVariantMap crowded { { ls::commandIdKey, layoutCommand }, { ls::subCommandIdKey, writeLayout },
            { ls::senderIdKey, requester } };
        for (int i = 0; i < 20000; ++i) {
            crowded.insert(QStringLiteral("key %1").arg(i), i);
        }
        requests << request(crowded);
        const QString problem = sendAll(requests, noResult);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void serviceStillAnswers()
    {
        QVERIFY(m_daemon->isRunning());
        // A request may have restarted the service; it must come back.
        QVERIFY(QTest::qWaitFor(
            [] { return call(QStringLiteral("getVolume"), {}).type() == QDBusMessage::ReplyMessage; }, 20000));
        const QDBusMessage removed = call(QStringLiteral("removeCatalogsCollection"), { master });
        QCOMPARE(removed.arguments().value(0), QVariant(false));
        QCOMPARE(call(QStringLiteral("getVolume"), { master }).type(), QDBusMessage::ReplyMessage);
        QVERIFY(m_daemon->logCount(QStringLiteral("refused value for")) > 0);
    }

    void collectionsStayBounded()
    {
        QCOMPARE(
            call(QStringLiteral("duplicateCatalog"), { master, QString(65, QLatin1Char('n')) }).arguments().value(0),
            QVariant(false));
        // Whatever the probe left, copies stop at the limit instead of growing with every request.
        int copies = 0;
        while (copies < 100
            && call(QStringLiteral("duplicateCatalog"), { master, QStringLiteral("bound %1").arg(copies) })
                   .arguments()
                   .value(0)
                   .toBool()) {
            ++copies;
        }
        QVERIFY(copies > 0 && copies < 32);
    }

    void nothingChangedOutsideTheRoot()
    {
        QVERIFY2(!QFileInfo::exists(m_marker), "a shell ran a piece of a request");
        const QMap<QString, QString> after = snapshot(m_outside->path(), m_root->path());
        QStringList changed;
        for (auto it = after.constBegin(); it != after.constEnd(); ++it) {
            if (m_outsideBefore.value(it.key()) != it.value()) {
                changed << it.key() + QLatin1Char(' ') + it.value();
            }
        }
        for (auto it = m_outsideBefore.constBegin(); it != m_outsideBefore.constEnd(); ++it) {
            if (!after.contains(it.key())) {
                changed << it.key() + QStringLiteral(" removed");
            }
        }
        QCOMPARE(changed, QStringList());
        for (const QString& path : machinePaths()) {
            QCOMPARE(state(path), m_machineBefore.value(path));
        }
    }

    void storedAndLiveValuesFitTheirDefinitions()
    {
        // The saving pass did write: hostile texts that are valid company names and serial numbers.
        QVERIFY(m_root->readFile(QStringLiteral("/var/lib/embosser/embosserConf")) != m_embosserConfBefore);
        const SettingsFileCheck check(m_root->path());
        QCOMPARE(check.problems(), QStringList());

        // The bulk ran without saving: what a setter refused must not be in memory either.
        static const QHash<QString, QString> catalogOf { { QStringLiteral("Architecture"), QStringLiteral("arch") },
            { QStringLiteral("Embosserhead"), QStringLiteral("embosserhead") },
            { QStringLiteral("Parameters"), QStringLiteral("parameters") },
            { QStringLiteral("Page Counter"), QStringLiteral("counters") },
            { QStringLiteral("Serial Com"), QStringLiteral("serialCom") },
            { QStringLiteral("Speech"), QStringLiteral("speech") } };
        QStringList problems;
        const QDBusMessage configuration = call(QStringLiteral("currentConfigurationCmd"), {});
        QCOMPARE(configuration.type(), QDBusMessage::ReplyMessage);
        const QDBusArgument families = configuration.arguments().value(0).value<QDBusArgument>();
        families.beginArray();
        while (!families.atEnd()) {
            QString family;
            QVariantMap values;
            families.beginStructure();
            families >> family >> values;
            families.endStructure();
            if (catalogOf.contains(family)) {
                problems << check.valueProblems(family, catalogOf.value(family), values);
            }
        }
        families.endArray();
        const QDBusMessage info = call(QStringLiteral("embosserInfoCmd"), {});
        QCOMPARE(info.type(), QDBusMessage::ReplyMessage);
        problems << check.valueProblems(QStringLiteral("embosserInfoCmd"), QStringLiteral("embosserConf"),
            qdbus_cast<QVariantMap>(info.arguments().value(0)));
        QCOMPARE(problems, QStringList());
    }

    void toolsGotHostileTextOnlyAsWholeArguments()
    {
        QStringList hostileTexts;
        for (const auto& entry : qAsConst(m_corpus)) {
            if (entry.second.contains(m_marker)) {
                hostileTexts << entry.second;
            }
        }
        int carried = 0;
        const QList<QStringList> calls = SimCalls(m_root->path()).all();
        for (const QStringList& toolCall : calls) {
            for (const QString& argument : toolCall) {
                const QString shown = toolCall.join(QLatin1Char(' ')).left(300);
                QVERIFY2(argument != QLatin1String("touch") && argument != m_marker, qPrintable(shown));
                if (!argument.contains(m_marker)) {
                    continue;
                }
                const bool whole = std::any_of(hostileTexts.cbegin(), hostileTexts.cend(),
                    [&](const QString& text) { return argument.contains(text); });
                QVERIFY2(whole, qPrintable(shown));
                ++carried;
            }
        }
        qInfo("%d tool calls, %d arguments carried hostile text", int(calls.size()), carried);
    }
};

QTEST_GUILESS_MAIN(TestE2eHostile)
#include "tst_e2e_hostile.moc"
