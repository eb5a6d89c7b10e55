#include "Embosser.h"

#include "paper/ModelPaper.h"

Embosser::Embosser(const ModelPaper& modelPaper, QObject* parent)
    : QObject(parent)
    , m_modelPaper(modelPaper)
{
}

bool Embosser::holds(Predicate predicate) const
{
    return ModelPredicates::holds(predicate, m_modelPaper.getEmbosserType(), m_modelPaper.getFeedType());
}

int Embosser::numberOfSlaves() const
{
    return ModelPredicates::numberOfSlaves(m_modelPaper.getEmbosserType());
}
