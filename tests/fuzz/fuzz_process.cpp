// ConfigurationManager::process, the dispatcher of the command protocol, built once on a private
// root (its init() reads the whole shipped machine) and fed request maps from the input, unpacked
// as the D-Bus adaptor unpacks them. Most requests carry a listed command, a sub-command of that
// command's family and a listed sender, so that they reach the handlers' operations with
// arguments of every type. Besides crashes it checks the protocol's promise: every request gets a
// result map with a result id, and a success carries the error id "Undefined".
#include "ConfigurationManager.h"
#include "FuzzEnvironment.h"
#include "FuzzVariant.h"
#include "ProtocolVocabulary.inc"
#include "libcorvane/DBusArgumentUnpack.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/ResultId.h"
#include "ls/ServiceId.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

ConfigurationManager* manager = nullptr;
int notifications = 0;

QString pick(FuzzedDataProvider& data, const QStringList& texts)
{
    return texts.isEmpty() ? QString() : texts.at(data.ConsumeIntegralInRange(0, texts.size() - 1));
}

// The sub-command ids of a command: the family named after it ("Layout" -> "LayoutCmdId").
QStringList subCommandsOf(const QString& command)
{
    static QHash<QString, QStringList> cache;
    const auto found = cache.constFind(command);
    if (found != cache.constEnd()) {
        return found.value();
    }
    QStringList keys;
    for (const ls::MetaEnum* family : protocolFamilies) {
        if (family->name() == command + QStringLiteral("CmdId")) {
            keys = family->keys();
        }
    }
    cache.insert(command, keys);
    return keys;
}

QVariantMap buildRequest(FuzzedDataProvider& data)
{
    FuzzVariant::Limits limits;
    limits.depth = 6;
    limits.nodes = 48;
    FuzzVariant builder(data, limits);

    const int envelope = data.ConsumeIntegral<uint8_t>();
    QVariantMap request;
    // Each envelope key is present with a listed value most of the time, absent or odd otherwise.
    QString command;
    if ((envelope & 0x03) != 0) {
        command = (envelope & 0x03) == 3 ? builder.text() : pick(data, ls::ConfigManagerCmdId::meta.keys());
        request.insert(ls::commandIdKey, command);
    }
    if ((envelope & 0x0c) != 0) {
        const QStringList subCommands = subCommandsOf(command);
        request.insert(ls::subCommandIdKey,
            (envelope & 0x0c) == 0x0c || subCommands.isEmpty() ? builder.idText() : pick(data, subCommands));
    }
    if ((envelope & 0x30) != 0) {
        request.insert(ls::senderIdKey,
            (envelope & 0x30) == 0x30 ? builder.value(1) : QVariant(pick(data, ls::ServiceId::meta.keys())));
    }
    const QVariantMap arguments = builder.map();
    for (auto it = arguments.constBegin(); it != arguments.constEnd(); ++it) {
        // Envelope keys keep their chosen values unless the arguments bring one the envelope lacks.
        if (!request.contains(it.key())) {
            request.insert(it.key(), it.value());
        }
    }
    return request;
}

void checkResult(const QVariantMap& request, const QVariantMap& result)
{
    const QString resultId = result.value(ls::resultIdKey).toString();
    const QString errorId = result.value(ls::errorIdKey).toString();
    const bool success = resultId == QString(ls::ResultId::Success);
    if (!success && resultId != QString(ls::ResultId::Failure)) {
        FuzzEnvironment::fail(QStringLiteral("result without a result id for %1")
                                  .arg(QString::fromUtf8(QJsonDocument::fromVariant(request).toJson())));
    }
    if (success ? errorId != QString(ls::ErrorId::Undefined) : !ls::ErrorId::meta.contains(errorId)) {
        FuzzEnvironment::fail(
            QStringLiteral("result %1 with error id '%2' for %3")
                .arg(resultId, errorId, QString::fromUtf8(QJsonDocument::fromVariant(request).toJson())));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::initialize(FuzzEnvironment::Root::Private);
    manager = new ConfigurationManager();
    QObject::connect(manager, &ConfigurationManager::notification, [](const QVariantMap&) { ++notifications; });
    manager->init();
    if (!manager->isBuilt()) {
        FuzzEnvironment::fail(QStringLiteral("ConfigurationManager::init did not build the service"));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    QVariantMap request;
    // A JSON object (the readable seeds) is the request as it is; anything else builds one.
    if (size > 0 && bytes[0] == '{') {
        request = QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), int(size)))
                      .object()
                      .toVariantMap();
    } else {
        FuzzedDataProvider data(bytes, size);
        request = buildRequest(data);
    }
    const QVariantMap result = manager->process(libcorvane::dbusArgumentUnpack(request));
    checkResult(request, result);
    return 0;
}
