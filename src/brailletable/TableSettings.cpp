#include "TableSettings.h"

#include "LegacyTableBuffer.h"
#include "Locations.h"
#include "TableNames.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"
#include "ls/IWriter.h"
#include "ls/Keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QTextStream>

CM_LOGGING_CATEGORY(lcTableSettings, "TableSettings")

namespace {

// Metadata entry keys.
const QString displayNameKey = QStringLiteral("display-name:");
const QString nameKey = QStringLiteral("name:");
const QString dotsKey = QStringLiteral("dots:");
const QString gradeKey = QStringLiteral("grade:");
const QString contractionKey = QStringLiteral("contraction:");
const QString typeKey = QStringLiteral("type:");
const QString localeKey = QStringLiteral("locale:");
const QString statusKey = QStringLiteral("status:");
const QString replacedByKey = QStringLiteral("replaced-by:");
const QString sourceFileKey = QStringLiteral("sourcefile:");
const QString sourceKey = QStringLiteral("source:");
const QString legacyTypeKey = QStringLiteral("legacy-type:");

// List file members.
const QString tableCounterKey = QStringLiteral("tableCounter:");
const QString languageCounterKey = QStringLiteral("languageCounter:");
const QString errorKey = QStringLiteral("error:");
const QString sixDotTablesKey = QStringLiteral("6-dot tables:");
const QString eightDotTablesKey = QStringLiteral("8-dot tables:");

const QString activeStatus = QStringLiteral("active");
const QString replacedStatus = QStringLiteral("replaced");
const QString readFailedText = QStringLiteral("JSON file read failed.");
const QString legacyReadFailedText = QStringLiteral("Failed to read!");

const QString userDefinedLanguage = QStringLiteral("UserDefined");
const QString legacySuffix = QStringLiteral(".ebc");
const QStringList userTableExtensions = { QStringLiteral(".ctb"), QStringLiteral(".cti"), QStringLiteral(".tbl") };

// A user table header is a few dozen lines; anything far beyond is not a table header.
constexpr int maxHeaderLines = 1000;
constexpr int maxHeaderLineLength = 4096;

bool hasDisplayName(const QVariantMap& entry)
{
    const QString name = entry.value(displayNameKey).toString();
    return !name.isEmpty() && name != ls::notSpecifiedKey;
}

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
            const int entryDots = entry.value(dotsKey).toString().toInt(&isNumber);
            if (isNumber && entryDots == dots) {
                tables.insert(
                    QStringLiteral("%1/%2").arg(language.key(), table.key()), entry.value(displayNameKey).toString());
            }
        }
    }
    return tables;
}

QStringList languageDirectories(const QString& root)
{
    return QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

const QString& rootOf(bool legacy)
{
    return legacy ? Locations::legacyTablesDir() : Locations::embosserLiblouisDir();
}

// The file's top-level JSON object; `opened` tells a file that could not be opened from one
// that is not a JSON object.
bool readJsonObject(const QString& path, QJsonObject& out, bool& opened)
{
    QFile file(path);
    opened = file.open(QIODevice::ReadOnly | QIODevice::Text);
    if (!opened) {
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return false;
    }
    out = document.object();
    return true;
}

} // namespace

TableSettings::TableSettings(ls::IReader* reader, ls::IWriter* writer, QObject* parent)
    : QObject(parent)
    , m_reader(reader)
    , m_writer(writer)
{
}

TableSettings::~TableSettings() = default;

QString TableSettings::liblouisListFile(int dots)
{
    return Locations::join(Locations::runDir(), QStringLiteral("libouis%1Dot.json").arg(dots));
}

QString TableSettings::legacyListFile()
{
    return Locations::join(Locations::runDir(), QStringLiteral("legacyTables.json"));
}

QString TableSettings::generatedLegacyMetadataFile()
{
    return Locations::join(Locations::runDir(), QStringLiteral("generatedLegacyMetadata.json"));
}

QString TableSettings::userDefinedMetadataFile()
{
    return languageMetadataFile(Locations::embosserLiblouisDir(), userDefinedLanguage);
}

QString TableSettings::languageMetadataFile(const QString& root, const QString& language)
{
    return QStringLiteral("%1/%2/%3.json").arg(root, language, language);
}

// Legacy tables

bool TableSettings::loadLegacyTable(const QString& path) const
{
    if (!LegacyTableBuffer::load(path)) {
        LOG_ERROR(lcTableSettings) << "Failed to open file" << path;
        return false;
    }
    return true;
}

QString TableSettings::legacyTableField(lcm::LegacyTable field) const
{
    return LegacyTableBuffer::field(field);
}

QString TableSettings::legacyTablePath(const char* function, const QString& table) const
{
    QString language;
    QString file;
    const QString root = Locations::legacyTablesDir();
    if (!TableNames::split(table, language, file)) {
        qCCritical(lcTableSettings).noquote()
            << libcorvane::logPrefix(function, "ERROR:") << "refusing legacy table name" << table;
        return QString();
    }
    const QString path = Locations::join(root, table);
    if (!TableNames::isInside(root, path)) {
        qCCritical(lcTableSettings).noquote()
            << libcorvane::logPrefix(function, "ERROR:") << "legacy table" << table << "lies outside" << root;
        return QString();
    }
    return path;
}

int TableSettings::legacyTableDots(const QString& table) const
{
    const QString path = legacyTablePath(Q_FUNC_INFO, table);
    if (path.isEmpty() || !loadLegacyTable(path)) {
        return -1;
    }
    return LegacyTableBuffer::dots();
}

int TableSettings::legacyTableType(const QString& table) const
{
    const QString path = legacyTablePath(Q_FUNC_INFO, table);
    if (path.isEmpty() || !loadLegacyTable(path)) {
        return -1;
    }
    return LegacyTableBuffer::typeCode();
}

// Lists

QVariantMap TableSettings::getLiblouisTables(lcm::BrailleType dots) const
{
    const int count = static_cast<int>(dots);
    const QString path = liblouisListFile(count);
    if (!QFileInfo::exists(path)) {
        LOG_DEBUG(lcTableSettings) << "File" << QFileInfo(path).fileName() << "not found, will be created.";
        generateLiblouisList(count);
    }
    return filterJsonValues(path, count);
}

bool TableSettings::validateLiblouisTable(lcm::BrailleType dots, const QString& table) const
{
    const QVariantMap tables = getLiblouisTables(dots);
    if (tables.isEmpty()) {
        LOG_CRITICAL(lcTableSettings) << "fetching liblouis tables failed!";
        return false;
    }
    return tables.contains(table);
}

QVariantMap TableSettings::getLegacyTables(lcm::BrailleType dots) const
{
    const QString path = legacyListFile();
    if (!QFileInfo::exists(path)) {
        LOG_DEBUG(lcTableSettings) << "File" << QFileInfo(path).fileName() << "not found, will be created.";
        generateLegacyList();
    }
    return filterJsonValues(path, static_cast<int>(dots));
}

QVariantMap TableSettings::getLegacyTables() const
{
    const QString path = legacyListFile();
    if (!QFileInfo::exists(path)) {
        LOG_DEBUG(lcTableSettings) << "File" << QFileInfo(path).fileName() << "not found, will be created.";
        generateLegacyList();
    }
    QVariantMap list;
    if (!m_reader->readToMap(path, list)) {
        LOG_ERROR(lcTableSettings) << "reading" << path << "failed";
        return QVariantMap();
    }
    return list;
}

bool TableSettings::validateLegacyTable(lcm::BrailleType dots, const QString& table) const
{
    const QVariantMap tables = getLegacyTables(dots);
    if (tables.isEmpty()) {
        LOG_CRITICAL(lcTableSettings) << "fetching legacy tables failed!";
        return false;
    }
    return tables.contains(table);
}

QVariantMap TableSettings::filterJsonValues(const QString& path, int dots) const
{
    LOG_DEBUG(lcTableSettings) << "Filtering values for dots:" << dots;
    TableListCache::Stamp stamp;
    const bool stamped = TableListCache::stamp(path, stamp);
    QVariantMap tables;
    if (stamped && m_listCache.find(path, dots, stamp, tables)) {
        return tables;
    }
    QVariantMap list;
    if (!m_reader->readToMap(path, list)) {
        LOG_ERROR(lcTableSettings) << "reading" << path << "failed";
        m_listCache.forget(path);
        return QVariantMap();
    }
    tables = tablesOf(list, dots);
    if (stamped) {
        m_listCache.insert(path, dots, stamp, tables);
    }
    return tables;
}

QVariantMap TableSettings::buildList(Family family, int dots) const
{
    const bool legacy = family == Family::Legacy;
    const QString& root = rootOf(legacy);
    QVariantMap list;
    int languageCount = 0;
    for (const QString& language : languageDirectories(root)) {
        const QString file = languageMetadataFile(root, language);
        if (!QFileInfo::exists(file)) {
            continue;
        }
        QVariantMap tables;
        if (!m_reader->readToMap(file, tables)) {
            LOG_ERROR(lcTableSettings) << "reading" << file << "failed";
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
            const QVariant dotsValue = entry.value(dotsKey);
            const int entryDots = dotsValue.isValid() ? dotsValue.toInt() : (legacy ? 6 : 0);
            const QString status = entry.value(statusKey, ls::notSpecifiedKey).toString();
            if (status != activeStatus || (!legacy && entryDots != dots)) {
                continue;
            }
            if (!hasDisplayName(entry)) {
                entry.insert(displayNameKey,
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

bool TableSettings::writeList(const QString& path, const QVariantMap& list, std::initializer_list<int> listed) const
{
    m_listCache.forget(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        LOG_ERROR(lcTableSettings) << "creating" << QFileInfo(path).absolutePath() << "failed";
        return false;
    }
    if (!m_writer->writeFromMap(QString(), path, list)) {
        LOG_FAILED(lcTableSettings) << "writing" << path << "failed";
        return false;
    }
    // The listing that follows a generation need not read back what was just written.
    TableListCache::Stamp stamp;
    if (TableListCache::stamp(path, stamp)) {
        for (const int dots : listed) {
            m_listCache.insert(path, dots, stamp, tablesOf(list, dots));
        }
    }
    return true;
}

bool TableSettings::generateLiblouisList(int dots) const
{
    return writeList(liblouisListFile(dots), buildList(Family::Liblouis, dots), { dots });
}

bool TableSettings::generateLegacyList() const
{
    return writeList(legacyListFile(), buildList(Family::Legacy, 0), { 6, 8 });
}

bool TableSettings::generateLegacyJson() const
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
            if (!loadLegacyTable(directory.filePath(file))) {
                tables.insert(file, legacyReadFailedText);
                continue;
            }
            const QString table = QStringLiteral("%1/%2").arg(language, file);
            const QString displayName = TableNames::legacyDisplayName(table);
            const int dots = LegacyTableBuffer::dots();
            (dots == 8 ? eightDot : sixDot)++;
            tables.insert(file,
                QVariantMap {
                    { sourceKey, QStringLiteral("legacy-table") },
                    { sourceFileKey, file },
                    { contractionKey, QStringLiteral("no") },
                    { displayNameKey, displayName },
                    { legacyTypeKey, LegacyTableBuffer::typeCode() },
                    { dotsKey, QString::number(dots) },
                    { gradeKey, QStringLiteral("0") },
                    { typeKey, QStringLiteral("computer") },
                    { localeKey, ls::notSpecifiedKey },
                    { nameKey, displayName },
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

// Metadata

QVariantMap TableSettings::tableMetadata(
    const char* function, Family family, const QString& language, const QString& table) const
{
    const bool legacy = family == Family::Legacy;
    const QString& root = rootOf(legacy);
    if (!TableNames::isPlainName(language) || !TableNames::isPlainName(table)) {
        qCCritical(lcTableSettings).noquote()
            << libcorvane::logPrefix(function, "ERROR:") << "refusing table" << language << table;
        return QVariantMap();
    }
    const QString file = languageMetadataFile(root, language);
    if (!TableNames::isInside(root, file)) {
        qCCritical(lcTableSettings).noquote()
            << libcorvane::logPrefix(function, "ERROR:") << "metadata of" << language << "lies outside" << root;
        return QVariantMap();
    }
    QJsonObject tables;
    bool opened = false;
    if (!readJsonObject(file, tables, opened)) {
        if (!opened && legacy) {
            // Log monitoring still matches the line of the older command handler.
            qCCritical(lcTableSettings).noquote()
                << "BrailleTable::getTableMetadata FAILED: Unable to open table file!";
        } else if (!opened) {
            qCCritical(lcTableSettings).noquote()
                << libcorvane::logPrefix(function, "FAILED!") << "Unable to open table file!";
        } else {
            qCCritical(lcTableSettings).noquote()
                << libcorvane::logPrefix(function, "ERROR:") << "parsing" << file << "failed";
        }
        return QVariantMap();
    }
    const QJsonValue member = tables.value(table);
    if (!member.isObject()) {
        qCCritical(lcTableSettings).noquote()
            << libcorvane::logPrefix(function, "ERROR:") << table << "not found in" << file;
        return QVariantMap();
    }
    QVariantMap entry = member.toObject().toVariantMap();

    if (entry.value(statusKey).toString() == replacedStatus && entry.contains(replacedByKey)) {
        const QString replacement = entry.value(replacedByKey).toString();
        const QStringList parts = replacement.split(QLatin1Char('/'));
        if (parts.size() < 2) {
            qCCritical(lcTableSettings).noquote()
                << libcorvane::logPrefix(function, "ERROR:") << "Replacement table path could not be parsed.";
        } else if (!TableNames::isPlainName(parts.at(0))
            || !TableNames::isInside(root, languageMetadataFile(root, parts.at(0)))) {
            qCCritical(lcTableSettings).noquote()
                << libcorvane::logPrefix(function, "ERROR:") << "refusing replacement" << replacement;
        } else {
            const QString replacementFile = languageMetadataFile(root, parts.at(0));
            QJsonObject replacementTables;
            bool replacementOpened = false;
            const QJsonValue successor = (QFileInfo::exists(replacementFile)
                                             && readJsonObject(replacementFile, replacementTables, replacementOpened))
                ? replacementTables.value(parts.at(1))
                : QJsonValue();
            if (successor.isObject()) {
                entry = successor.toObject().toVariantMap();
            } else {
                qCCritical(lcTableSettings).noquote()
                    << libcorvane::logPrefix(function, "ERROR:") << "replacement" << replacement << "not found";
            }
        }
    }

    if (!hasDisplayName(entry)) {
        entry.insert(displayNameKey,
            legacy ? TableNames::legacyDisplayName(QStringLiteral("%1/%2").arg(language, table))
                   : TableNames::liblouisDisplayName(language, table));
    }
    return entry;
}

QVariantMap TableSettings::getTableMetadata(const QString& language, const QString& table) const
{
    return tableMetadata(Q_FUNC_INFO, Family::Liblouis, language, table);
}

QVariantMap TableSettings::getLegacyTableMetadata(const QString& language, const QString& table) const
{
    return tableMetadata(Q_FUNC_INFO, Family::Legacy, language, table);
}

bool TableSettings::updateLiblouisTable(QString& table) const
{
    QString language;
    QString key;
    if (!TableNames::split(table, language, key)) {
        LOG_ERROR(lcTableSettings) << "refusing table name" << table;
        return false;
    }
    const QString root = Locations::embosserLiblouisDir();
    const QString file = languageMetadataFile(root, language);
    if (!TableNames::isInside(root, file)) {
        LOG_ERROR(lcTableSettings) << "metadata of" << language << "lies outside" << root;
        return false;
    }
    QVariantMap tables;
    if (QFileInfo::exists(file)) {
        m_reader->readToMap(file, tables);
    }
    const auto found = tables.constFind(key);
    if (found == tables.constEnd()) {
        LOG_ERROR(lcTableSettings) << table << "table could not found!";
        return false;
    }
    const QVariantMap entry = found.value().toMap();
    if (entry.value(statusKey).toString() != replacedStatus) {
        return true;
    }
    // Entries that share a source file are alternatives of each other.
    const QString sourceFile = entry.value(sourceFileKey).toString();
    for (auto it = tables.cbegin(); !sourceFile.isEmpty() && it != tables.cend(); ++it) {
        if (it == found) {
            continue;
        }
        const QVariantMap candidate = it.value().toMap();
        if (candidate.value(statusKey).toString() == activeStatus
            && candidate.value(sourceFileKey).toString() == sourceFile) {
            table = QStringLiteral("%1/%2").arg(language, it.key());
            return true;
        }
    }
    LOG_ERROR(lcTableSettings) << table << "table could not found!";
    return false;
}

// User tables

bool TableSettings::setJsonSettings(
    const QString& path, const QString& table, const QMap<QString, QString>& values) const
{
    const QString key = TableNames::userTableKey(table);
    if (key.isEmpty()) {
        LOG_ERROR(lcTableSettings) << table << "names no user table slot";
        return false;
    }
    QVariantMap content;
    if (QFileInfo::exists(path) && !m_reader->readToMap(path, content)) {
        // A file that cannot be parsed is left for repair rather than replaced by one entry.
        LOG_FAILED(lcTableSettings) << "reading" << path << "failed";
        return false;
    }
    QVariantMap entry = content.value(key).toMap();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        entry.insert(it.key(), it.value());
    }
    content.insert(key, entry);
    if (!m_writer->writeFromMap(QString(), path, content)) {
        LOG_FAILED(lcTableSettings) << "writing" << path << "failed";
        return false;
    }
    return true;
}

bool TableSettings::exportTableMetadata(const QString& path, const QString& tableFile) const
{
    const QString directory = Locations::liblouisTablesDir();
    const QString tablePath = Locations::join(directory, tableFile);
    if (!TableNames::isPlainName(tableFile) || !TableNames::isInside(directory, tablePath)) {
        LOG_ERROR(lcTableSettings) << "refusing table file" << tableFile;
        return false;
    }
    QFile file(tablePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        LOG_ERROR(lcTableSettings) << "opening table" << tablePath << "failed!";
        return false;
    }
    QTextStream input(&file);
    input.setCodec("UTF-8");
    QMap<QString, QString> header;
    int lines = 0;
    while (!input.atEnd()) {
        const QString line = input.readLine(maxHeaderLineLength + 1);
        if (!line.startsWith(QLatin1String("#+"))) {
            break;
        }
        if (++lines > maxHeaderLines || line.size() > maxHeaderLineLength) {
            LOG_ERROR(lcTableSettings) << "header of" << tablePath << "is too long";
            return false;
        }
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 2) {
            continue; // no key
        }
        header.insert(line.mid(2, colon - 1), line.mid(colon + 1));
    }
    if (header.isEmpty()) {
        LOG_ERROR(lcTableSettings) << tablePath << "has no \"#+\" header";
        return false;
    }
    return setJsonSettings(path, tableFile, header);
}

QVariantMap TableSettings::getUserTables() const
{
    QVariantMap tables;
    for (const QString& extension : userTableExtensions) {
        for (const QString& slot : { TableNames::userSlot6Dot(), TableNames::userSlot8Dot() }) {
            const QString file = QStringLiteral("%1/%2%3").arg(Locations::liblouisTablesDir(), slot, extension);
            if (QFileInfo::exists(file)) {
                tables.insert(slot, tables.value(slot).toString() + extension + QLatin1Char(' '));
            }
        }
    }
    return tables;
}

bool TableSettings::regenerateLiblouisList(int dots) const
{
    if (generateLiblouisList(dots)) {
        return true;
    }
    // A stale list must not outlive the change: without it the next listing generates anew.
    QFile::remove(liblouisListFile(dots));
    return false;
}

bool TableSettings::addUserTable(const QString& tableFile, int dots) const
{
    if (!TableNames::isPlainName(tableFile)) {
        LOG_ERROR(lcTableSettings) << "refusing table file" << tableFile;
        return false;
    }
    const QString suffix = QFileInfo(tableFile).suffix();
    if (suffix.compare(QLatin1String("ctb"), Qt::CaseInsensitive) == 0) {
        return setJsonSettings(userDefinedMetadataFile(), tableFile, { { statusKey, activeStatus } })
            && regenerateLiblouisList(dots);
    }
    if (suffix.compare(QLatin1String("tbl"), Qt::CaseInsensitive) == 0) {
        if (!exportTableMetadata(userDefinedMetadataFile(), tableFile)) {
            return false;
        }
        // The header may have changed what the list shows.
        regenerateLiblouisList(dots);
        return true;
    }
    if (suffix.compare(QLatin1String("cti"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    LOG_ERROR(lcTableSettings) << "unknown kind of table file" << tableFile;
    return false;
}

bool TableSettings::removeUserTable(const QString& slot, int dots) const
{
    // Only the two slots' own files may be deleted, whatever else the name contains.
    const QString slotName = TableNames::isPlainName(slot) ? TableNames::userTableSlot(slot) : QString();
    if (slotName.isEmpty()) {
        LOG_ERROR(lcTableSettings) << "refusing user table slot" << slot;
        return false;
    }
    bool removed = true;
    for (const QString& extension : userTableExtensions) {
        const QString file = QStringLiteral("%1/%2%3").arg(Locations::liblouisTablesDir(), slotName, extension);
        if (QFileInfo::exists(file) && !QFile::remove(file)) {
            LOG_FAILED(lcTableSettings) << "removing" << file << "failed";
            removed = false;
        }
    }
    const QMap<QString, QString> reset {
        { contractionKey, QStringLiteral("no") },
        { dotsKey, QString::number(dots) },
        { gradeKey, QStringLiteral("0") },
        { localeKey, QStringLiteral("not specified") },
        { statusKey, QStringLiteral("not defined") },
        { typeKey, QStringLiteral("computer") },
    };
    const bool entryReset = setJsonSettings(userDefinedMetadataFile(), slotName, reset);
    const bool listed = regenerateLiblouisList(dots);
    return removed && entryReset && listed;
}
