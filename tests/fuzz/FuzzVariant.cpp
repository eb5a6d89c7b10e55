#include "FuzzVariant.h"

#include "ProtocolVocabulary.inc"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QStringList>
#include <QVariantHash>
#include <QVariantList>
#include <fuzzer/FuzzedDataProvider.h>

#include <limits>

namespace {

// Numbers at the edges of the ranges the service checks (layout 1..99, counters, enumerations).
const qint64 interestingNumbers[]
    = { 0, 1, -1, 2, 6, 8, 99, 100, 255, 256, 65535, 65536, std::numeric_limits<int>::max(),
          std::numeric_limits<int>::min(), std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min() };

// Signatures of what a client may send inside a variant.
const char* const signatures[] = { "s", "i", "u", "a{sv}", "av", "as", "(is)", "a{ss}", "v", "ay", "x" };

enum Kind {
    Int,
    UInt,
    LongLong,
    ULongLong,
    Short,
    UShort,
    Byte,
    Double,
    Bool,
    Text,
    IdText,
    Bytes,
    StringList,
    List,
    Map,
    DBusVariant,
    ObjectPath,
    Signature,
    // Local only: QtDBus cannot send these.
    Hash,
    Invalid,
};

} // namespace

FuzzVariant::FuzzVariant(FuzzedDataProvider& data, const Limits& limits)
    : m_data(data)
    , m_limits(limits)
{
}

QString FuzzVariant::key()
{
    switch (m_data.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return freeText();
    case 1:
        return idText();
    default:
        return *protocolKeys[m_data.ConsumeIntegralInRange<size_t>(0, std::size(protocolKeys) - 1)];
    }
}

QString FuzzVariant::idText()
{
    const ls::MetaEnum& family
        = *protocolFamilies[m_data.ConsumeIntegralInRange<size_t>(0, std::size(protocolFamilies) - 1)];
    const QStringList keys = family.keys();
    return keys.isEmpty() ? QString() : keys.at(m_data.ConsumeIntegralInRange(0, keys.size() - 1));
}

QString FuzzVariant::text()
{
    switch (m_data.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return idText();
    case 1:
        return *protocolKeys[m_data.ConsumeIntegralInRange<size_t>(0, std::size(protocolKeys) - 1)];
    default:
        return freeText();
    }
}

QString FuzzVariant::freeText()
{
    const std::string bytes = m_data.ConsumeRandomLengthString(256);
    if (m_limits.wire) {
        QString text = QString::fromUtf8(bytes.data(), int(bytes.size()));
        text.remove(QChar(0));
        return text;
    }
    // Raw UTF-16 reaches lone surrogates and NUL, which no D-Bus client can send but the console can.
    if (!bytes.empty() && bytes[0] == '\x01') {
        QString text;
        for (size_t i = 1; i + 1 < bytes.size(); i += 2) {
            text.append(QChar(ushort(uchar(bytes[i]) | uchar(bytes[i + 1]) << 8)));
        }
        return text;
    }
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

QVariantMap FuzzVariant::map(int depth)
{
    QVariantMap result;
    const int count = m_data.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count && m_data.remaining_bytes() > 0; ++i) {
        const QString name = key();
        result.insert(name, value(depth + 1));
    }
    return result;
}

QVariant FuzzVariant::value(int depth)
{
    ++m_nodes;
    const bool leafOnly = depth >= m_limits.depth || m_nodes >= m_limits.nodes;
    const int last = m_limits.wire ? Signature : Invalid;
    int kind = m_data.ConsumeIntegralInRange(0, last);
    if (leafOnly && (kind == StringList || kind == List || kind == Map || kind == DBusVariant || kind == Hash)) {
        kind = Text;
    }
    switch (kind) {
    case Int:
        return m_data.ConsumeBool()
            ? int(interestingNumbers[m_data.ConsumeIntegralInRange<size_t>(0, std::size(interestingNumbers) - 1)])
            : m_data.ConsumeIntegral<int>();
    case UInt:
        return m_data.ConsumeIntegral<uint>();
    case LongLong:
        return m_data.ConsumeBool()
            ? interestingNumbers[m_data.ConsumeIntegralInRange<size_t>(0, std::size(interestingNumbers) - 1)]
            : m_data.ConsumeIntegral<qlonglong>();
    case ULongLong:
        return m_data.ConsumeIntegral<qulonglong>();
    case Short:
        return QVariant::fromValue(m_data.ConsumeIntegral<short>());
    case UShort:
        return QVariant::fromValue(m_data.ConsumeIntegral<ushort>());
    case Byte:
        return QVariant::fromValue(m_data.ConsumeIntegral<uchar>());
    case Double: {
        // Finite, so that values compare equal to themselves; the service checks its own limits.
        const int numerator = m_data.ConsumeIntegral<int>();
        const int denominator = m_data.ConsumeIntegralInRange(1, 1000);
        return double(numerator) / denominator;
    }
    case Bool:
        return m_data.ConsumeBool();
    case Text:
        return text();
    case IdText:
        return idText();
    case Bytes: {
        const std::string bytes = m_data.ConsumeRandomLengthString(256);
        return QByteArray(bytes.data(), int(bytes.size()));
    }
    case StringList: {
        QStringList list;
        const int count = m_data.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < count; ++i) {
            list.append(text());
        }
        return list;
    }
    case List: {
        QVariantList list;
        const int count = m_data.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < count && m_data.remaining_bytes() > 0; ++i) {
            list.append(value(depth + 1));
        }
        return list;
    }
    case Map:
        return map(depth);
    case DBusVariant:
        return QVariant::fromValue(QDBusVariant(value(depth + 1)));
    case ObjectPath: {
        QString path;
        const int segments = m_data.ConsumeIntegralInRange(0, 4);
        for (int i = 0; i < segments; ++i) {
            path += QStringLiteral("/s") + QString::number(m_data.ConsumeIntegral<uchar>());
        }
        return QVariant::fromValue(QDBusObjectPath(path.isEmpty() ? QStringLiteral("/") : path));
    }
    case Signature:
        return QVariant::fromValue(QDBusSignature(
            QString::fromLatin1(signatures[m_data.ConsumeIntegralInRange<size_t>(0, std::size(signatures) - 1)])));
    case Hash: {
        QVariantHash hash;
        const int count = m_data.ConsumeIntegralInRange(0, 4);
        for (int i = 0; i < count && m_data.remaining_bytes() > 0; ++i) {
            const QString name = key();
            hash.insert(name, value(depth + 1));
        }
        return hash;
    }
    default:
        return QVariant();
    }
}

bool FuzzVariant::isPlain(const QVariant& value)
{
    const int type = value.userType();
    if (type == qMetaTypeId<QDBusArgument>() || type == qMetaTypeId<QDBusVariant>()
        || type == qMetaTypeId<QDBusObjectPath>() || type == qMetaTypeId<QDBusSignature>()
        || type == QMetaType::QVariantHash) {
        return false;
    }
    if (type == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        for (const QVariant& item : map) {
            if (!isPlain(item)) {
                return false;
            }
        }
    } else if (type == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        for (const QVariant& item : list) {
            if (!isPlain(item)) {
                return false;
            }
        }
    }
    return true;
}
