#include "FuzzVariant.h"

#include "ProtocolVocabulary.inc"

#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantHash>
#include <QVariantList>
#include <fuzzer/FuzzedDataProvider.h>

#include <limits>

namespace {

// Numbers at the edges of the ranges the service checks (layout 1..99, counters, enumerations).
const qint64 edgeNumbers[] = { 0, 1, -1, 2, 6, 8, 99, 100, 255, 256, 65535, 65536, std::numeric_limits<int>::max(),
    std::numeric_limits<int>::min(), std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min() };

// Signatures of what a client may send inside a variant.
const char* const signatures[] = { "s", "i", "u", "a{sv}", "av", "as", "(is)", "a{ss}", "v", "ay", "x" };

template <class T, size_t N> const T& pickFrom(FuzzedDataProvider& data, const T (&items)[N])
{
    return items[data.ConsumeIntegralInRange<size_t>(0, N - 1)];
}

} // namespace

template <class T> QVariant FuzzVariant::number()
{
    return QVariant::fromValue(m_data.ConsumeIntegral<T>());
}

QString FuzzVariant::pick(const QStringList& texts)
{
    return texts.isEmpty() ? QString() : texts.at(m_data.ConsumeIntegralInRange(0, texts.size() - 1));
}

QString FuzzVariant::idText()
{
    return pick(pickFrom(m_data, protocolFamilies)->keys());
}

QString FuzzVariant::text()
{
    const int kind = m_data.ConsumeIntegralInRange(0, 3);
    return kind == 0 ? idText() : kind == 1 ? *pickFrom(m_data, protocolKeys) : freeText();
}

QString FuzzVariant::freeText()
{
    const std::string bytes = m_data.ConsumeRandomLengthString(256);
    QString text = QString::fromUtf8(bytes.data(), int(bytes.size()));
    if (m_wire) {
        return text.remove(QChar(0));
    }
    // Raw UTF-16 reaches lone surrogates and NUL, which no D-Bus client can send but the console can.
    if (!bytes.empty() && bytes[0] == '\x01') {
        text.clear();
        for (size_t i = 1; i + 1 < bytes.size(); i += 2) {
            text.append(QChar(ushort(uchar(bytes[i]) | uchar(bytes[i + 1]) << 8)));
        }
    }
    return text;
}

QVariantMap FuzzVariant::map(int depth)
{
    QVariantMap result;
    for (int count = m_data.ConsumeIntegralInRange(0, 8); count > 0 && m_data.remaining_bytes() > 0; --count) {
        // Keys mostly from the protocol.
        const QString key = m_data.ConsumeIntegralInRange(0, 3) != 0 ? *pickFrom(m_data, protocolKeys) : text();
        result.insert(key, value(depth + 1));
    }
    return result;
}

QVariant FuzzVariant::value(int depth)
{
    // Leaves, then containers (texts past the depth or node budget), then what only a local map holds.
    enum Kind {
        Int,
        LongLong,
        UInt,
        ULongLong,
        Short,
        UShort,
        Byte,
        Bool,
        Double,
        Text,
        IdText,
        Bytes,
        ObjectPath,
        Signature,
        StringList,
        List,
        Map,
        DBusVariant,
        Hash,
        Invalid
    };
    int kind = m_data.ConsumeIntegralInRange<int>(0, m_wire ? DBusVariant : Invalid);
    if (kind >= StringList && kind <= Hash && (depth >= m_depth || --m_nodes <= 0)) {
        kind = Text;
    }
    QVariantList list;
    switch (kind) {
    case Int:
        return m_data.ConsumeBool() ? int(pickFrom(m_data, edgeNumbers)) : number<int>();
    case LongLong:
        return m_data.ConsumeBool() ? pickFrom(m_data, edgeNumbers) : number<qlonglong>();
    case UInt:
        return number<uint>();
    case ULongLong:
        return number<qulonglong>();
    case Short:
        return number<short>();
    case UShort:
        return number<ushort>();
    case Byte:
        return number<uchar>();
    case Bool:
        return m_data.ConsumeBool();
    case Double: // finite, so that values compare equal to themselves
        return double(m_data.ConsumeIntegral<int>()) / m_data.ConsumeIntegralInRange(1, 1000);
    case Text:
        return text();
    case IdText:
        return idText();
    case Bytes:
        return QByteArray::fromStdString(m_data.ConsumeRandomLengthString(256));
    case ObjectPath: {
        QString path = QStringLiteral("/");
        for (int segments = m_data.ConsumeIntegralInRange(0, 4); segments > 0; --segments) {
            path += QStringLiteral("s%1/").arg(m_data.ConsumeIntegral<uchar>());
        }
        return QVariant::fromValue(QDBusObjectPath(path.size() > 1 ? path.chopped(1) : path));
    }
    case Signature:
        return QVariant::fromValue(QDBusSignature(QString::fromLatin1(pickFrom(m_data, signatures))));
    case StringList:
    case List:
        for (int count = m_data.ConsumeIntegralInRange(0, 6); count > 0 && m_data.remaining_bytes() > 0; --count) {
            list.append(kind == List ? value(depth + 1) : text());
        }
        return kind == List ? QVariant(list) : QVariant(list).toStringList();
    case Map:
        return map(depth);
    case DBusVariant:
        return QVariant::fromValue(QDBusVariant(value(depth + 1)));
    case Hash: {
        const QVariantMap entries = map(depth);
        return QVariantHash(entries.cbegin(), entries.cend());
    }
    default:
        return QVariant();
    }
}

bool FuzzVariant::readableSeed(const uint8_t* bytes, size_t size, QVariantMap& map)
{
    if (size == 0 || bytes[0] != '{') {
        return false;
    }
    map = QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), int(size)))
              .object()
              .toVariantMap();
    return true;
}
