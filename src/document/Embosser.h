#pragma once

#include "paper/ModelPredicates.h"

#include <QObject>

class ModelPaper;

// The description of the installed embosser model that other services query: its embosser list
// entry (type codes, paper limits, identity) and the model predicates, which come from the one
// table of ModelPredicates.
class Embosser : public QObject {
    Q_OBJECT

public:
    using Predicate = ModelPredicates::Predicate;

    explicit Embosser(const ModelPaper& modelPaper, QObject* parent = nullptr);

    // The installed model's entry of the embosser list.
    const ModelPaper& model() const { return m_modelPaper; }
    bool holds(Predicate predicate) const;
    int numberOfSlaves() const;

private:
    const ModelPaper& m_modelPaper;
};
