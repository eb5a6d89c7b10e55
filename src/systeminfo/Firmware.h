#pragma once

#include <QObject>
#include <QVariantMap>

// The date of the installed firmware, as the update manager recorded it (an RFC 2822 time stamp).
class Firmware : public QObject {
    Q_OBJECT

public:
    explicit Firmware(QObject* parent = nullptr);

    // {ls::firmwareKey: "yyyy-MM-dd"}; the date is empty when the stamp does not parse, and the map
    // is empty when the file cannot be read.
    QVariantMap get() const;
};
