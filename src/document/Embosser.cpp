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

int Embosser::getType() const
{
    return m_modelPaper.getEmbosserType();
}

int Embosser::getFeedType() const
{
    return m_modelPaper.getFeedType();
}

int Embosser::getHeadType() const
{
    return m_modelPaper.getHeadType();
}

int Embosser::getModelMask() const
{
    return m_modelPaper.getModelMask();
}

int Embosser::getMaskValue() const
{
    // The family enumerators are the mask bits themselves.
    return m_modelPaper.getModelMask();
}

int Embosser::getPaperDirection() const
{
    return m_modelPaper.getPaperDirection();
}

int Embosser::numberOfSlaves() const
{
    return ModelPredicates::numberOfSlaves(m_modelPaper.getEmbosserType());
}

double Embosser::getMinWidth() const
{
    return m_modelPaper.getMinWidth();
}

double Embosser::getMaxWidth() const
{
    return m_modelPaper.getMaxWidth();
}

double Embosser::getMinHeight() const
{
    return m_modelPaper.getMinHeight();
}

double Embosser::getMaxHeight() const
{
    return m_modelPaper.getMaxHeight();
}

QString Embosser::getPnpCid() const
{
    return m_modelPaper.getPnpCid();
}

QString Embosser::getShortID() const
{
    return m_modelPaper.getShortID();
}
