#include "TableMetadata.h"

#include "LegacyTableBuffer.h"
#include "Locations.h"
#include "MetadataKeys.h"
#include "SafePath.h"
#include "TableNames.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"

#include <QFile>
#include <QFileInfo>

CM_LOGGING_CATEGORY(lcTableMetadata, "TableMetadata")

namespace Keys = MetadataKeys;

TableMetadata::TableMetadata(ls::IReader* reader)
    : m_reader(reader)
{
}

QVariantMap TableMetadata::getTableMetadata(const QString& language, const QString& table) const
{
    return lookup(Q_FUNC_INFO, Family::Liblouis, language, table);
}

QVariantMap TableMetadata::getLegacyTableMetadata(const QString& language, const QString& table) const
{
    return lookup(Q_FUNC_INFO, Family::Legacy, language, table);
}

QVariantMap TableMetadata::member(const QString& file, const QString& table) const
{
    QVariantMap tables;
    m_reader->readToMap(file, tables); // the reader logs why a file cannot be parsed
    return tables.value(table).toMap();
}

QVariantMap TableMetadata::lookup(
    const char* function, Family family, const QString& language, const QString& table) const
{
    const bool legacy = family == Family::Legacy;
    const QString& root = legacy ? Locations::legacyTablesDir() : Locations::embosserLiblouisDir();
    const QString file = TableNames::languageMetadataFile(root, language);
    if (!SafePath::isPlainName(language) || !SafePath::isPlainName(table) || !SafePath::isInside(root, file)) {
        qCCritical(lcTableMetadata).noquote()
            << libcorvane::logPrefix(function, "ERROR:") << "refusing table" << language << table;
        return QVariantMap();
    }
    if (!QFile(file).open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (legacy) {
            // Log monitoring still matches the line of the older command handler.
            qCCritical(lcTableMetadata).noquote()
                << "BrailleTable::getTableMetadata FAILED: Unable to open table file!";
        } else {
            qCCritical(lcTableMetadata).noquote()
                << libcorvane::logPrefix(function, "FAILED!") << "Unable to open table file!";
        }
        return QVariantMap();
    }
    QVariantMap entry = member(file, table);

    // One step of replacement only: the successor's own replacement is not followed.
    if (entry.value(Keys::status).toString() == Keys::replacedStatus && entry.contains(Keys::replacedBy)) {
        const QString replacement = entry.value(Keys::replacedBy).toString();
        const QStringList parts = replacement.split(QLatin1Char('/'));
        const QString replacementFile = TableNames::languageMetadataFile(root, parts.at(0));
        if (parts.size() < 2) {
            qCCritical(lcTableMetadata).noquote()
                << libcorvane::logPrefix(function, "ERROR:") << "Replacement table path could not be parsed.";
        } else if (!SafePath::isPlainName(parts.at(0)) || !SafePath::isInside(root, replacementFile)) {
            qCCritical(lcTableMetadata).noquote()
                << libcorvane::logPrefix(function, "ERROR:") << "refusing replacement" << replacement;
        } else if (QFileInfo::exists(replacementFile)) {
            entry = member(replacementFile, parts.at(1));
        }
    }

    if (!TableNames::hasDisplayName(entry)) {
        entry.insert(Keys::displayName,
            legacy ? TableNames::legacyDisplayName(QStringLiteral("%1/%2").arg(language, table))
                   : TableNames::liblouisDisplayName(language, table));
    }
    return entry;
}

bool TableMetadata::updateLiblouisTable(QString& table) const
{
    QString language;
    QString key;
    if (!TableNames::split(table, language, key)) {
        LOG_ERROR(lcTableMetadata) << "refusing table name" << table;
        return false;
    }
    const QString root = Locations::embosserLiblouisDir();
    const QString file = TableNames::languageMetadataFile(root, language);
    if (!SafePath::isInside(root, file)) {
        LOG_ERROR(lcTableMetadata) << "metadata of" << language << "lies outside" << root;
        return false;
    }
    QVariantMap tables;
    if (QFileInfo::exists(file)) {
        m_reader->readToMap(file, tables);
    }
    const auto found = tables.constFind(key);
    if (found == tables.constEnd()) {
        LOG_ERROR(lcTableMetadata) << table << "table could not found!";
        return false;
    }
    const QVariantMap entry = found.value().toMap();
    if (entry.value(Keys::status).toString() != Keys::replacedStatus) {
        return true;
    }
    // Entries that share a source file are alternatives of each other.
    const QString sourceFile = entry.value(Keys::sourceFile).toString();
    for (auto it = tables.cbegin(); !sourceFile.isEmpty() && it != tables.cend(); ++it) {
        if (it == found) {
            continue;
        }
        const QVariantMap candidate = it.value().toMap();
        if (candidate.value(Keys::status).toString() == Keys::activeStatus
            && candidate.value(Keys::sourceFile).toString() == sourceFile) {
            table = QStringLiteral("%1/%2").arg(language, it.key());
            return true;
        }
    }
    LOG_ERROR(lcTableMetadata) << table << "table could not found!";
    return false;
}

bool TableMetadata::loadLegacyTable(const QString& path) const
{
    return LegacyTableBuffer::load(path);
}

QString TableMetadata::legacyTableField(lcm::LegacyTable field) const
{
    return LegacyTableBuffer::field(field);
}

QString TableMetadata::legacyTablePath(const char* function, const QString& table) const
{
    QString language;
    QString file;
    const QString root = Locations::legacyTablesDir();
    const QString path = Locations::join(root, table);
    if (!TableNames::split(table, language, file) || !SafePath::isInside(root, path)) {
        qCCritical(lcTableMetadata).noquote()
            << libcorvane::logPrefix(function, "ERROR:") << "refusing legacy table name" << table;
        return QString();
    }
    return path;
}

int TableMetadata::legacyTableDots(const QString& table) const
{
    const QString path = legacyTablePath(Q_FUNC_INFO, table);
    return !path.isEmpty() && LegacyTableBuffer::load(path) ? LegacyTableBuffer::dots() : -1;
}

int TableMetadata::legacyTableType(const QString& table) const
{
    const QString path = legacyTablePath(Q_FUNC_INFO, table);
    return !path.isEmpty() && LegacyTableBuffer::load(path) ? LegacyTableBuffer::typeCode() : -1;
}
