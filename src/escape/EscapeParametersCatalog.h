#pragma once

#include <QHash>
#include <QString>
#include <QVariantMap>

class CatalogsManager;
struct EmbosserParameter;

// The parameters of one escape type (ESC_C or ESC_D) as a view on the catalogs of one collection:
// each entry of "escapeParameters.json" names a catalog, a two-letter identifier, the parameter's
// name in that catalog, a function and a value type. The identifier list keeps names only; the
// parameter record is looked up on each use, since collections share their data until one is
// changed and a kept pointer would outlive a duplication.
class EscapeParametersCatalog {
public:
    EscapeParametersCatalog(const QVariantMap& escapeDetails, CatalogsManager& catalogs, const QString& collection);

    // Enters every entry whose details are complete and whose parameter exists; logs the others.
    void createIdentifierList();

    // Each logs and answers null or empty for an unknown key.
    EmbosserParameter* getParameterFromIdentifier(const QString& identifier) const;
    QString getParameterNameFromIdentifier(const QString& identifier) const;
    QString getIdentifierFromParameterName(const QString& name) const;
    QString getCatalogFromIdentifier(const QString& identifier) const;
    QString getESCValueType(const QString& name) const;
    QString getESCFunction(const QString& name) const;
    // Decimals of a "double" parameter; -1 when the parameter has no precision.
    int getPrecision(const QString& name) const;

    const QString& collection() const { return m_collection; }
    QStringList identifiers() const { return m_names.keys(); }

private:
    QString detail(const QString& name, const QString& key, const char* missing, const char* caller) const;

    QVariantMap m_details;
    CatalogsManager& m_catalogs;
    QString m_collection;
    QHash<QString, QString> m_names; // identifier -> parameter name
    QHash<QString, QString> m_catalogNames; // identifier -> catalog
    QHash<QString, QString> m_identifiers; // parameter name -> identifier
};
