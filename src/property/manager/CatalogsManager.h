#pragma once

#include "ParametersCatalog.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class Property;

// The name of the collection that holds the live configuration; the default collection of every
// accessor.
inline const QString masterCollectionKey = QStringLiteral("masterCollectionKey");

// All collections of parameter catalogs. The master collection is built once from the parameter
// definitions and holds the live configuration; other collections are copy-on-write copies of it
// (a print job's own parameter set, or one made over D-Bus), independent values from the moment
// they are made. A collection name that does not exist silently means the master collection.
class CatalogsManager : public QObject {
    Q_OBJECT

public:
    using Collection = QHash<QString, ParametersCatalog>;

    explicit CatalogsManager(const Property& definitions, QObject* parent = nullptr);

    // The catalog inside the collection, unshared first so that writes through it change only that
    // collection; null when the collection has no such catalog. Valid until the next structural
    // change of the collections.
    ParametersCatalog* getCatalog(const QString& catalog, const QString& collection);

    void addCatalogsCollection(const QString& collection);
    bool duplicateCatalog(const QString& source, const QString& target);
    bool removeCatalogsCollection(const QString& collection);
    QStringList getCatalogNames(const QString& collection) const;
    bool hasCollection(const QString& collection) const { return m_collections.contains(collection); }

    // Diagnostic dumps to the debug log, coloured with ANSI escape sequences.
    void printAllCatalogs(const QString& collection) const;
    void printAllCatalogsCollection() const;

private:
    void printCatalogs(const Collection& collection) const;

    QHash<QString, Collection> m_collections;
};
