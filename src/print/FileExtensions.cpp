#include "FileExtensions.h"

#include "DataFileLoader.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcFileExtensions, "FileExtensions")

namespace {

const QString activeKey = QStringLiteral("active");
const QString filterKey = QStringLiteral("filter");
const QString servicesKey = QStringLiteral("services");
const QString rawKey = QStringLiteral("raw");
const QString previewKey = QStringLiteral("preview");

bool isMap(const QVariant& value)
{
    return value.userType() == QMetaType::QVariantMap;
}

// A JSON null has no D-Bus form: a member holding it counts as missing.
bool isValue(const QVariant& value)
{
    return value.isValid() && value.userType() != QMetaType::Nullptr;
}

bool isTrue(const QVariant& value)
{
    return value.userType() == QMetaType::Bool && value.toBool();
}

// The member `service` of an entry's "services", when both are objects.
bool serviceOf(const QVariantMap& entry, const QString& service, QVariantMap& out)
{
    const QVariant services = entry.value(servicesKey);
    if (!isMap(services)) {
        return false;
    }
    const QVariant member = services.toMap().value(service);
    if (!isMap(member)) {
        return false;
    }
    out = member.toMap();
    return true;
}

} // namespace

FileExtensions::FileExtensions(const ls::IReader& reader, QObject* parent)
    : QObject(parent)
{
    load(reader);
}

bool FileExtensions::load(const ls::IReader& reader)
{
    return DataFileLoader::load(reader, QStringLiteral("fileExtensions.json"), m_extensions, Q_FUNC_INFO,
        lcFileExtensions(), DataShape::objects());
}

QVariantMap FileExtensions::activeEntries() const
{
    QVariantMap active;
    for (auto it = m_extensions.cbegin(); it != m_extensions.cend(); ++it) {
        if (isMap(it.value()) && isTrue(it.value().toMap().value(activeKey))) {
            active.insert(it.key(), it.value());
        }
    }
    return active;
}

QVariantList FileExtensions::getFilters() const
{
    QVariantList filters;
    for (const QVariant& entry : activeEntries()) {
        if (isValue(entry.toMap().value(filterKey))) {
            filters << entry.toMap().value(filterKey);
        }
    }
    return filters;
}

QVariantList FileExtensions::getExtensions(const QString& service, bool raw) const
{
    QVariantList extensions;
    const QVariantMap active = activeEntries();
    for (auto it = active.cbegin(); it != active.cend(); ++it) {
        QVariantMap member;
        if (serviceOf(it.value().toMap(), service, member) && member.value(rawKey).userType() == QMetaType::Bool
            && member.value(rawKey).toBool() == raw) {
            extensions << it.key();
        }
    }
    return extensions;
}

QVariantMap FileExtensions::getPreviews(const QString& service) const
{
    QVariantMap previews;
    const QVariantMap active = activeEntries();
    for (auto it = active.cbegin(); it != active.cend(); ++it) {
        QVariantMap member;
        if (serviceOf(it.value().toMap(), service, member) && isValue(member.value(previewKey))) {
            previews.insert(it.key(), member.value(previewKey));
        }
    }
    return previews;
}
