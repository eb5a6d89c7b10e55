#pragma once

#include "TopicSettings.h"

#include <QObject>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The architecture of the print processor, catalog "arch" in the slave state directory. A missing
// or empty file is written at start-up with the default or the flash memory's value; a file that
// holds keys keeps them as they are.
class Architecture : public TopicSettings {
    Q_OBJECT

public:
    Architecture(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);
};
