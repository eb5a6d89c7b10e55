#include "SettingsFile.h"

#include "Locations.h"
#include "Utils.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"
#include "ls/IWriter.h"

#include <QFile>
#include <QFileInfo>

#define FILE_LOG(tag) qCCritical(m_category).noquote() << libcorvane::logPrefix(caller, tag)

SettingsFile::SettingsFile(
    const QString& path, const ls::IReader& reader, const ls::IWriter& writer, const QLoggingCategory& category)
    : m_path(path)
    , m_reader(reader)
    , m_writer(writer)
    , m_category(category)
{
}

QString SettingsFile::lastGoodPath() const
{
    return m_path + QStringLiteral(".good");
}

QString SettingsFile::damagedPath() const
{
    return m_path + QStringLiteral(".damaged");
}

QString SettingsFile::factoryPath() const
{
    return Locations::join(Locations::factoryBackupDir(), QFileInfo(m_path).fileName());
}

namespace {
// A settings file is one flat object: parameter name -> value.
bool isFlat(const QVariantMap& values)
{
    for (const QVariant& value : values) {
        const int type = value.userType();
        if (type == QMetaType::QVariantMap || type == QMetaType::QVariantList) {
            return false;
        }
    }
    return true;
}
} // namespace

SettingsFile::Origin SettingsFile::read(QVariantMap& out, const char* caller) const
{
    out.clear();
    const bool exists = QFileInfo::exists(m_path);
    if (exists && m_reader.readToMap(m_path, out) && isFlat(out)) {
        // A machine that never saved since it was set up gets its first good copy here.
        if (!QFileInfo::exists(lastGoodPath())) {
            keepAsLastGood();
        }
        return Origin::File;
    }
    out.clear();
    if (exists && isLegacyForm()) {
        return Origin::Legacy;
    }
    if (exists) {
        FILE_LOG("CRITICAL:") << m_path << "is damaged; moved aside to" << damagedPath();
        moveAside(caller);
    } else {
        FILE_LOG("ERROR:") << "reading" << m_path << "failed";
    }
    if (restoreFrom(lastGoodPath(), out)) {
        FILE_LOG("INFO:") << "Restored" << m_path << "from its last good copy.";
        return Origin::LastGood;
    }
    if (restoreFrom(factoryPath(), out)) {
        FILE_LOG("INFO:") << "Restored" << m_path << "from its factory copy.";
        return Origin::Factory;
    }
    if (exists) {
        FILE_LOG("CRITICAL:") << "no usable copy of" << m_path << "; its values are the defaults until a save.";
    }
    return Origin::Nothing;
}

bool SettingsFile::writeKey(const QString& key, const QVariant& value, const char* caller) const
{
    if (!m_writer.write(m_path, key, value)) {
        FILE_LOG("ERROR:") << "writing property" << key << "to file failed!";
        return false;
    }
    keepAsLastGood();
    return true;
}

bool SettingsFile::writeAll(const QVariantMap& values, const char* caller) const
{
    QVariantMap current;
    const bool readable = m_reader.readToMap(m_path, current) && isFlat(current);
    if (QFileInfo::exists(m_path) && !readable && !isLegacyForm()) {
        FILE_LOG("CRITICAL:") << m_path << "is damaged; moved aside to" << damagedPath();
        moveAside(caller);
    }
    if (!m_writer.writeFromMap(QString(), m_path, values)) {
        return false;
    }
    keepAsLastGood();
    return true;
}

bool SettingsFile::isLegacyForm() const
{
    // Only the paths the previous firmware shared with today's files hold key=value lines.
    if (m_path != Locations::legacyCountersFile() && m_path != Locations::legacyArchFile()
        && m_path != Locations::legacyNetworkFile()) {
        return false;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    const QByteArray content = file.read(64 * 1024);
    if (content.trimmed().startsWith('{')) {
        return false;
    }
    for (const QByteArray& line : content.split('\n')) {
        const QByteArray text = line.trimmed();
        if (!text.isEmpty() && !text.startsWith('#') && !text.contains('=')) {
            return false;
        }
    }
    return true;
}

bool SettingsFile::restoreFrom(const QString& copy, QVariantMap& out) const
{
    out.clear();
    if (!QFileInfo::exists(copy) || !m_reader.readToMap(copy, out) || !isFlat(out)
        || !Utils::copyFile(copy, m_path, true)) {
        out.clear();
        return false;
    }
    return true;
}

void SettingsFile::moveAside(const char* caller) const
{
    QFile::remove(damagedPath());
    if (!QFile::rename(m_path, damagedPath())) {
        FILE_LOG("ERROR:") << "moving" << m_path << "aside failed";
    }
}

void SettingsFile::keepAsLastGood() const
{
    // A failed copy only means an older good copy stays; the file itself is fine.
    Utils::copyFile(m_path, lastGoodPath(), true);
}
