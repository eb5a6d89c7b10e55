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
#include <fuzzer/FuzzedDataProvider.h>

namespace {

ConfigurationManager* manager = nullptr;

QVariantMap buildRequest(FuzzedDataProvider& data)
{
    FuzzVariant builder(data, 6, 48, false);
    // Each envelope key is present with a listed value most of the time, absent or odd otherwise.
    const int envelope = data.ConsumeIntegral<uint8_t>();
    QVariantMap request;
    QString command;
    if ((envelope & 0x03) != 0) {
        command = (envelope & 0x03) == 3 ? builder.text() : builder.pick(ls::ConfigManagerCmdId::meta.keys());
        request.insert(ls::commandIdKey, command);
    }
    if ((envelope & 0x0c) != 0) {
        // The sub-commands of a command are the family named after it ("Layout" -> "LayoutCmdId").
        QStringList subCommands;
        for (const ls::MetaEnum* family : protocolFamilies) {
            subCommands += family->name() == command + QStringLiteral("CmdId") ? family->keys() : QStringList();
        }
        request.insert(ls::subCommandIdKey,
            (envelope & 0x0c) == 0x0c || subCommands.isEmpty() ? builder.idText() : builder.pick(subCommands));
    }
    if ((envelope & 0x30) != 0) {
        request.insert(ls::senderIdKey,
            (envelope & 0x30) == 0x30 ? builder.value(1) : QVariant(builder.pick(ls::ServiceId::meta.keys())));
    }
    // The envelope keeps its values; the arguments add what it lacks.
    const QVariantMap arguments = builder.map();
    for (auto it = arguments.constBegin(); it != arguments.constEnd(); ++it) {
        if (!request.contains(it.key())) {
            request.insert(it.key(), it.value());
        }
    }
    return request;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::initialize(FuzzEnvironment::Root::Shipped);
    manager = new ConfigurationManager();
    manager->init();
    if (!manager->isBuilt()) {
        FuzzEnvironment::fail(QStringLiteral("ConfigurationManager::init did not build the service"));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    QVariantMap request;
    if (!FuzzVariant::readableSeed(bytes, size, request)) {
        FuzzedDataProvider data(bytes, size);
        request = buildRequest(data);
    }
    const QVariantMap result = manager->process(libcorvane::dbusArgumentUnpack(request));
    const QString resultId = result.value(ls::resultIdKey).toString();
    const QString errorId = result.value(ls::errorIdKey).toString();
    const bool success = resultId == QString(ls::ResultId::Success);
    if ((!success && resultId != QString(ls::ResultId::Failure))
        || (success ? errorId != QString(ls::ErrorId::Undefined) : !ls::ErrorId::meta.contains(errorId))) {
        FuzzEnvironment::fail(
            QStringLiteral("result id '%1', error id '%2' for %3")
                .arg(resultId, errorId, QString::fromUtf8(QJsonDocument::fromVariant(request).toJson())));
    }
    return 0;
}
