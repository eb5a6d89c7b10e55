#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// One topic settings file and the copies that keep it usable after a crash, a power cut or a bad
// write of someone else: the last good content beside it ("<file>.good", refreshed after every
// successful save) and the factory copy (backup/embosser/factory/<name>). A missing or damaged
// file (unreadable, not a JSON object) is replaced by the last good copy, else by the factory copy;
// a damaged one is first moved aside to "<file>.damaged" for inspection. Every repair is logged so
// that it shows whatever the logging rules. A file still in the key=value form of the previous
// firmware is left alone for the one-time conversion.
class SettingsFile {
public:
    enum class Origin {
        File, // read as it was
        LastGood, // restored from the last good copy
        Factory, // restored from the factory copy
        Legacy, // the previous firmware's form, left for the conversion
        Nothing, // no usable content anywhere
    };

    SettingsFile(
        const QString& path, const ls::IReader& reader, const ls::IWriter& writer, const QLoggingCategory& category);

    const QString& path() const { return m_path; }
    QString lastGoodPath() const;
    QString damagedPath() const;
    QString factoryPath() const;

    // Reads the file, repairing it first when it is missing or damaged; `out` is empty unless
    // the origin is File, LastGood or Factory.
    Origin read(QVariantMap& out, const char* caller) const;
    // Writes one key, keeping the file's others; false when the file is damaged (then write it
    // whole) or the write failed.
    bool writeKey(const QString& key, const QVariant& value, const char* caller) const;
    // Replaces the whole content; a damaged file is moved aside first.
    bool writeAll(const QVariantMap& values, const char* caller) const;

private:
    bool isLegacyForm() const;
    bool restoreFrom(const QString& copy, QVariantMap& out) const;
    void moveAside(const char* caller) const;
    void keepAsLastGood() const;

    const QString m_path;
    const ls::IReader& m_reader;
    const ls::IWriter& m_writer;
    const QLoggingCategory& m_category;
};
