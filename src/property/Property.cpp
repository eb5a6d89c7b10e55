#include "Property.h"

#include "DataFileLoader.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcProperty, "Property")

Property::Property(const ls::IReader& reader, const ls::IWriter& writer, QObject* parent)
    : QObject(parent)
    , m_writer(writer)
{
    load(reader);
}

bool Property::load(const ls::IReader& reader)
{
    const bool loaded
        = DataFileLoader::load(reader, QStringLiteral("propertyList.json"), m_catalogs, Q_FUNC_INFO, lcProperty(),
            // Catalogs of definitions, each with the type the conversions and checks need.
            DataShape::objects().itemsWith({ QStringLiteral("type") }));
    // Catalogs and their parameters in key order: a later duplicate name replaces the earlier one.
    m_definitions.clear();
    for (auto catalog = m_catalogs.constBegin(); catalog != m_catalogs.constEnd(); ++catalog) {
        const QVariantMap parameters = catalog.value().toMap();
        for (auto parameter = parameters.constBegin(); parameter != parameters.constEnd(); ++parameter) {
            m_definitions.insert(parameter.key(), parameter.value());
        }
    }
    return loaded;
}

QVariantMap Property::definition(const QString& parameter) const
{
    return m_definitions.value(parameter).toMap();
}

QString Property::getProposition(const QString& parameter) const
{
    return definition(parameter).value(QStringLiteral("propSentenceKey")).toString();
}

QString Property::getValueSentence(const QString& parameter) const
{
    return definition(parameter).value(QStringLiteral("valueSentenceKey")).toString();
}

int Property::getMinValue(const QString& parameter) const
{
    return definition(parameter).value(QStringLiteral("minValue")).toInt();
}

int Property::getMaxValue(const QString& parameter) const
{
    return definition(parameter).value(QStringLiteral("maxValue")).toInt();
}

int Property::getPrecision(const QString& parameter) const
{
    return definition(parameter).value(QStringLiteral("precision")).toInt();
}
