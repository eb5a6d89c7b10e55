#include "DBusArgumentUnpack.h"

#include "LogPrefix.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QStringList>

namespace {
CM_LOGGING_CATEGORY(lc, "DBusArgumentUnpack")

class Unpacker {
public:
    bool complete = true;

    QVariantMap unpackMap(const QVariantMap& map, int depth)
    {
        QVariantMap result;
        for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
            result.insert(it.key(), unpack(it.value(), depth + 1));
        }
        return result;
    }

    QVariant unpack(const QVariant& value, int depth)
    {
        if (depth > libcorvane::dbusArgumentMaxDepth) {
            if (complete) {
                LOG_ERROR(lc) << "nesting deeper than" << libcorvane::dbusArgumentMaxDepth << "levels, value dropped";
            }
            complete = false;
            return QVariant();
        }
        const int type = value.userType();
        if (type == qMetaTypeId<QDBusArgument>()) {
            // A copy shares the reader with the original; reading it detaches, so the caller's
            // argument stays unread.
            const QDBusArgument argument = value.value<QDBusArgument>();
            return unpackArgument(argument, depth);
        }
        if (type == qMetaTypeId<QDBusVariant>()) {
            return unpack(value.value<QDBusVariant>().variant(), depth + 1);
        }
        if (type == qMetaTypeId<QDBusObjectPath>()) {
            return value.value<QDBusObjectPath>().path();
        }
        if (type == qMetaTypeId<QDBusSignature>()) {
            return value.value<QDBusSignature>().signature();
        }
        if (type == QMetaType::QVariantMap) {
            return unpackMap(value.toMap(), depth);
        }
        if (type == QMetaType::QVariantHash) {
            QVariantMap map;
            const QVariantHash hash = value.toHash();
            for (auto it = hash.constBegin(); it != hash.constEnd(); ++it) {
                map.insert(it.key(), it.value());
            }
            return unpackMap(map, depth);
        }
        if (type == QMetaType::QVariantList) {
            QVariantList result;
            const QVariantList list = value.toList();
            result.reserve(list.size());
            for (const QVariant& item : list) {
                result.append(unpack(item, depth + 1));
            }
            return result;
        }
        return value;
    }

private:
    QVariant unpackArgument(const QDBusArgument& argument, int depth)
    {
        switch (argument.currentType()) {
        case QDBusArgument::BasicType:
        case QDBusArgument::VariantType:
            // A variant comes back as QDBusVariant, which counts its own level.
            return unpack(argument.asVariant(), depth);
        case QDBusArgument::MapType:
            return unpackDictionary(argument, depth);
        case QDBusArgument::ArrayType:
            return unpackArray(argument, depth);
        case QDBusArgument::StructureType:
            return unpackStructure(argument, depth);
        case QDBusArgument::MapEntryType:
        case QDBusArgument::UnknownType:
            break;
        }
        LOG_ERROR(lc) << "unsupported D-Bus argument of signature" << argument.currentSignature();
        complete = false;
        return QVariant();
    }

    QVariant unpackDictionary(const QDBusArgument& argument, int depth)
    {
        QVariantMap result;
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            const QVariant key = unpack(argument.asVariant(), depth + 1);
            const QVariant value = unpack(argument.asVariant(), depth + 1);
            argument.endMapEntry();
            result.insert(key.toString(), value);
        }
        argument.endMap();
        return result;
    }

    QVariant unpackArray(const QDBusArgument& argument, int depth)
    {
        const bool strings = argument.currentSignature() == QLatin1String("as");
        QVariantList items;
        argument.beginArray();
        while (!argument.atEnd()) {
            items.append(unpack(argument.asVariant(), depth + 1));
        }
        argument.endArray();
        if (strings) {
            QStringList result;
            result.reserve(items.size());
            for (const QVariant& item : qAsConst(items)) {
                result.append(item.toString());
            }
            return result;
        }
        return items;
    }

    QVariant unpackStructure(const QDBusArgument& argument, int depth)
    {
        QVariantList members;
        argument.beginStructure();
        while (!argument.atEnd()) {
            members.append(unpack(argument.asVariant(), depth + 1));
        }
        argument.endStructure();
        return members;
    }
};

} // namespace

namespace libcorvane {

QVariantMap dbusArgumentUnpack(const QVariantMap& map, bool* complete)
{
    Unpacker unpacker;
    const QVariantMap result = unpacker.unpackMap(map, 0);
    if (complete) {
        *complete = unpacker.complete;
    }
    return result;
}

} // namespace libcorvane
