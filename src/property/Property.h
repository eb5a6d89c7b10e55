#pragma once

#include <QObject>
#include <QVariantMap>

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The parameter definitions of "propertyList.json": the catalog-structured map the master
// collection is built from, and a flat map from parameter name to definition over all catalogs
// that answers a parameter's range, precision and spoken sentences.
class Property : public QObject {
    Q_OBJECT

public:
    Property(const ls::IReader& reader, const ls::IWriter& writer, QObject* parent = nullptr);

    bool load(const ls::IReader& reader);

    // catalog name -> parameter name -> definition
    QVariantMap catalogs() const { return m_catalogs; }
    QVariantMap definition(const QString& parameter) const;

    QString getProposition(const QString& parameter) const;
    QString getValueSentence(const QString& parameter) const;
    int getMinValue(const QString& parameter) const;
    int getMaxValue(const QString& parameter) const;
    int getPrecision(const QString& parameter) const;

private:
    const ls::IWriter& m_writer;
    QVariantMap m_catalogs;
    QVariantMap m_definitions;
};
