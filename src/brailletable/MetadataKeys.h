#pragma once

#include <QString>

// Keys and status values of the table entries in the metadata files and the generated lists.
namespace MetadataKeys {

inline const QString displayName = QStringLiteral("display-name:");
inline const QString name = QStringLiteral("name:");
inline const QString dots = QStringLiteral("dots:");
inline const QString grade = QStringLiteral("grade:");
inline const QString contraction = QStringLiteral("contraction:");
inline const QString type = QStringLiteral("type:");
inline const QString locale = QStringLiteral("locale:");
inline const QString status = QStringLiteral("status:");
inline const QString replacedBy = QStringLiteral("replaced-by:");
inline const QString sourceFile = QStringLiteral("sourcefile:");
inline const QString source = QStringLiteral("source:");
inline const QString legacyType = QStringLiteral("legacy-type:");

inline const QString activeStatus = QStringLiteral("active");
inline const QString replacedStatus = QStringLiteral("replaced");

} // namespace MetadataKeys
