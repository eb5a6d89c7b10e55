#pragma once

#include <QObject>
#include <QVariantList>
#include <QVariantMap>

namespace ls {
class IReader;
}

// The file types the embosser takes ("fileExtensions.json": extension -> {"active", "filter",
// "services": {service id -> {"raw", "preview"}}}), loaded once at start through the
// load-and-restore rule. The queries walk the extensions in name order and look only at active
// entries; an entry or service member of the wrong kind is invisible to the query that needs it.
class FileExtensions : public QObject {
    Q_OBJECT

public:
    explicit FileExtensions(const ls::IReader& reader, QObject* parent = nullptr);

    bool load(const ls::IReader& reader);

    // The file-dialog filter of every active type.
    QVariantList getFilters() const;
    // The active types that `service` takes unconverted (raw) or converted (!raw); a type whose
    // service member has no bool "raw" is in neither list.
    QVariantList getExtensions(const QString& service, bool raw) const;
    // extension -> the preview of `service`, for every active type whose service member has one.
    QVariantMap getPreviews(const QString& service) const;

private:
    // The active entries, as extension -> entry.
    QVariantMap activeEntries() const;

    QVariantMap m_extensions;
};
