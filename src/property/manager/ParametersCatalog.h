#pragma once

#include "EmbosserParameter.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// A named set of parameters (for example "parameters", "speech", "embosserConf"), held by value
// with copy-on-write sharing, so that copying a collection costs a reference count until a value
// in the copy changes.
class ParametersCatalog {
public:
    ParametersCatalog() = default;
    // Builds the catalog from parameter name -> definition; entries that are not maps are skipped.
    ParametersCatalog(const QString& name, const QVariantMap& definitions);

    QString name() const { return m_name; }

    // The parameter inside the catalog, or null. With save true the parameter change log, when
    // enabled, takes the name as the one being changed.
    EmbosserParameter* getParameter(const QString& name, bool save);
    const EmbosserParameter* parameter(const QString& name) const;

    // What the topic's settings file holds: every value that is in the file and not null.
    QVariantMap storedValues() const;
    QStringList parameterNames() const;
    int size() const { return m_parameters.size(); }

    // Takes over the flash memory's value of every parameter mirrored there that differs from the
    // current value (ignoring case); sets `changed` when any was taken over.
    void syncFlashParameters(bool& changed);

private:
    QString m_name;
    QHash<QString, EmbosserParameter> m_parameters;
};
