#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

// Checks the machine's settings files under a root the way the service must leave them: each one
// is a non-empty JSON object, and every value in it fits its parameter's definition in
// propertyList.json (type, "minValue"/"maxValue", "eValueList" of valueList.json, finite numbers,
// texts of at most 1024 characters). The rules are written out here on their own, not taken from
// the service, so a fault in the service's own check shows.
class SettingsFileCheck {
public:
    explicit SettingsFileCheck(const QString& rootPath);

    // The machine paths of the settings files ("/var/lib/embosser/speech", ...).
    static QStringList machinePaths();

    // One line per fault, naming the file; empty when every file is sound. With valuesToo false,
    // only that each file is there, not empty, and a JSON object.
    QStringList problems(bool valuesToo = true) const;

    // The same for the values of one catalog held elsewhere (the service's answers, for instance),
    // each line starting with the given origin.
    QStringList valueProblems(const QString& origin, const QString& catalog, const QJsonObject& values) const;

private:
    QString valueProblem(const QJsonObject& definition, const QJsonValue& value) const;

    QString m_rootPath;
    QJsonObject m_definitions;
    QJsonObject m_valueLists;
    QString m_loadProblem;
};
