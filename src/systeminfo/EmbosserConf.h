#pragma once

#include "TopicSettings.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class CatalogsManager;
class EnumKey;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The identity of the machine, catalog "embosserConf": model, company, serial number, factory test
// data, regulatory domain, first-time setup state and the paths of tables and speech files.
// At construction the configured model is reconciled with the model kept in the flash memory, so
// that the settings files and the flash always describe the same machine. A new serial number is
// announced through `notification`, in the map shape of the command handlers.
class EmbosserConf : public TopicSettings {
    Q_OBJECT

public:
    EmbosserConf(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    QString getCompanyName(const QString& collection) const;
    void setCompanyName(const QString& value, const QString& collection, bool save);
    int getConfiguration(const QString& collection) const;
    void setConfiguration(int value, const QString& collection, bool save);
    QString getModel(const QString& collection) const;
    void setModel(const QString& value, const QString& collection, bool save);
    int getFileSuffix(const QString& collection) const;
    void setFileSuffix(int value, const QString& collection, bool save);
    QString getSpeechPath(const QString& collection) const;
    void setSpeechPath(const QString& value, const QString& collection, bool save);
    QString getTablePath(const QString& collection) const;
    void setTablePath(const QString& value, const QString& collection, bool save);
    QString getLiblouisPath(const QString& collection) const;
    void setLiblouisPath(const QString& value, const QString& collection, bool save);
    QString getSerialNo(const QString& collection) const;
    // Announces the new number even when writing the settings file failed; not when the catalog or
    // the parameter is missing (nothing changed then).
    void setSerialNo(const QString& value, const QString& collection, bool save);
    QString getTestedBy(const QString& collection) const;
    void setTestedBy(const QString& value, const QString& collection, bool save);
    QString getTestedDate(const QString& collection) const;
    void setTestedDate(const QString& value, const QString& collection, bool save);
    QString getResetDir(const QString& collection) const;
    void setResetDir(const QString& value, const QString& collection, bool save);
    QString getSpeechFileType(const QString& collection) const;
    void setSpeechFileType(const QString& value, const QString& collection, bool save);
    QString getRegulatoryDomain(const QString& collection) const;
    void setRegulatoryDomain(const QString& value, const QString& collection, bool save);
    int getEMCTest(const QString& collection) const;
    void setEMCTest(int value, const QString& collection, bool save);

    // Always the master collection; the setter always saves.
    int getFirstTimeSetup() const;
    void setFirstTimeSetup(int value);

    // Every identity value of the master collection, keyed by parameter name.
    QVariantMap embosserInfoCmd() const;

    void emitNotification(const EnumKey& action, const QString& key, const QVariant& value) const;

signals:
    void notification(QVariantMap notification) const;

private:
    void reconcileModelWithFlash();
};
