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
// that the settings files and the flash always describe the same machine; the flash is never
// written from settings that lost their model. A new serial number is
// announced through `notification`, in the map shape of the command handlers.
class EmbosserConf : public TopicSettings {
    Q_OBJECT

public:
    EmbosserConf(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    // The members the service itself uses or that carry rules; the other identity values are plain
    // parameters that the D-Bus methods reach by name through the accessor.
    QString getModel(const QString& collection) const;
    // Only a model of the embosser list: the model names directories and decides the next start's
    // reconciliation with the flash, so neither an empty name nor a path may get in.
    void setModel(const QString& value, const QString& collection, bool save);
    // Whether the embosser list names the model.
    bool isKnownModel(const QString& model) const;
    int getConfiguration(const QString& collection) const;
    void setConfiguration(int value, const QString& collection, bool save);
    QString getSerialNo(const QString& collection) const;
    // Announces the new number even when writing the settings file failed; not when the catalog or
    // the parameter is missing (nothing changed then).
    void setSerialNo(const QString& value, const QString& collection, bool save);

    // Always the master collection; the setter always saves.
    int getFirstTimeSetup() const;
    void setFirstTimeSetup(int value);

    // Every identity value of the master collection, keyed by parameter name.
    QVariantMap embosserInfoCmd() const;

    void emitNotification(const EnumKey& action, const QString& key, const QVariant& value) const;

signals:
    void notification(QVariantMap notification) const;

private:
    // `modelIsGuess`: the settings file was restored from its factory copy, whose model may be
    // another machine's.
    void reconcileModelWithFlash(bool modelIsGuess);

    const ls::IReader& m_reader;
};
