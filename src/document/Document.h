#pragma once

#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

namespace ls {
class IReader;
}

// One catalogue of documents that the front ends offer, a JSON file of the data directory loaded
// once at start. get() answers the entries that fit the machine as it is configured now, so a
// change of model or layout shows without a reload.
class Document : public QObject {
    Q_OBJECT

public:
    const QString& fileName() const { return m_fileName; }
    const QVariantMap& content() const { return m_content; }

    // The entries that fit the machine now.
    virtual const QVariantMap get() const = 0;
    // Reads the catalogue; a demo or service catalogue that cannot be read is restored from its
    // factory copy first. False leaves the content empty and every answer empty.
    virtual bool load(const ls::IReader& reader) = 0;

protected:
    Document(const QString& fileName, QObject* parent);

    // The load of the catalogues of the "List" form, restored from the backup when unreadable;
    // `caller` is the derived load's Q_FUNC_INFO, for its log lines.
    bool loadList(const ls::IReader& reader, const char* caller, const QLoggingCategory& category);
    // {"List": the entries of the "List" array that `keep` accepts, in file order}.
    template <class Predicate> QVariantMap filteredList(Predicate keep) const
    {
        QVariantList kept;
        const QVariantList entries = m_content.value(listKey).toList();
        for (const QVariant& entry : entries) {
            if (keep(entry.toMap())) {
                kept.append(entry);
            }
        }
        return { { listKey, kept } };
    }

    static const QString listKey;

    QVariantMap m_content;

private:
    const QString m_fileName;
};
