#pragma once

#include "property/PropValueList.h"
#include "property/manager/ValueChecker.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

// Checks the machine's settings files under a root the way the service must leave them: each one
// a non-empty JSON object whose values fit their parameters' definitions, by the service's own
// rules (ValueChecker: type, range, value list, finite numbers, bounded texts). The definitions
// and value lists come through the service's loaders from CONFIGURATION_MANAGER_ROOT, which must
// be the same root (TestRoot exports it).
class SettingsFileCheck {
public:
    explicit SettingsFileCheck(const QString& rootPath);

    // One line per fault, naming the file; empty when every file is sound.
    QStringList problems() const;
    // The faults of the values of one catalog held elsewhere (the service's answers, for instance),
    // each line starting with the given origin.
    QStringList valueProblems(const QString& origin, const QString& catalog, const QVariantMap& values) const;

private:
    QString m_rootPath;
    QVariantMap m_definitions;
    PropValueList m_valueLists;
    ValueChecker m_checker;
};
