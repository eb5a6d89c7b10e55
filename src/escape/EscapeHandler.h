#pragma once

#include "EscapeParametersCatalog.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class CatalogAccessor;
class CatalogsManager;
class DocSettingList;
class LayoutParameters;
class LayoutSettings;
class NetworkProperties;
class PropValueList;
class SystemSettings;
class TempProperties;

namespace ls {
class IReader;
}

// Applies the escape sequences of documents: ESC_D changes the current document's layout and
// paper values, ESC_C the machine configuration. Each received name is resolved to its catalog
// parameter through the escape parameter catalog; every value is converted and checked against its
// definition before the first one is written, so a sequence is never half applied. Missing
// dependencies and an impossible page geometry are raised through the error handler, and the
// handler blocks until the user's answer arrives (Cancel returns the state handler to its previous
// state).
class EscapeHandler : public QObject {
    Q_OBJECT
public:
    // A sequence holds at most this many parameters; both families together have 44.
    static constexpr int maxParameters = 64;

    EscapeHandler(const ls::IReader& reader, CatalogsManager& catalogs, SystemSettings& system, LayoutSettings& layouts,
        const PropValueList& valueLists, const DocSettingList& docSettings, LayoutParameters& layoutParameters,
        NetworkProperties& network, TempProperties& temp, QObject* parent = nullptr);

    bool load(const ls::IReader& reader);
    bool processSequence(const QVariantMap& sequence);
    // The ESC_D identifiers of `parameters` in processing order; empty (and the error raised) when
    // a required partner is missing or two identifiers may not appear together.
    QStringList sortParameters(const QVariantMap& parameters);
    bool processESC_C(const QVariantMap& parameters);
    bool processESC_D(const QVariantMap& parameters);
    bool endOfParameters(const QStringList& identifiers, bool saveFlash, bool document);
    // Batches up to 1713 are refused: the current batch is kept (at least 1600).
    QVariant validateHammerBatch(const QVariant& value);

    // The collection an ESC_D sequence of a document named `fileName` writes to: the collection of
    // that name when the print service made one, else the master collection.
    QString documentCollection() const;

private:
    struct Change {
        QString identifier;
        QString catalog;
        QString name;
        QVariant value;
        QString action; // "setSerialNo" or empty
    };

    // The received value in the parameter's own kind; invalid (and logged) when it has another.
    QVariant receivedValue(const QString& identifier, const QString& valueType, const QVariant& value) const;
    QVariant scaled(const EscapeParametersCatalog& catalog, const QString& name, const QVariant& value) const;
    // The value list entry's description for `code`; invalid when the list has no such code.
    QVariant convert(
        const QString& function, const QString& catalog, const QString& name, int code, const QString& collection);
    bool fits(const QString& catalog, const QString& name, const QVariant& value, const QString& collection) const;
    void write(const Change& change, const QString& collection, bool save);
    // The accessor of the settings class or run-time catalog that owns `catalog`.
    const CatalogAccessor* accessorOf(const QString& catalog) const;
    QVariant currentValue(const QString& catalog, const QString& name, const QString& collection) const;
    // The dot count of a legacy table chosen as the document's braille language.
    QList<Change> tableDots(const QString& table) const;
    bool geometryFits(const QString& collection, bool characters);
    // The page values derived from the document's layout, kept with its run-time values.
    void recalculateLayout(const QString& collection);
    void raiseError(const QString& serviceErrorId);

    CatalogsManager& m_catalogs;
    SystemSettings& m_system;
    LayoutSettings& m_layouts;
    const PropValueList& m_valueLists;
    const DocSettingList& m_docSettings;
    LayoutParameters& m_layoutParameters;
    NetworkProperties& m_network;
    TempProperties& m_temp;
    QVariantMap m_escC;
    QVariantMap m_escD;
    std::unique_ptr<EscapeParametersCatalog> m_catalogC;
    std::unique_ptr<EscapeParametersCatalog> m_catalogD;
    QString m_fileName; // of the document whose sequence is being processed
    bool m_configureSlave = false;
};
