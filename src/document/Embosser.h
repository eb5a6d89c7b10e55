#pragma once

#include "paper/ModelPredicates.h"

#include <QObject>
#include <QString>

class ModelPaper;

// The description of the installed embosser model that other services query: its embosser list
// entry (type codes, paper limits, identity) and the model predicates. The predicates come from
// the one table of ModelPredicates; each query below only names its row.
class Embosser : public QObject {
    Q_OBJECT

public:
    using Predicate = ModelPredicates::Predicate;

    explicit Embosser(const ModelPaper& modelPaper, QObject* parent = nullptr);

    bool holds(Predicate predicate) const;

    Q_INVOKABLE int getType() const;
    Q_INVOKABLE int getFeedType() const;
    Q_INVOKABLE int getHeadType() const;
    Q_INVOKABLE int getModelMask() const;
    // The model's family bits as papers and user papers carry them ("eModelMask", "iModels").
    Q_INVOKABLE int getMaskValue() const;
    Q_INVOKABLE int getPaperDirection() const;
    Q_INVOKABLE int numberOfSlaves() const;
    Q_INVOKABLE double getMinWidth() const;
    Q_INVOKABLE double getMaxWidth() const;
    Q_INVOKABLE double getMinHeight() const;
    Q_INVOKABLE double getMaxHeight() const;
    Q_INVOKABLE QString getPnpCid() const;
    Q_INVOKABLE QString getShortID() const;

    Q_INVOKABLE bool isTormel() const { return holds(Predicate::Tormel); }
    Q_INVOKABLE bool isAlvero() const { return holds(Predicate::Alvero); }
    Q_INVOKABLE bool isVarnex() const { return holds(Predicate::Varnex); }
    Q_INVOKABLE bool isPlisto() const { return holds(Predicate::Plisto); }
    Q_INVOKABLE bool isPlistoPlus() const { return holds(Predicate::PlistoPlus); }
    Q_INVOKABLE bool isMirela() const { return holds(Predicate::Mirela); }
    Q_INVOKABLE bool isDarvo() const { return holds(Predicate::Darvo); }
    Q_INVOKABLE bool isKeltrix() const { return holds(Predicate::Keltrix); }
    Q_INVOKABLE bool isNox() const { return holds(Predicate::Nox); }
    Q_INVOKABLE bool isTormelNox() const { return holds(Predicate::TormelNox); }
    Q_INVOKABLE bool isUlk() const { return holds(Predicate::Ulk); }
    Q_INVOKABLE bool isZentra() const { return holds(Predicate::Zentra); }
    Q_INVOKABLE bool hasBooklet() const { return holds(Predicate::Booklet); }
    Q_INVOKABLE bool hasMultipleHeadsPerPage() const { return holds(Predicate::MultipleHeadsPerPage); }
    Q_INVOKABLE bool isDoubleSided() const { return holds(Predicate::DoubleSided); }
    Q_INVOKABLE bool hasFeeder() const { return holds(Predicate::Feeder); }
    Q_INVOKABLE bool hasTractorFeed() const { return holds(Predicate::TractorFeed); }
    Q_INVOKABLE bool isUserPaperCompatible() const { return holds(Predicate::UserPaperCompatible); }
    Q_INVOKABLE bool isUserPaperImperial() const { return holds(Predicate::UserPaperImperial); }

private:
    const ModelPaper& m_modelPaper;
};
