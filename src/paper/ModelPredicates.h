#pragma once

#include <QString>
#include <QVector>

// The model predicates other services query to adapt to the machine family: pure functions of
// the installed model's embosser type code and feed type code ("eEmbosserType" and "eFeedType"
// of its embosser list entry). Every predicate is one row of a table; a code outside the table's
// range belongs to no family.
class ModelPredicates {
public:
    enum class Predicate {
        Tormel,
        Alvero,
        Varnex,
        Plisto,
        PlistoPlus,
        Mirela,
        Darvo,
        Keltrix,
        Nox,
        TormelNox,
        Ulk,
        Zentra,
        Booklet,
        MultipleHeadsPerPage,
        DoubleSided,
        Feeder,
        TractorFeed,
        UserPaperCompatible,
        UserPaperImperial,
    };

    static bool holds(Predicate predicate, int embosserType, int feedType);

    // Print processors driving the heads: more than one only on the multi-head models.
    static int numberOfSlaves(int embosserType);

    // The name of the predicate's query ("isTormel", "hasFeeder", ...).
    static QString name(Predicate predicate);
    static QVector<Predicate> all();
};
