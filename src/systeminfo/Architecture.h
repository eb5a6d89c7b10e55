#pragma once

#include "TopicSettings.h"

#include <QObject>
#include <QString>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The architecture of the print processor, catalog "arch" in the slave state directory. The file
// always holds the value: a missing or empty file is written at start-up with the default or the
// flash memory's value.
class Architecture : public TopicSettings {
    Q_OBJECT

public:
    Architecture(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    QString getArchitecture(const QString& collection) const;
    void setArchitecture(const QString& value, const QString& collection, bool save);
};
