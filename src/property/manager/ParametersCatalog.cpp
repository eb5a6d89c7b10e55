#include "ParametersCatalog.h"

#include "System.h"
#include "libcorvane/LogPrefix.h"
#include "libcorvane/Singleton.h"
#include "log/Logger.h"

CM_LOGGING_CATEGORY(lcParametersCatalog, "ParametersCatalog")

ParametersCatalog::ParametersCatalog(const QString& name, const QVariantMap& definitions)
    : m_name(name)
{
    for (auto it = definitions.constBegin(); it != definitions.constEnd(); ++it) {
        if (!it.value().canConvert<QVariantMap>()) {
            LOG_DEBUG(lcParametersCatalog) << "invalid parameter data, skipping.";
            continue;
        }
        EmbosserParameter parameter;
        parameter.definition = it.value().toMap();
        m_parameters.insert(it.key(), parameter);
    }
}

EmbosserParameter* ParametersCatalog::getParameter(const QString& name, bool save)
{
    const auto found = m_parameters.find(name);
    if (found == m_parameters.end()) {
        LOG_DEBUG(lcParametersCatalog) << m_name << "does not contain" << name;
        return nullptr;
    }
    if (save) {
        libcorvane::Singleton<detail::Logger>::instance().setParameterName(name);
    }
    return &found.value();
}

const EmbosserParameter* ParametersCatalog::parameter(const QString& name) const
{
    const auto found = m_parameters.constFind(name);
    return found == m_parameters.constEnd() ? nullptr : &found.value();
}

QVariantMap ParametersCatalog::storedValues() const
{
    QVariantMap values;
    for (auto it = m_parameters.constBegin(); it != m_parameters.constEnd(); ++it) {
        if (it->inFile && !it->value.isNull()) {
            values.insert(it.key(), it->value);
        }
    }
    return values;
}

QStringList ParametersCatalog::parameterNames() const
{
    return m_parameters.keys();
}

void ParametersCatalog::syncFlashParameters(bool& changed)
{
    const QStringList names = parameterNames();
    for (const QString& name : names) {
        EmbosserParameter* parameter = getParameter(name, false);
        if (!parameter) {
            LOG_DEBUG(lcParametersCatalog) << "Invalid parameter, skipping.";
            continue;
        }
        QString flashKey = parameter->definition.value(QStringLiteral("systemInfoParam")).toString();
        if (flashKey.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0) {
            flashKey.clear();
        }
        if (flashKey.isEmpty()) {
            continue;
        }
        const QVariant flashValue = System::getFlashParameter(flashKey);
        if (flashValue.toString().isEmpty()) {
            continue;
        }
        if (flashValue.toString().compare(parameter->value.toString(), Qt::CaseInsensitive) != 0) {
            parameter->inFile = true;
            parameter->value = flashValue;
            changed = true;
        }
    }
}
