#pragma once

#include "ParametersCatalog.h"
#include "ValueChecker.h"

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
//
// Collections are made on request of other processes, so their number and the length of their
// names are bounded, and the master collection cannot be removed: without it the service would
// answer nothing until the next start.
class CatalogsManager : public QObject {
    Q_OBJECT

public:
    using Collection = QHash<QString, ParametersCatalog>;

    explicit CatalogsManager(const Property& definitions, QObject* parent = nullptr);

    static constexpr int maxCollections = 32;
    static constexpr int maxNameLength = 64;

    // The catalog inside the collection, unshared first so that writes through it change only that
    // collection; null when the collection has no such catalog. Valid until the next structural
    // change of the collections.
    ParametersCatalog* getCatalog(const QString& catalog, const QString& collection);

    // False (and nothing made) for a name that is empty or too long, or beyond the last collection.
    bool addCatalogsCollection(const QString& collection);
    bool duplicateCatalog(const QString& source, const QString& target);
    bool removeCatalogsCollection(const QString& collection);
    QStringList getCatalogNames(const QString& collection) const;
    bool hasCollection(const QString& collection) const { return m_collections.contains(collection); }

    // What every setter asks before it stores a value.
    ValueChecker& checker() { return m_checker; }
    const ValueChecker& checker() const { return m_checker; }

    // Diagnostic dumps to the debug log, coloured with ANSI escape sequences.
    void printAllCatalogs(const QString& collection) const;
    void printAllCatalogsCollection() const;

private:
    void printCatalogs(const Collection& collection) const;
    bool mayStore(const QString& collection, const char* caller) const;

    QHash<QString, Collection> m_collections;
    ValueChecker m_checker;
};
