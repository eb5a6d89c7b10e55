#include "JFile.h"

#include "libcorvane/AtomicFile.h"
#include "libcorvane/LogPrefix.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <limits>

namespace {
CM_LOGGING_CATEGORY(lc, "JFile")

QString valueToText(const QVariant& value)
{
    const int type = value.userType();
    if (type == QMetaType::QVariantMap || type == QMetaType::QVariantList || type == QMetaType::QStringList) {
        return QString::fromUtf8(QJsonDocument::fromVariant(value).toJson(QJsonDocument::Compact));
    }
    return value.toString();
}
} // namespace

namespace ls {

JFile::JFile(QObject* parent)
    : QObject(parent)
{
}

namespace {

    // JSON has one number type; Qt reads whole numbers as 64-bit. The service's values are int on
    // every platform it runs on, and clients that receive them over D-Bus expect "i", not "x", so
    // whole numbers that fit are given back as int, at any depth.
    QVariant narrowed(const QVariant& value)
    {
        switch (value.userType()) {
        case QMetaType::LongLong: {
            const qlonglong number = value.toLongLong();
            return number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max()
                ? QVariant(int(number))
                : value;
        }
        case QMetaType::QVariantMap: {
            QVariantMap map = value.toMap();
            for (auto it = map.begin(); it != map.end(); ++it) {
                it.value() = narrowed(it.value());
            }
            return map;
        }
        case QMetaType::QVariantList: {
            QVariantList list = value.toList();
            for (QVariant& item : list) {
                item = narrowed(item);
            }
            return list;
        }
        default:
            return value;
        }
    }

} // namespace

bool JFile::readToMap(const QString& file, QVariantMap& out) const
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        LOG_ERROR(lc) << "reading" << file << "failed:" << input.errorString();
        return false;
    }
    const QByteArray content = input.readAll();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError) {
        LOG_ERROR(lc) << "parsing" << file << "failed at offset" << error.offset << ":" << error.errorString();
        return false;
    }
    if (!document.isObject()) {
        LOG_ERROR(lc) << file << "does not hold a JSON object";
        return false;
    }
    out = narrowed(document.object().toVariantMap()).toMap();
    return true;
}

bool JFile::read(const QString& file, const QString& key, QVariant& out) const
{
    QVariantMap content;
    if (!readToMap(file, content)) {
        return false;
    }
    const auto it = content.constFind(key);
    if (it == content.constEnd()) {
        LOG_WARN(lc) << file << "does not contain" << key;
        return false;
    }
    out = it.value();
    return true;
}

bool JFile::read(const QString& file, const QString& key, QString& out) const
{
    QVariant value;
    if (!read(file, key, value)) {
        return false;
    }
    out = valueToText(value);
    return true;
}

bool JFile::writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const
{
    const QString path = directory.isEmpty() ? file : QStringLiteral("%1/%2").arg(directory, file);
    return writeMap(path, data);
}

bool JFile::write(const QString& file, const QString& key, const QVariant& value) const
{
    QVariantMap content;
    if (!readForUpdate(file, content)) {
        return false;
    }
    content.insert(key, value);
    return writeMap(file, content);
}

bool JFile::writeKeyPath(const QString& file, const QString& keyPath, const QVariant& value) const
{
    const int slash = keyPath.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0 || slash == keyPath.size() - 1) {
        LOG_ERROR(lc) << "key path" << keyPath << "is not <parameter>/<field>";
        return false;
    }
    return writeField(file, keyPath.left(slash), keyPath.mid(slash + 1), value);
}

bool JFile::writeField(const QString& file, const QString& parameter, const QString& field, const QVariant& value) const
{
    QVariantMap content;
    if (!readToMap(file, content)) {
        return false;
    }
    const auto it = content.find(parameter);
    if (it == content.end()) {
        LOG_ERROR(lc) << file << "does not contain" << parameter;
        return false;
    }
    if (it.value().userType() != QMetaType::QVariantMap) {
        LOG_ERROR(lc) << parameter << "in" << file << "is not an object";
        return false;
    }
    QVariantMap record = it.value().toMap();
    record.insert(field, value);
    it.value() = record;
    return writeMap(file, content);
}

bool JFile::readForUpdate(const QString& file, QVariantMap& out) const
{
    // A missing file starts empty; an unreadable one is kept for whoever can repair it.
    if (!QFile::exists(file)) {
        out.clear();
        return true;
    }
    return readToMap(file, out);
}

bool JFile::writeMap(const QString& path, const QVariantMap& data) const
{
    const QByteArray content = QJsonDocument(QJsonObject::fromVariantMap(data)).toJson(QJsonDocument::Indented);
    if (!libcorvane::AtomicFile::write(path, content)) {
        LOG_FAILED(lc) << "writing" << path << "failed!";
        return false;
    }
    return true;
}

} // namespace ls
