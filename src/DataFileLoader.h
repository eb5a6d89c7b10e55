#pragma once

#include "DataShape.h"

#include <QLoggingCategory>
#include <QString>
#include <QVariantMap>

namespace ls {
class IReader;
}

// The one load-and-restore rule of the read-only data files in the data directory: read the file
// and check its shape; when either fails, copy the factory copy of the same name from the backup
// directory over it and read and check again. Log lines carry the caller's name
// ("Property::load"), as if it had written them.
class DataFileLoader {
public:
    // callerSignature: Q_FUNC_INFO of the loading function. Returns false (and leaves `out` empty)
    // when neither the file nor its restored copy could be read with the shape.
    static bool load(const ls::IReader& reader, const QString& fileName, QVariantMap& out, const char* callerSignature,
        const QLoggingCategory& category, const DataShape& shape = DataShape());

    static QString dataFile(const QString& fileName);
    static QString backupFile(const QString& fileName);
};
