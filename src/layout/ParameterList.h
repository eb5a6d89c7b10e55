#pragma once

#include "lcm/EnumDetail.h"

#include <QObject>
#include <QVariant>
#include <QVariantMap>

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The metadata of the layout parameters ("parameterList.json"): for each parameter name used in
// layout files, how it is stored, shown, validated and converted. Read at start-up and again
// after each successful write; every lookup on a missing or malformed record logs and answers
// its getter's default, so an empty list never stops the service.
class ParameterList : public QObject {
    Q_OBJECT

public:
    ParameterList(const ls::IReader& reader, const ls::IWriter& writer, QObject* parent = nullptr);

    // Reads the file, restoring it from the backup copy when it cannot be read.
    bool load();

    // The raw field of a parameter record; invalid when the parameter or field is missing.
    QVariant getValue(const QString& parameter, const QString& field) const;

    // Defaults: false for the flags, -1 for the numbers, Undefined (0) for the enumerations.
    bool getStored(const QString& parameter) const;
    bool getHideValueInactive(const QString& parameter) const;
    bool getEditable(const QString& parameter) const;
    int getIndex(const QString& parameter) const;
    int getMinValue(const QString& parameter) const;
    int getMaxValue(const QString& parameter) const;
    int getPrecision(const QString& parameter) const;
    lcm::ValueType getValueType(const QString& parameter) const;
    lcm::RowValueList getRowValueList(const QString& parameter) const;

    // Writes one field of one record to the file (atomically) and reloads the list.
    bool setValue(const QString& parameter, const QString& field, const QVariant& value);

    // parameter name -> record, plus the "Metadata" member of the file.
    QVariantMap getParameterList() const { return m_parameters; }

private:
    bool boolField(const QString& parameter, const QString& field, const char* caller) const;
    int intField(const QString& parameter, const QString& field, const char* caller) const;
    int enumField(
        const QString& parameter, const QString& field, const QMetaEnum& enumeration, const char* caller) const;

    const ls::IReader& m_reader;
    const ls::IWriter& m_writer;
    QVariantMap m_parameters;
};
