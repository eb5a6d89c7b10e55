#include "DocumentManager.h"

#include "DemoDocument.h"
#include "ManualDocument.h"
#include "ServiceDocument.h"

DocumentManager::DocumentManager(const ModelPaper& modelPaper, const QString& model, const LayoutSettings& layouts,
    const PropValueList& valueLists, QObject* parent)
    : QObject(parent)
    , m_demo(new DemoDocument(layouts, this))
    , m_manuals(new ManualDocument(modelPaper, model, this))
    , m_service(new ServiceDocument(modelPaper, layouts, valueLists, this))
{
}

void DocumentManager::load(const ls::IReader& reader)
{
    m_demo->load(reader);
    m_manuals->load(reader);
    m_service->load(reader);
}

QVariantMap DocumentManager::getDemoDocuments() const
{
    return m_demo->get();
}

QVariantMap DocumentManager::getManualDocuments() const
{
    return m_manuals->get();
}

QVariantMap DocumentManager::getServiceDocuments() const
{
    return m_service->get();
}
