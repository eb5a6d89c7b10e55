// libcorvane::dbusArgumentUnpack on maps built from the input: locally built maps with every
// D-Bus wrapper type nested past the depth cap, and maps that went over a real D-Bus connection
// (a peer-to-peer one inside this process), which arrive with nested QDBusArgument values.
// Besides crashes it checks the unpacker's promises: the result holds plain variants only,
// unpacking does not consume its input, and a map unpacks the same whether it was sent or not.
#include "FuzzEnvironment.h"
#include "FuzzVariant.h"
#include "libcorvane/DBusArgumentUnpack.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusServer>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

// Keeps the map of the last `deliver(a{sv})` call as QtDBus demarshalled it.
class Receiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "local.FuzzReceiver")
public:
    QVariantMap received;
    int count = 0;

public slots:
    void deliver(const QVariantMap& map)
    {
        received = map;
        ++count;
    }
};

const QString clientName = QStringLiteral("fuzz-unpack-client");
// Never destroyed: tearing the connection down at exit is not what this target tests.
QDBusServer* server = nullptr;
Receiver* receiver = nullptr;

// The map as the service's adaptor receives it; invalid when QtDBus could not send it.
bool sendOverWire(const QVariantMap& map, QVariantMap& received)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString(), QStringLiteral("/"), QStringLiteral("local.FuzzReceiver"), QStringLiteral("deliver"));
    call << map;
    const int before = receiver->count;
    QDBusPendingCall pending = QDBusConnection(clientName).asyncCall(call);
    // Until the reply is in too: a call still in flight at the end of an input would count as a
    // leak of that input.
    const QDeadlineTimer deadline(5000);
    while (!pending.isFinished() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    }
    if (pending.isError() || receiver->count == before) {
        return false;
    }
    received = receiver->received;
    return true;
}

void checkUnpack(const QVariantMap& input, const char* what)
{
    bool firstComplete = false;
    bool secondComplete = false;
    const QVariantMap first = libcorvane::dbusArgumentUnpack(input, &firstComplete);
    const QVariantMap second = libcorvane::dbusArgumentUnpack(input, &secondComplete);
    if (!FuzzVariant::isPlain(first)) {
        FuzzEnvironment::fail(QStringLiteral("%1: unpacked map still holds D-Bus types").arg(what));
    }
    if (first != second || firstComplete != secondComplete) {
        FuzzEnvironment::fail(QStringLiteral("%1: unpacking twice gave different results").arg(what));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::initialize(FuzzEnvironment::Root::None);
    server = new QDBusServer(QStringLiteral("unix:dir=") + FuzzEnvironment::scratchDir());
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
    // A JSON object (the readable seeds) is unpacked as it is. It stays local: a JSON null has no
    // D-Bus type, and QtDBus leaks what it had built of a message it cannot finish.
    if (size > 0 && bytes[0] == '{') {
        const QByteArray json = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), int(size));
        checkUnpack(QJsonDocument::fromJson(json).object().toVariantMap(), "json");
        return 0;
    }
    FuzzedDataProvider data(bytes, size);
    const bool wire = data.ConsumeBool();
    FuzzVariant::Limits limits;
    limits.wire = wire;
    limits.depth = wire ? 20 : 80;
    limits.nodes = 256;
    FuzzVariant builder(data, limits);
    const QVariantMap map = builder.map();
    checkUnpack(map, "local");
    if (!wire) {
        return 0;
    }
    QVariantMap received;
    if (!sendOverWire(map, received)) {
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
