#pragma once

#include "property/manager/CatalogAccessor.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

class CatalogsManager;
class LayoutSettings;
class MemoryCatalog;
class Parameters;
class TempProperties;

// The active layout as the print side reads it: the "layout" catalog (document settings) and the
// "paper" catalog (the geometry of the layout's paper) of each collection, kept in step with the
// active layout file. Every layout change loads the file into the master collection's catalogs
// (setCurrentLayoutParameters); a layout map fills a collection's catalogs, members the "layout"
// catalog lacks going to the temporary values; the paper values follow from the paper size.
// Plain values are reached by name through the two catalogs, which keep changes in memory;
// saveToFile validates the master collection's layout and writes it to the active layout file.
class LayoutParameters : public QObject {
    Q_OBJECT

public:
    LayoutParameters(LayoutSettings& layouts, TempProperties& temp, const Parameters& parameters,
        CatalogsManager& catalogs, QObject* parent = nullptr);

    const MemoryCatalog* layoutCatalog() const { return m_layoutCatalog; }
    const MemoryCatalog* paperCatalog() const { return m_paperCatalog; }

    // The values of both catalogs of the collection by name.
    QVariantMap getLayoutParameters(const QString& collection) const;

    // The print options: the layout's "Maintain document formatting", "Maintain document
    // capitalization" (texts "true"/"false") and "Tab size". A setter that changed the value saves
    // the master collection's layout.
    bool getKeepFormat(const QString& collection) const;
    void setKeepFormat(bool keep, const QString& collection);
    bool getKeepCapitalization(const QString& collection) const;
    void setKeepCapitalization(bool keep, const QString& collection);
    int getTabSize(const QString& collection) const;
    void setTabSize(int size, const QString& collection);

    void setParametersFromMap(const QVariantMap& layout, const QString& collection);
    void setCurrentPaperParameters(const QString& collection);
    // Every value-list member of `parameters` (the paper size aside) admitted by its entry's
    // validation command, with the page geometry taken from `parameters`.
    bool validateLayoutParameters(const QVariantMap& parameters) const;
    bool saveToFile();

public slots:
    void setCurrentLayoutParameters(const QString& collection);
    void setCurrentLayoutParameters();

private:
    bool getTrueFalse(const QString& parameter, const QString& collection, const char* caller) const;
    void setAndSave(const QString& parameter, const QVariant& value, const QString& collection, const char* caller);

    LayoutSettings& m_layouts;
    const Parameters& m_parameters;
    const CatalogAccessor& m_temp;
    CatalogsManager& m_catalogs;
    const MemoryCatalog* m_layoutCatalog;
    const MemoryCatalog* m_paperCatalog;
    const CatalogAccessor& m_layout;
    const CatalogAccessor& m_paper;
};
