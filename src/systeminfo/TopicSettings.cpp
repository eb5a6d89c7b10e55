#include "TopicSettings.h"

TopicSettings::TopicSettings(const QString& catalogName, const QString& settingsFile, const ls::IReader& reader,
    const ls::IWriter& writer, CatalogsManager& catalogs, const QLoggingCategory& category, QObject* parent)
    : QObject(parent)
    , m_access(catalogName, settingsFile, reader, writer, catalogs, category)
{
}

void TopicSettings::loadAndSyncFlash(const char* caller)
{
    m_access.load(caller);
    m_access.syncFlashParameters(caller);
}

bool TopicSettings::readFile(QVariantMap& out) const
{
    return m_access.readFile(out, callerName("readFile").constData());
}

CatalogAccessor::Loaded TopicSettings::load()
{
    return m_access.load(callerName("load").constData());
}

bool TopicSettings::saveToFile() const
{
    return m_access.saveToFile(callerName("saveToFile").constData());
}

QByteArray TopicSettings::callerName(const char* function) const
{
    return QByteArray(metaObject()->className()) + "::" + function + "()";
}
