#pragma once

#include "TopicSettings.h"

#include <QObject>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The serial port settings ("serialCom" catalog, settings file "serialCom"): baud rate, data bits,
// parity, stop bits and handshake. Each is a plain parameter that the D-Bus methods reach by name
// through the accessor.
class SerialCom : public TopicSettings {
    Q_OBJECT

public:
    SerialCom(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);
};
