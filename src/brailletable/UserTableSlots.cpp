#include "UserTableSlots.h"

#include "Locations.h"
#include "MetadataKeys.h"
#include "SafePath.h"
#include "TableLists.h"
#include "TableNames.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"
#include "ls/IWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

CM_LOGGING_CATEGORY(lcUserTableSlots, "UserTableSlots")

namespace {

namespace Keys = MetadataKeys;

const QStringList userTableExtensions = { QStringLiteral(".ctb"), QStringLiteral(".cti"), QStringLiteral(".tbl") };

// A user table header is a few dozen lines; anything far beyond is not a table header.
constexpr int maxHeaderLines = 1000;
constexpr int maxHeaderLineLength = 4096;

QString slotFile(const QString& slot, const QString& extension)
{
    return QStringLiteral("%1/%2%3").arg(Locations::liblouisTablesDir(), slot, extension);
}

} // namespace

UserTableSlots::UserTableSlots(ls::IReader* reader, ls::IWriter* writer, TableLists& lists)
    : m_reader(reader)
    , m_writer(writer)
    , m_lists(lists)
{
}

QString UserTableSlots::userDefinedMetadataFile()
{
    return TableNames::languageMetadataFile(Locations::embosserLiblouisDir(), TableNames::userLanguage());
}

bool UserTableSlots::setJsonSettings(const QString& path, const QString& table, const QMap<QString, QString>& values)
{
    const QString key = TableNames::userTableKey(table);
    if (key.isEmpty()) {
        LOG_ERROR(lcUserTableSlots) << table << "names no user table slot";
        return false;
    }
    QVariantMap content;
    if (QFileInfo::exists(path) && !m_reader->readToMap(path, content)) {
        // A file that cannot be parsed is left for repair rather than replaced by one entry.
        LOG_FAILED(lcUserTableSlots) << "reading" << path << "failed";
        return false;
    }
    QVariantMap entry = content.value(key).toMap();
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        entry.insert(it.key(), it.value());
    }
    content.insert(key, entry);
    if (!m_writer->writeFromMap(QString(), path, content)) {
        LOG_FAILED(lcUserTableSlots) << "writing" << path << "failed";
        return false;
    }
    return true;
}

bool UserTableSlots::exportTableMetadata(const QString& path, const QString& tableFile)
{
    const QString directory = Locations::liblouisTablesDir();
    const QString tablePath = Locations::join(directory, tableFile);
    if (!SafePath::isPlainName(tableFile) || !SafePath::isInside(directory, tablePath)) {
        LOG_ERROR(lcUserTableSlots) << "refusing table file" << tableFile;
        return false;
    }
    QFile file(tablePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        LOG_ERROR(lcUserTableSlots) << "opening table" << tablePath << "failed!";
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
            LOG_ERROR(lcUserTableSlots) << "header of" << tablePath << "is too long";
            return false;
        }
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 2) {
            continue; // no key
        }
        header.insert(line.mid(2, colon - 1), line.mid(colon + 1));
    }
    if (header.isEmpty()) {
        LOG_ERROR(lcUserTableSlots) << tablePath << "has no \"#+\" header";
        return false;
    }
    return setJsonSettings(path, tableFile, header);
}

QVariantMap UserTableSlots::getUserTables() const
{
    QVariantMap tables;
    for (const QString& extension : userTableExtensions) {
        for (const QString& slot : { TableNames::userSlot6Dot(), TableNames::userSlot8Dot() }) {
            if (QFileInfo::exists(slotFile(slot, extension))) {
                tables.insert(slot, tables.value(slot).toString() + extension + QLatin1Char(' '));
            }
        }
    }
    return tables;
}

bool UserTableSlots::addUserTable(const QString& tableFile, int dots)
{
    if (!SafePath::isPlainName(tableFile)) {
        LOG_ERROR(lcUserTableSlots) << "refusing table file" << tableFile;
        return false;
    }
    const QString suffix = QFileInfo(tableFile).suffix();
    if (suffix.compare(QLatin1String("ctb"), Qt::CaseInsensitive) == 0) {
        return setJsonSettings(userDefinedMetadataFile(), tableFile, { { Keys::status, Keys::activeStatus } })
            && m_lists.refreshLiblouisList(dots);
    }
    if (suffix.compare(QLatin1String("tbl"), Qt::CaseInsensitive) == 0) {
        if (!exportTableMetadata(userDefinedMetadataFile(), tableFile)) {
            return false;
        }
        // The header may have changed what the list shows.
        m_lists.refreshLiblouisList(dots);
        return true;
    }
    if (suffix.compare(QLatin1String("cti"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    LOG_ERROR(lcUserTableSlots) << "unknown kind of table file" << tableFile;
    return false;
}

bool UserTableSlots::removeUserTable(const QString& slot, int dots)
{
    const QString slotName = SafePath::isPlainName(slot) ? TableNames::userTableSlot(slot) : QString();
    if (slotName.isEmpty()) {
        LOG_ERROR(lcUserTableSlots) << "refusing user table slot" << slot;
        return false;
    }
    bool removed = true;
    for (const QString& extension : userTableExtensions) {
        const QString file = slotFile(slotName, extension);
        if (QFileInfo::exists(file) && !QFile::remove(file)) {
            LOG_FAILED(lcUserTableSlots) << "removing" << file << "failed";
            removed = false;
        }
    }
    const QMap<QString, QString> reset {
        { Keys::contraction, QStringLiteral("no") },
        { Keys::dots, QString::number(dots) },
        { Keys::grade, QStringLiteral("0") },
        { Keys::locale, QStringLiteral("not specified") },
        { Keys::status, QStringLiteral("not defined") },
        { Keys::type, QStringLiteral("computer") },
    };
    const bool entryReset = setJsonSettings(userDefinedMetadataFile(), slotName, reset);
    const bool listed = m_lists.refreshLiblouisList(dots);
    return removed && entryReset && listed;
}
