// Hostile input through the whole D-Bus surface of the built daemon: shell metacharacters,
// traversal, control characters, very long, empty and non-ASCII strings in every string argument
// of every published method, with and without saving, and hostile, mistyped and nested request
// maps through process. Afterwards the service still answers, nothing outside its root changed,
// no shell ran a piece of the text, every tool got hostile text only as one whole argument,
// collections stay bounded, and the settings files and the live values hold only values that fit
// their definitions. Run as root, the test and everything it starts see the machine's directories
// read-only (PrivateMounts).
#include "DaemonProcess.h"
#include "PrivateBus.h"
#include "PrivateMounts.h"
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
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>
#include <unistd.h>

namespace {
const QString master = QStringLiteral("masterCollectionKey");
const QString service = QStringLiteral("com.corvanebraille.ConfigurationManager");
const QString& requester = ls::ServiceId::Panel;
// A request carries at most this much hostile text, so the 1 MiB entry goes one key at a time.
const int requestTextBudget = 256 * 1024;
// Longer texts go through one method of each argument pattern only: their cost is in the transport.
const int longText = 64 * 1024;

struct Method {
    QString name;
    QStringList types; // of the in-arguments
    QStringList names;
};

struct Outgoing {
    QString description;
    QDBusMessage message;
};

QDBusMessage message(const QString& method, const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, QStringLiteral("/"), service, method);
    message.setArguments(arguments);
    return message;
}

QDBusMessage call(const QString& method, const QVariantList& arguments = {})
{
    return QDBusConnection::systemBus().call(message(method, arguments), QDBus::Block, 15000);
}

Outgoing request(const QVariantMap& request)
{
    return { QStringLiteral("process %1 %2")
                 .arg(request.value(ls::commandIdKey).toString().left(40),
                     request.value(ls::subCommandIdKey).toString().left(40)),
        message(QStringLiteral("process"), { request }) };
}

QVariantMap envelope(const QVariant& command, const QVariant& subCommand, const QVariant& sender = requester)
{
    return { { ls::commandIdKey, command }, { ls::subCommandIdKey, subCommand }, { ls::senderIdKey, sender } };
}

// Empty when the service answered properly: process with a result map, the other methods with a
// reply or the defined error of a service being (re)built.
QString problemOf(const QDBusMessage& call, const QDBusMessage& reply)
{
    const bool process = call.member() == QLatin1String("process");
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return !process && reply.errorName() == service + QStringLiteral(".Error.NotReady")
            ? QString()
            : reply.errorName() + QStringLiteral(": ") + reply.errorMessage().left(300);
    }
    const QVariantMap result = qdbus_cast<QVariantMap>(reply.arguments().value(0));
    return !process || (result.contains(ls::resultIdKey) && result.contains(ls::errorIdKey))
        ? QString()
        : QStringLiteral("no result map");
}

// Sends the calls with a few in flight at a time (on a busy machine the round trip takes most of
// the time); answers the first call without a proper answer, and why.
// System options without arguments that reset, back up or restore the whole configuration through
// the machine's scripts: no value reaches them, and each takes seconds on a busy machine.
QStringList withArguments(QStringList systemOptions)
{
    for (const QString& id : { ls::SystemOptionsCmdId::ResetSettings, ls::SystemOptionsCmdId::BackupConfigUsb,
             ls::SystemOptionsCmdId::BackupConfigInternal, ls::SystemOptionsCmdId::RestoreConfigUsb,
             ls::SystemOptionsCmdId::RestoreConfigInternal }) {
        systemOptions.removeAll(id);
    }
    return systemOptions;
}

QString sendAll(const QList<Outgoing>& calls)
{
    QList<QPair<int, QDBusPendingCall>> inFlight;
    for (int next = 0; next < calls.size() || !inFlight.isEmpty();) {
        if (next < calls.size() && inFlight.size() < 16) {
            inFlight.append({ next, QDBusConnection::systemBus().asyncCall(calls.at(next).message, 15000) });
            ++next;
            continue;
        }
        QPair<int, QDBusPendingCall> oldest = inFlight.takeFirst();
        oldest.second.waitForFinished();
        const Outgoing& sent = calls.at(oldest.first);
        const QString problem = problemOf(sent.message, oldest.second.reply());
        if (!problem.isEmpty()) {
            return sent.description + QStringLiteral(": ") + problem;
        }
    }
    return QString();
}
} // namespace

class TestE2eHostile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PrivateMounts> m_mounts;
    std::unique_ptr<QTemporaryDir> m_outside;
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<PrivateBus> m_bus;
    std::unique_ptr<DaemonProcess> m_daemon;
    QString m_marker;
    QList<QPair<QString, QString>> m_corpus;
    QList<Method> m_methods;
    QStringList m_keys;
    // Each command with the ids of its sub-commands.
    const QList<QPair<QString, QStringList>> m_commands { { ls::ConfigManagerCmdId::Layout,
                                                              ls::LayoutCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::BrailleTable, ls::BrailleTableCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::UserPaper, ls::UserPaperCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::SystemInfo, ls::SystemInfoCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::Print, ls::PrintCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::Ssl, ls::SslCmdId::meta.keys() },
        { ls::ConfigManagerCmdId::SystemOptions, withArguments(ls::SystemOptionsCmdId::meta.keys()) } };
    QHash<QString, QVariant> m_currentValues;
    QStringList m_outsideBefore;
    QByteArray m_embosserConfBefore;

    // Kind, size and modification time of everything in the watched directory but the root, and
    // of the machine paths a traversal would aim at.
    QStringList outsideState() const
    {
        QStringList paths { "/tmp/x", "/tmp/b", "/x", "/b", "/etc/passwd" };
        for (QDirIterator it(m_outside->path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                 QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            if (path != m_root->path() && !path.startsWith(m_root->path() + QLatin1Char('/'))) {
                paths << path;
            }
        }
        QStringList states;
        for (const QString& path : qAsConst(paths)) {
            const QFileInfo info(path);
            states << path
                    + (info.exists() ? QStringLiteral(" %1 %2")
                                           .arg(info.isDir() ? -1 : info.size())
                                           .arg(info.lastModified().toMSecsSinceEpoch())
                                     : QStringLiteral(" absent"));
        }
        states.sort();
        return states;
    }

    // An ordinary value for an argument that is not under test.
    QVariant ordinaryValue(const Method& method, int position, bool save)
    {
        static const QHash<QString, QString> byName { { "catalog", master }, { "source", master },
            { "target", "probe-copy" }, { "paper", "A3" }, { "parameter", "Volume" }, { "cellSize", "US Standard" },
            { "dots", ls::sixDotKey }, { "cellDots", ls::sixDotKey }, { "duplexing", "Single sided" },
            { "lineSpacing", "Single" }, { "group", "Braille language" }, { "layout", "1" },
            { "language", "English (U.S.)" }, { "table", "computer_6dot" } };
        const QString& type = method.types.at(position);
        const QString& argument = method.names.at(position);
        if (type != QLatin1String("s")) {
            return type == QLatin1String("i") ? QVariant(1)
                : type == QLatin1String("d")  ? QVariant(1.0)
                                              : QVariant(save && argument == QLatin1String("save"));
        }
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
                const QDBusMessage reply = call(getter);
                m_currentValues.insert(getter,
                    reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0) : QStringLiteral("1"));
            }
            return m_currentValues.value(getter).toString();
        }
        return byName.value(argument, QStringLiteral("probe"));
    }

    // Every string position of every method (of those that save, when save is set) with the text.
    // Long texts go through one method of each argument pattern only, and so do the collection
    // names of the saving pass: an unknown collection means the master one, and every call would
    // only write the same file again.
    QList<Outgoing> everywhere(const QString& hostile, bool save)
    {
        QList<Outgoing> calls;
        QHash<QString, bool> sampled;
        for (const Method& method : qAsConst(m_methods)) {
            if (save && method.names.value(method.names.size() - 1) != QLatin1String("save")) {
                continue;
            }
            for (int position = 0; position < method.types.size(); ++position) {
                const QString pattern = method.types.join(QString()) + QString::number(position);
                if (method.types.at(position) != QLatin1String("s")
                    || ((hostile.size() > longText || (save && method.names.at(position) == QLatin1String("catalog")))
                        && std::exchange(sampled[pattern], true))) {
                    continue;
                }
                QVariantList values;
                for (int i = 0; i < method.types.size(); ++i) {
                    values << (i == position ? QVariant(hostile) : ordinaryValue(method, i, save));
                }
                calls << Outgoing {
                    QStringLiteral("%1(%2), argument %3").arg(method.name, method.types.join(QString())).arg(position),
                    message(method.name, values)
                };
            }
        }
        return calls;
    }

private slots:
    void initTestCase()
    {
        // First, before anything is started: run as root, the service must not reach the machine.
        m_mounts = std::make_unique<PrivateMounts>();
        QVERIFY2(::geteuid() != 0 || (m_mounts->isValid() && m_mounts->hostReadOnly()), qPrintable(m_mounts->error()));
        m_outside = std::make_unique<QTemporaryDir>();
        QVERIFY(m_outside->isValid());
        m_marker = m_outside->filePath(QStringLiteral("MARKER"));
        const QString decoy = m_outside->filePath(QStringLiteral("decoy"));
        QFile decoyFile(decoy);
        QVERIFY(decoyFile.open(QIODevice::WriteOnly) && decoyFile.write("decoy\n") == 6);
        decoyFile.close();

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
        QVERIFY2(m_daemon->waitForLog(QStringLiteral("configuration-manager ready")),
            qPrintable(m_daemon->log().join(QLatin1Char('\n'))));

        QFile published(TestRoot::sourceDir() + QStringLiteral("/dbus/%1.xml").arg(service));
        QDomDocument document;
        QVERIFY(published.open(QIODevice::ReadOnly) && document.setContent(&published));
        const QDomNodeList methods = document.elementsByTagName(QStringLiteral("method"));
        for (int i = 0; i < methods.size(); ++i) {
            Method method { methods.at(i).toElement().attribute(QStringLiteral("name")), {}, {} };
            for (QDomElement arg = methods.at(i).firstChildElement(QStringLiteral("arg")); !arg.isNull();
                 arg = arg.nextSiblingElement(QStringLiteral("arg"))) {
                if (arg.attribute(QStringLiteral("direction")) == QLatin1String("in")) {
                    method.types << arg.attribute(QStringLiteral("type"));
                    method.names << arg.attribute(QStringLiteral("name"));
                }
            }
            m_methods << method;
        }
        QVERIFY(m_methods.size() > 700);

        // Every request key the framework defines, from its one header, so a new key is probed too.
        QFile keys(TestRoot::sourceDir() + QStringLiteral("/platform/ls/Keys.h"));
        QVERIFY(keys.open(QIODevice::ReadOnly));
        const QRegularExpression constant(
            QStringLiteral("inline const QString \\w+ = QStringLiteral\\(\"([^\"]*)\"\\)"));
        for (auto match = constant.globalMatch(QString::fromUtf8(keys.readAll())); match.hasNext();) {
            m_keys << match.next().captured(1);
        }
        for (const QString& envelopeKey : { ls::commandIdKey, ls::subCommandIdKey, ls::senderIdKey }) {
            m_keys.removeAll(envelopeKey);
        }
        QVERIFY(m_keys.size() > 80);

        const QString touch = QStringLiteral("touch ") + m_marker;
        m_corpus = { { "command separator", "; " + touch }, { "command substitution", "$(" + touch + ')' },
            { "backquotes", '`' + touch + '`' }, { "pipe", "| " + touch },
            { "single quote breakout", "' ; " + touch + " '" }, { "double quote breakout", "\" ; " + touch + '"' },
            { "newline and command", "x\n" + touch + '\n' }, { "options", "-a -c -m " + m_marker },
            { "relative traversal", "../../../../tmp/x" }, { "absolute system file", "/etc/passwd" },
            { "absolute file outside the root", decoy }, { "parent", ".." }, { "inner traversal", "a/../../b" },
            { "glob", "*" }, { "control text", "line\nbreak\ttab\r\x1b[2J" }, { "longest text", QString(1024, 't') },
            { "one beyond the longest text", QString(1025, 't') },
            { "64 KiB", QStringLiteral("../").repeated(longText / 3) }, { "1 MiB", QString(1024 * 1024, 'x') },
            { "empty", "" }, { "non-ASCII", QStringLiteral("Gr\u00fc\u00dfe \u2713 \u65e5\u672c \u202e\uffff") } };

        m_embosserConfBefore = m_root->readFile(QStringLiteral("/var/lib/embosser/embosserConf"));
        m_outsideBefore = outsideState();
    }

    void cleanupTestCase()
    {
        m_daemon.reset();
        m_bus.reset();
        m_root.reset();
        m_outside.reset();
    }

    void hostileValuesAreAnswered_data()
    {
        QTest::addColumn<QVariant>("hostile");
        for (const auto& entry : qAsConst(m_corpus)) {
            QTest::newRow(qPrintable(entry.first)) << QVariant(entry.second);
        }
        // Values of the wrong type, for process only.
        QVariant nested = QStringLiteral("../../x");
        for (int level = 0; level < 10; ++level) {
            nested = QVariantMap { { "level", nested }, { "list", QVariantList { QStringLiteral("../../x") } } };
        }
        const QList<QPair<const char*, QVariant>> mistyped { { "int", 7 }, { "negative", -1 },
            { "NaN", std::numeric_limits<double>::quiet_NaN() },
            { "infinity", std::numeric_limits<double>::infinity() }, { "bool", true },
            { "bytes", QByteArray("\x00\xff", 2) },
            { "list", QVariantList { QStringLiteral("a"), 1, QVariantList {} } },
            { "string list", QStringList { QStringLiteral(".."), QString() } }, { "empty map", QVariantMap {} },
            { "nested maps", nested } };
        for (const auto& entry : mistyped) {
            QTest::newRow(entry.first) << entry.second;
        }
    }

    // A text through every string argument of every method, then of the saving setters with saving
    // on; every value through process: as the command, the sub-command of every command, the
    // sender, and in the keys of every sub-command (a long text in a few keys at a time).
    void hostileValuesAreAnswered()
    {
        QFETCH(QVariant, hostile);
        QList<Outgoing> calls;
        if (hostile.userType() == QMetaType::QString) {
            const bool isLong = hostile.toString().size() > longText;
            const QList<Outgoing> direct = everywhere(hostile.toString(), false);
            const QList<Outgoing> saving = everywhere(hostile.toString(), true);
            QVERIFY(direct.size() > (isLong ? 20 : 400) && saving.size() > (isLong ? 5 : 30));
            calls << direct << saving;
        }
        calls << request(envelope(hostile, ls::LayoutCmdId::GetActive))
              << request(envelope(ls::ConfigManagerCmdId::Layout, ls::LayoutCmdId::GetActive, hostile));
        const int copies = qBound(1, requestTextBudget / qMax(1, hostile.toString().size()), m_keys.size());
        int next = 0;
        for (const auto& command : m_commands) {
            calls << request(envelope(command.first, hostile));
            for (const QString& subCommand : command.second) {
                QVariantMap map = envelope(command.first, subCommand);
                for (int i = 0; i < copies; ++i) {
                    map.insert(m_keys.at(next++ % m_keys.size()), hostile);
                }
                calls << request(map);
            }
        }
        const QString problem = sendAll(calls);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void processAnswersEmptyAndCrowdedRequests()
    {
        QVariantMap crowded = envelope(ls::ConfigManagerCmdId::Layout, ls::LayoutCmdId::WriteLayout);
        for (int i = 0; i < 20000; ++i) {
            crowded.insert(QStringLiteral("key %1").arg(i), i);
        }
        const QString problem = sendAll({ request({}), request(crowded) });
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void serviceStillAnswersAndBoundsCollections()
    {
        QVERIFY(m_daemon->isRunning());
        // A request may have restarted the service; it must come back.
        QVERIFY(QTest::qWaitFor(
            [] { return call(QStringLiteral("getVolume")).type() == QDBusMessage::ReplyMessage; }, 20000));
        QCOMPARE(call(QStringLiteral("removeCatalogsCollection"), { master }).arguments().value(0), QVariant(false));
        QCOMPARE(call(QStringLiteral("getVolume"), { master }).type(), QDBusMessage::ReplyMessage);
        QVERIFY(m_daemon->logCount(QStringLiteral("refused value for")) > 0);

        const auto duplicate = [](const QString& name) {
            return call(QStringLiteral("duplicateCatalog"), { master, name }).arguments().value(0).toBool();
        };
        QVERIFY(!duplicate(QString(65, QLatin1Char('n'))));
        // Whatever the probe left, copies stop at the limit instead of growing with every request.
        int copies = 0;
        while (copies < 100 && duplicate(QStringLiteral("bound %1").arg(copies))) {
            ++copies;
        }
        QVERIFY(copies > 0 && copies < 32);
    }

    void nothingChangedOutsideTheRoot()
    {
        QVERIFY2(!QFileInfo::exists(m_marker), "a shell ran a piece of a request");
        QCOMPARE(outsideState(), m_outsideBefore);
    }

    void storedAndLiveValuesFitTheirDefinitions()
    {
        // The saving pass did write: hostile texts that are valid company names and serial numbers.
        QVERIFY(m_root->readFile(QStringLiteral("/var/lib/embosser/embosserConf")) != m_embosserConfBefore);
        const SettingsFileCheck check(m_root->path());
        QCOMPARE(check.problems(), QStringList());

        // The bulk ran without saving: what a setter refused must not be in memory either.
        static const QHash<QString, QString> catalogOf { { "Architecture", "arch" }, { "Embosserhead", "embosserhead" },
            { "Parameters", "parameters" }, { "Page Counter", "counters" }, { "Serial Com", "serialCom" },
            { "Speech", "speech" } };
        const QDBusMessage configuration = call(QStringLiteral("currentConfigurationCmd"));
        const QDBusMessage info = call(QStringLiteral("embosserInfoCmd"));
        QCOMPARE(configuration.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(info.type(), QDBusMessage::ReplyMessage);
        QStringList problems = check.valueProblems(QStringLiteral("embosserInfoCmd"), QStringLiteral("embosserConf"),
            qdbus_cast<QVariantMap>(info.arguments().value(0)));
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
        QCOMPARE(problems, QStringList());
    }

    void toolsGotHostileTextOnlyAsWholeArguments()
    {
        int carried = 0;
        const QList<QStringList> calls = SimCalls(m_root->path()).all();
        for (const QStringList& toolCall : calls) {
            const QString shown = toolCall.join(QLatin1Char(' ')).left(300);
            for (const QString& argument : toolCall) {
                QVERIFY2(argument != QLatin1String("touch") && argument != m_marker, qPrintable(shown));
                if (argument.contains(m_marker)) {
                    const bool whole = std::any_of(m_corpus.cbegin(), m_corpus.cend(), [&](const auto& entry) {
                        return entry.second.contains(m_marker) && argument.contains(entry.second);
                    });
                    QVERIFY2(whole, qPrintable(shown));
                    ++carried;
                }
            }
        }
        qInfo("%d tool calls, %d arguments carried hostile text", int(calls.size()), carried);
    }
};

QTEST_GUILESS_MAIN(TestE2eHostile)
#include "tst_e2e_hostile.moc"
