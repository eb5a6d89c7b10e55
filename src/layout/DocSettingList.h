#pragma once

#include <QObject>
#include <QVariantMap>

namespace ls {
class IReader;
}

// The document-setting groups of "docSettingList.json": group name -> key -> integer code, for
// example the legacy braille tables under "Braille language" with the code a document names
// them by. Read once at start-up.
class DocSettingList : public QObject {
    Q_OBJECT

public:
    explicit DocSettingList(const ls::IReader& reader, QObject* parent = nullptr);

    // Reads the file, restoring it from the backup copy when it cannot be read.
    bool load(const ls::IReader& reader);

    // The key of `group` whose code is `code`; when several keys share the code, the one that
    // sorts first. Empty when the group or the code is absent.
    QString returnDocSettingKey(const QString& group, int code) const;

    QVariantMap getDocSettingList() const { return m_groups; }

private:
    QVariantMap m_groups;
};
