#include "TableLists.h"

#include "LegacyTableBuffer.h"
#include "Locations.h"
#include "MetadataKeys.h"
#include "TableNames.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"
#include "ls/IWriter.h"
#include "ls/Keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

CM_LOGGING_CATEGORY(lcTableLists, "TableLists")

namespace {

namespace Keys = MetadataKeys;

// List file members.
const QString tableCounterKey = QStringLiteral("tableCounter:");
const QString languageCounterKey = QStringLiteral("languageCounter:");
const QString errorKey = QStringLiteral("error:");
const QString sixDotTablesKey = QStringLiteral("6-dot tables:");
const QString eightDotTablesKey = QStringLiteral("8-dot tables:");

const QString readFailedText = QStringLiteral("JSON file read failed.");
const QString legacyReadFailedText = QStringLiteral("Failed to read!");
const QString legacySuffix = QStringLiteral(".ebc");

// "<language>/<table>" to display name for the tables of one dot count in a list. Counters and
// languages whose file could not be read are not objects.
QVariantMap tablesOf(const QVariantMap& list, int dots)
{
    QVariantMap tables;
    for (auto language = list.cbegin(); language != list.cend(); ++language) {
        if (language.value().userType() != QMetaType::QVariantMap) {
            continue;
        }
        const QVariantMap languageTables = language.value().toMap();
        for (auto table = languageTables.cbegin(); table != languageTables.cend(); ++table) {
            if (table.value().userType() != QMetaType::QVariantMap) {
                continue;
            }
            const QVariantMap entry = table.value().toMap();
            bool isNumber = false;
            const int entryDots = entry.value(Keys::dots).toString().toInt(&isNumber);
            if (isNumber && entryDots == dots) {
                tables.insert(QStringLiteral("%1/%2").arg(language.key(), table.key()),
                    entry.value(Keys::displayName).toString());
            }
        }
    }
    return tables;
}

QStringList languageDirectories(const QString& root)
{
    return QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TableLists::TableLists(ls::IReader* reader, ls::IWriter* writer)
    : m_reader(reader)
    , m_writer(writer)
{
}

QString TableLists::liblouisListFile(int dots)
{
    return Locations::join(Locations::runDir(), QStringLiteral("libouis%1Dot.json").arg(dots));
}

QString TableLists::legacyListFile()
{
    return Locations::join(Locations::runDir(), QStringLiteral("legacyTables.json"));
}

QString TableLists::generatedLegacyMetadataFile()
{
    return Locations::join(Locations::runDir(), QStringLiteral("generatedLegacyMetadata.json"));
}

void TableLists::ensureList(const char* function, Family family, int dots)
{
    const QString path = family == Family::Legacy ? legacyListFile() : liblouisListFile(dots);
    if (QFileInfo::exists(path)) {
        return;
    }
    qCDebug(lcTableLists).noquote() << libcorvane::logPrefix(function) << "File" << QFileInfo(path).fileName()
                                    << "not found, will be created.";
    if (family == Family::Legacy) {
        generateLegacyList();
    } else {
        generateLiblouisList(dots);
    }
}

QVariantMap TableLists::getLiblouisTables(lcm::BrailleType dots)
{
    const int count = static_cast<int>(dots);
    ensureList(Q_FUNC_INFO, Family::Liblouis, count);
    return filterJsonValues(liblouisListFile(count), count);
}

bool TableLists::validateLiblouisTable(lcm::BrailleType dots, const QString& table)
{
    const QVariantMap tables = getLiblouisTables(dots);
    if (tables.isEmpty()) {
        LOG_CRITICAL(lcTableLists) << "fetching liblouis tables failed!";
        return false;
    }
    return tables.contains(table);
}

QVariantMap TableLists::getLegacyTables(lcm::BrailleType dots)
{
    ensureList(Q_FUNC_INFO, Family::Legacy, 0);
    return filterJsonValues(legacyListFile(), static_cast<int>(dots));
}

QVariantMap TableLists::getLegacyTables()
{
    ensureList(Q_FUNC_INFO, Family::Legacy, 0);
    QVariantMap list;
    if (!m_reader->readToMap(legacyListFile(), list)) {
        LOG_ERROR(lcTableLists) << "reading" << legacyListFile() << "failed";
        return QVariantMap();
    }
    return list;
}

bool TableLists::validateLegacyTable(lcm::BrailleType dots, const QString& table)
{
    const QVariantMap tables = getLegacyTables(dots);
    if (tables.isEmpty()) {
        LOG_CRITICAL(lcTableLists) << "fetching legacy tables failed!";
        return false;
    }
    return tables.contains(table);
}

QVariantMap TableLists::filterJsonValues(const QString& path, int dots)
{
    LOG_DEBUG(lcTableLists) << "Filtering values for dots:" << dots;
    TableListCache::Stamp stamp;
    const bool stamped = TableListCache::stamp(path, stamp);
    QVariantMap tables;
    if (stamped && m_cache.find(path, dots, stamp, tables)) {
        return tables;
    }
    QVariantMap list;
    if (!m_reader->readToMap(path, list)) {
        LOG_ERROR(lcTableLists) << "reading" << path << "failed";
        m_cache.forget(path);
        return QVariantMap();
    }
    tables = tablesOf(list, dots);
    if (stamped) {
        m_cache.insert(path, dots, stamp, tables);
    }
    return tables;
}

QVariantMap TableLists::buildList(Family family, int dots) const
{
    const bool legacy = family == Family::Legacy;
    const QString& root = legacy ? Locations::legacyTablesDir() : Locations::embosserLiblouisDir();
    QVariantMap list;
    int languageCount = 0;
    for (const QString& language : languageDirectories(root)) {
        const QString file = TableNames::languageMetadataFile(root, language);
        if (!QFileInfo::exists(file)) {
            continue;
        }
        QVariantMap tables;
        if (!m_reader->readToMap(file, tables)) {
            LOG_ERROR(lcTableLists) << "reading" << file << "failed";
            list.insert(language, readFailedText);
            continue;
        }
        QVariantMap listed;
        int sixDot = 0;
        int eightDot = 0;
        for (auto table = tables.cbegin(); table != tables.cend(); ++table) {
            if (table.value().userType() != QMetaType::QVariantMap) {
                continue;
            }
            QVariantMap entry = table.value().toMap();
            const QVariant dotsValue = entry.value(Keys::dots);
            const int entryDots = dotsValue.isValid() ? dotsValue.toInt() : (legacy ? 6 : 0);
            const QString status = entry.value(Keys::status, ls::notSpecifiedKey).toString();
            if (status != Keys::activeStatus || (!legacy && entryDots != dots)) {
                continue;
            }
            if (!TableNames::hasDisplayName(entry)) {
                entry.insert(Keys::displayName,
                    legacy ? TableNames::legacyDisplayName(QStringLiteral("%1/%2").arg(language, table.key()))
                           : TableNames::liblouisDisplayName(language, table.key()));
            }
            if (entryDots == 6) {
                ++sixDot;
            } else if (entryDots == 8) {
                ++eightDot;
            }
            listed.insert(table.key(), entry);
        }
        if (listed.isEmpty()) {
            continue;
        }
        const int tableCount = listed.size();
        listed.insert(tableCounterKey, tableCount);
        if (legacy) {
            listed.insert(sixDotTablesKey, sixDot);
            listed.insert(eightDotTablesKey, eightDot);
        }
        list.insert(language, listed);
        ++languageCount;
    }
    if (languageCount == 0) {
        list.insert(errorKey,
            legacy ? QStringLiteral("No legacy languages to list!") : QStringLiteral("No liblouis languages to list!"));
    }
    list.insert(languageCounterKey, languageCount);
    return list;
}

bool TableLists::writeList(const QString& path, const QVariantMap& list, std::initializer_list<int> listed)
{
    m_cache.forget(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        LOG_ERROR(lcTableLists) << "creating" << QFileInfo(path).absolutePath() << "failed";
        return false;
    }
    if (!m_writer->writeFromMap(QString(), path, list)) {
        LOG_FAILED(lcTableLists) << "writing" << path << "failed";
        return false;
    }
    // The listing that follows a generation need not read back what was just written.
    TableListCache::Stamp stamp;
    if (TableListCache::stamp(path, stamp)) {
        for (const int dots : listed) {
            m_cache.insert(path, dots, stamp, tablesOf(list, dots));
        }
    }
    return true;
}

bool TableLists::generateLiblouisList(int dots)
{
    return writeList(liblouisListFile(dots), buildList(Family::Liblouis, dots), { dots });
}

bool TableLists::generateLegacyList()
{
    return writeList(legacyListFile(), buildList(Family::Legacy, 0), { 6, 8 });
}

bool TableLists::refreshLiblouisList(int dots)
{
    if (generateLiblouisList(dots)) {
        return true;
    }
    QFile::remove(liblouisListFile(dots));
    return false;
}

bool TableLists::generateLegacyJson()
{
    const QString root = Locations::legacyTablesDir();
    QVariantMap metadata;
    for (const QString& language : languageDirectories(root)) {
        const QDir directory(Locations::join(root, language));
        const QStringList files = directory.entryList({ QStringLiteral("*") + legacySuffix }, QDir::Files, QDir::Name);
        if (files.isEmpty()) {
            continue;
        }
        QVariantMap tables;
        int sixDot = 0;
        int eightDot = 0;
        for (const QString& file : files) {
            if (!LegacyTableBuffer::load(directory.filePath(file))) {
                tables.insert(file, legacyReadFailedText);
                continue;
            }
            const QString table = QStringLiteral("%1/%2").arg(language, file);
            const QString displayName = TableNames::legacyDisplayName(table);
            const int dots = LegacyTableBuffer::dots();
            (dots == 8 ? eightDot : sixDot)++;
            tables.insert(file,
                QVariantMap {
                    { Keys::source, QStringLiteral("legacy-table") },
                    { Keys::sourceFile, file },
                    { Keys::contraction, QStringLiteral("no") },
                    { Keys::displayName, displayName },
                    { Keys::legacyType, LegacyTableBuffer::typeCode() },
                    { Keys::dots, QString::number(dots) },
                    { Keys::grade, QStringLiteral("0") },
                    { Keys::type, QStringLiteral("computer") },
                    { Keys::locale, ls::notSpecifiedKey },
                    { Keys::name, displayName },
                    { ls::tableFileKey, table },
                });
        }
        tables.insert(sixDotTablesKey, sixDot);
        tables.insert(eightDotTablesKey, eightDot);
        tables.insert(tableCounterKey, sixDot + eightDot);
        metadata.insert(language, tables);
    }
    return writeList(generatedLegacyMetadataFile(), metadata, {});
}
