#pragma once

#include "TopicSettings.h"

#include <QObject>
#include <QString>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The serial port settings ("serialCom" catalog, settings file "serialCom"). Getters take a
// collection name, setters a value, a collection name and a save flag that writes the change
// through to the settings file.
class SerialCom : public TopicSettings {
    Q_OBJECT

public:
    SerialCom(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    int getBaudrate(const QString& collection) const;
    void setBaudrate(int value, const QString& collection, bool save);
    QString getDatabit(const QString& collection) const;
    void setDatabit(const QString& value, const QString& collection, bool save);
    QString getParity(const QString& collection) const;
    void setParity(const QString& value, const QString& collection, bool save);
    QString getStopbit(const QString& collection) const;
    void setStopbit(const QString& value, const QString& collection, bool save);
    QString getHandshake(const QString& collection) const;
    void setHandshake(const QString& value, const QString& collection, bool save);
};
