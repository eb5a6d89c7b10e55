#include "SettingsFileCheck.h"

#include "ls/JFile.h"
#include "property/Property.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

SettingsFileCheck::SettingsFileCheck(const QString& rootPath)
    : m_rootPath(rootPath)
    , m_valueLists(ls::JFile())
{
    const ls::JFile json;
    m_definitions = Property(json, json).catalogs();
    m_checker.setValueLists(&m_valueLists);
}

QStringList SettingsFileCheck::problems() const
{
    QStringList found;
    for (const char* path : { "/var/lib/embosser/parameters", "/var/lib/embosser/counters",
             "/var/lib/embosser/serialCom", "/var/lib/embosser/speech", "/var/lib/embosser/embosserConf",
             "/var/lib/embosser/embosserhead", "/var/lib/embosser/hammerDelta", "/var/lib/slave/arch" }) {
        QFile in(m_rootPath + path);
        QJsonParseError error {};
        const QByteArray content = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
        const QJsonDocument document = QJsonDocument::fromJson(content, &error);
        if (!document.isObject()) {
            found << path
                    + (content.trimmed().isEmpty() ? QStringLiteral(" is missing or empty")
                                                   : QStringLiteral(" is not a JSON object: %1 at %2")
                                                         .arg(error.errorString())
                                                         .arg(error.offset));
        } else {
            // A file holds the parameters of the catalog it is named after.
            found << valueProblems(path, QFileInfo(path).fileName(), document.object().toVariantMap());
        }
    }
    return found;
}

QStringList SettingsFileCheck::valueProblems(
    const QString& origin, const QString& catalog, const QVariantMap& values) const
{
    QStringList found;
    const QVariantMap definitions = m_definitions.value(catalog).toMap();
    if (definitions.isEmpty()) {
        return { QStringLiteral("%1: no definitions of catalog %2").arg(origin, catalog) };
    }
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const auto definition = definitions.constFind(it.key());
        const QString problem = definition == definitions.constEnd()
            ? QStringLiteral("has no definition")
            : m_checker.problem(definition->toMap(), it.value());
        if (!problem.isEmpty()) {
            found << QStringLiteral("%1: \"%2\" = %3 %4")
                         .arg(origin, it.key(), it.value().toString().left(80).simplified(), problem);
        }
    }
    return found;
}
