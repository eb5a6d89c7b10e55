#pragma once

#include "property/manager/CatalogAccessor.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QVariantMap>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// What every topic settings class has in common: the accessor of its catalog and settings file,
// and reading, loading and saving that file. The derived classes add their getters and setters
// and their own start-up steps. Log lines of the members here carry the derived class's name
// ("SerialCom::readFile ERROR: ..."), as if each class had written them itself.
class TopicSettings : public QObject {
    Q_OBJECT

public:
    // Reads the settings file; a failure logs and leaves `out` empty.
    bool readFile(QVariantMap& out) const;
    // Copies the settings file's values over the master catalog again (repairing a missing or
    // damaged file first); what the file gave.
    CatalogAccessor::Loaded load();
    bool saveToFile() const;

    CatalogAccessor& accessor() { return m_access; }
    const CatalogAccessor& accessor() const { return m_access; }

protected:
    TopicSettings(const QString& catalogName, const QString& settingsFile, const ls::IReader& reader,
        const ls::IWriter& writer, CatalogsManager& catalogs, const QLoggingCategory& category, QObject* parent);

    // The start-up of a class without steps between the two: the settings file, then the flash
    // memory's values. Pass the derived constructor's Q_FUNC_INFO: the base cannot name the
    // derived class while it is being built.
    void loadAndSyncFlash(const char* caller);

    CatalogAccessor m_access;

private:
    // "<derived class>::<function>()", a signature libcorvane::logPrefix reads as Q_FUNC_INFO.
    QByteArray callerName(const char* function) const;
};
