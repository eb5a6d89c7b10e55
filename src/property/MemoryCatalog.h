#pragma once

#include "property/manager/CatalogAccessor.h"

#include <QLoggingCategory>
#include <QObject>
#include <QString>

class CatalogsManager;

// A catalog of run-time values with no settings file: its values start as the defaults at every
// start, change in memory only and per collection. Plain values are reached by name through the
// accessor (the adaptor's "property" rows); derived classes add the members that carry a rule.
class MemoryCatalog : public QObject {
    Q_OBJECT

public:
    MemoryCatalog(const QString& catalogName, CatalogsManager& catalogs, const QLoggingCategory& category,
        QObject* parent = nullptr);

    const CatalogAccessor& accessor() const { return m_access; }

private:
    const CatalogAccessor m_access;
};
