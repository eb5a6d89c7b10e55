#pragma once

#include <QHash>
#include <QPair>
#include <QString>
#include <QVariantMap>

// Filtered views of the generated table list files, each kept for as long as the file on disk
// is the one it was read from: same device and inode (the service replaces files by renaming a
// new one over them), size, and modification and status-change times. A list file that is
// deleted or replaced is therefore read again on the next lookup.
class TableListCache {
public:
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modified = 0;
        qint64 changed = 0;

        bool operator==(const Stamp& other) const;
    };

    // The identity of the file now; false when it does not exist.
    static bool stamp(const QString& path, Stamp& out);

    bool find(const QString& path, int dots, const Stamp& stamp, QVariantMap& out) const;
    void insert(const QString& path, int dots, const Stamp& stamp, const QVariantMap& tables);
    void forget(const QString& path);

private:
    struct Entry {
        Stamp stamp;
        QVariantMap tables;
    };
    QHash<QPair<QString, int>, Entry> m_entries;
};
