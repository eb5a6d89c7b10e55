#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QVariantMap>

class ParameterList;
class Property;

// The D-Bus type a value leaves the service with when it has a parameter definition: an int for
// a numeric parameter of precision 0, a double otherwise, whatever the JSON of the file it came
// from held (JSON has one number type: 210.0 is written as 210 and read back as an int). The
// definitions are those of the layout parameter list ("precision" of a Numeric parameter) and of
// "propertyList.json" ("precision", else "type"). Texts of text parameters stay texts; a numeric
// parameter's number given as text becomes the number. Every map a D-Bus method answers passes
// through here (the adaptor's one exit), at any depth, so a client sees one signature per
// parameter.
class WireTypes : public QObject {
    Q_OBJECT

public:
    WireTypes(const Property& property, const ParameterList& parameterList, QObject* parent = nullptr);

    QVariantMap typed(const QVariantMap& map) const;
    QList<QPair<QString, QVariantMap>> typed(const QList<QPair<QString, QVariantMap>>& families) const;
    // The value of the member `name` as it leaves the service.
    QVariant typed(const QString& name, const QVariant& value) const;

private:
    enum class Kind { Int, Double };

    QVariant typedValue(const QVariant& value) const;

    QHash<QString, Kind> m_kinds;
};
