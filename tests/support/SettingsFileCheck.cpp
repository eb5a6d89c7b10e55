#include "SettingsFileCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {
const int maxTextLength = 1024;

bool readObject(const QString& path, QJsonObject& object, QString& problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("cannot be read");
        return false;
    }
    const QByteArray content = file.readAll();
    if (content.trimmed().isEmpty()) {
        problem = QStringLiteral("is empty");
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError) {
        problem = QStringLiteral("does not parse: %1 at %2").arg(error.errorString()).arg(error.offset);
        return false;
    }
    if (!document.isObject()) {
        problem = QStringLiteral("is not a JSON object");
        return false;
    }
    object = document.object();
    return true;
}

// Numbers may be stored as numbers or as texts that are a number through and through.
bool toNumber(const QJsonValue& value, double& number)
{
    if (value.isDouble()) {
        number = value.toDouble();
        return true;
    }
    bool ok = false;
    number = value.isString() ? value.toString().trimmed().toDouble(&ok) : 0;
    return ok;
}

QString text(const QJsonValue& value)
{
    return value.isNull() ? QStringLiteral("null") : value.toVariant().toString();
}
} // namespace

SettingsFileCheck::SettingsFileCheck(const QString& rootPath)
    : m_rootPath(rootPath)
{
    const QString dataDir = rootPath + QStringLiteral("/usr/share/configuration-manager/");
    QString problem;
    if (!readObject(dataDir + QStringLiteral("propertyList.json"), m_definitions, problem)
        || !readObject(dataDir + QStringLiteral("valueList.json"), m_valueLists, problem)) {
        m_loadProblem = QStringLiteral("the definitions ") + problem;
    }
}

QStringList SettingsFileCheck::machinePaths()
{
    QStringList paths;
    for (const char* name :
        { "parameters", "counters", "serialCom", "speech", "embosserConf", "embosserhead", "hammerDelta" }) {
        paths << QStringLiteral("/var/lib/embosser/") + QLatin1String(name);
    }
    return paths << QStringLiteral("/var/lib/slave/arch");
}

QStringList SettingsFileCheck::problems(bool valuesToo) const
{
    if (valuesToo && !m_loadProblem.isEmpty()) {
        return { m_loadProblem };
    }
    QStringList found;
    for (const QString& machinePath : machinePaths()) {
        QJsonObject values;
        QString problem;
        if (!readObject(m_rootPath + machinePath, values, problem)) {
            found << machinePath + QLatin1Char(' ') + problem;
            continue;
        }
        if (!valuesToo) {
            continue;
        }
        // A file holds the parameters of the catalog it is named after.
        found << valueProblems(machinePath, QFileInfo(machinePath).fileName(), values);
    }
    return found;
}

QStringList SettingsFileCheck::valueProblems(
    const QString& origin, const QString& catalog, const QJsonObject& values) const
{
    if (!m_loadProblem.isEmpty()) {
        return { m_loadProblem };
    }
    QStringList found;
    const QJsonObject definitions = m_definitions.value(catalog).toObject();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const QJsonValue definition = definitions.value(it.key());
        const QString problem = definition.isObject() ? valueProblem(definition.toObject(), it.value())
                                                      : QStringLiteral("has no definition");
        if (!problem.isEmpty()) {
            found << QStringLiteral("%1: \"%2\" = %3 %4")
                         .arg(origin, it.key(), text(it.value()).left(80).simplified(), problem);
        }
    }
    return found;
}

QString SettingsFileCheck::valueProblem(const QJsonObject& definition, const QJsonValue& value) const
{
    const QString type = definition.value(QStringLiteral("type")).toString();
    if (type == QLatin1String("int") || type == QLatin1String("double")) {
        double number = 0;
        if (!toNumber(value, number) || !std::isfinite(number)) {
            return QStringLiteral("is not a finite number");
        }
        if (type == QLatin1String("int") && (number != std::floor(number) || std::fabs(number) > 2147483647.0)) {
            return QStringLiteral("is not a whole number");
        }
        const QJsonValue minimum = definition.value(QStringLiteral("minValue"));
        const QJsonValue maximum = definition.value(QStringLiteral("maxValue"));
        if ((minimum.isDouble() && number < minimum.toDouble())
            || (maximum.isDouble() && number > maximum.toDouble())) {
            return QStringLiteral("is out of range");
        }
    } else if (type == QLatin1String("bool")) {
        if (!value.isBool() && value.toString() != QLatin1String("true")
            && value.toString() != QLatin1String("false")) {
            return QStringLiteral("is not true or false");
        }
    } else if (!value.isString()) {
        return QStringLiteral("is not a text");
    } else if (value.toString().size() > maxTextLength) {
        return QStringLiteral("is longer than %1 characters").arg(maxTextLength);
    }

    const QString listName = definition.value(QStringLiteral("eValueList")).toString();
    if (listName.isEmpty()) {
        return QString();
    }
    const bool byNumber = type == QLatin1String("int");
    double number = 0;
    toNumber(value, number);
    for (const QJsonValue& entry : m_valueLists.value(listName).toArray()) {
        const QJsonObject fields = entry.toObject();
        if (byNumber ? fields.value(QStringLiteral("intValue")).toDouble() == number
                     : fields.value(QStringLiteral("description")).toString() == value.toString()) {
            return QString();
        }
    }
    return QStringLiteral("is not in the value list ") + listName;
}
