// libcorvane::dbusArgumentUnpack on maps built from the input: local maps with every D-Bus
// wrapper type nested past the depth cap, and maps that went over a real D-Bus connection (a
// peer-to-peer one inside this process), which arrive with nested QDBusArgument values. Besides
// crashes it checks the unpacker's promises: the result holds plain variants only, unpacking does
// not consume its input, and a map unpacks the same whether it was sent or not.
#include "FuzzEnvironment.h"
#include "FuzzVariant.h"
#include "libcorvane/DBusArgumentUnpack.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServer>
#include <QDBusSignature>
#include <QDBusVariant>
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

namespace {

// Keeps the map of the last `deliver(a{sv})` call as QtDBus demarshalled it.
class Receiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "local.FuzzReceiver")
public:
    QVariantMap received;

public slots:
    void deliver(const QVariantMap& map) { received = map; }
};

const QString clientName = QStringLiteral("fuzz-unpack-client");
Receiver* receiver = nullptr;

// The map as the service's adaptor receives it; false when QtDBus could not send it. The call
// waits for its reply in an event loop, where the receiver gets it.
bool sendOverWire(const QVariantMap& map, QVariantMap& received)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString(), QStringLiteral("/"), QStringLiteral("local.FuzzReceiver"), QStringLiteral("deliver"));
    call << map;
    const QDBusMessage reply = QDBusConnection(clientName).call(call, QDBus::BlockWithGui, 5000);
    received = receiver->received;
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool isPlain(const QVariant& value)
{
    const int type = value.userType();
    if (type == QMetaType::QVariantMap || type == QMetaType::QVariantList) {
        const QVariantList items = type == QMetaType::QVariantMap ? value.toMap().values() : value.toList();
        return std::all_of(items.cbegin(), items.cend(), isPlain);
    }
    return type != qMetaTypeId<QDBusArgument>() && type != qMetaTypeId<QDBusVariant>()
        && type != qMetaTypeId<QDBusObjectPath>() && type != qMetaTypeId<QDBusSignature>()
        && type != QMetaType::QVariantHash;
}

void checkUnpack(const QVariantMap& input, const char* what)
{
    bool firstComplete = false;
    bool secondComplete = false;
    const QVariantMap first = libcorvane::dbusArgumentUnpack(input, &firstComplete);
    if (!isPlain(first)) {
        FuzzEnvironment::fail(QStringLiteral("%1: unpacked map still holds D-Bus types").arg(what));
    }
    if (libcorvane::dbusArgumentUnpack(input, &secondComplete) != first || firstComplete != secondComplete) {
        FuzzEnvironment::fail(QStringLiteral("%1: unpacking twice gave different results").arg(what));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::initialize(FuzzEnvironment::Root::Empty);
    // Never destroyed: tearing the connection down at exit is not what this target tests.
    auto* server = new QDBusServer(QStringLiteral("unix:dir=") + FuzzEnvironment::scratchDir());
    receiver = new Receiver;
    QObject::connect(server, &QDBusServer::newConnection, receiver, [](const QDBusConnection& c) {
        QDBusConnection(c).registerObject(QStringLiteral("/"), receiver, QDBusConnection::ExportAllSlots);
    });
    QDBusConnection::connectToPeer(server->address(), clientName);
    // One call through, so that the first input does not pay for the connection.
    QVariantMap received;
    if (!sendOverWire({ { QStringLiteral("ready"), true } }, received)) {
        FuzzEnvironment::fail(QStringLiteral("the peer connection does not deliver"));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // A readable seed stays local: a JSON null has no D-Bus type, and QtDBus leaks what it had
    // built of a message it cannot finish.
    QVariantMap map;
    if (FuzzVariant::readableSeed(bytes, size, map)) {
        checkUnpack(map, "json");
        return 0;
    }
    FuzzedDataProvider data(bytes, size);
    const bool wire = data.ConsumeBool();
    map = FuzzVariant(data, wire ? 20 : 80, 256, wire).map();
    checkUnpack(map, "local");
    QVariantMap received;
    if (!wire || !sendOverWire(map, received)) {
        return 0;
    }
    checkUnpack(received, "wire");
    // What the service gets from the wire is what the client's map holds, in plain variants.
    if (libcorvane::dbusArgumentUnpack(received) != libcorvane::dbusArgumentUnpack(map)) {
        FuzzEnvironment::fail(QStringLiteral("a sent map unpacks differently from the map itself"));
    }
    return 0;
}

#include "fuzz_dbus_unpack.moc"
