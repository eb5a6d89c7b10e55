#include "ModelPredicates.h"

#include <QtGlobal>

#include <initializer_list>

namespace {

using Predicate = ModelPredicates::Predicate;

// A set of type or feed codes, one bit per code.
using Codes = quint32;
constexpr int maxCode = 31;

constexpr Codes codes(std::initializer_list<int> list)
{
    Codes set = 0;
    for (const int code : list) {
        set |= Codes(1) << code;
    }
    return set;
}

constexpr bool contains(Codes set, int code)
{
    return code >= 0 && code <= maxCode && (set & (Codes(1) << code)) != 0;
}

// Embosser type families; the composed predicates are unions of them.
constexpr Codes tormel = codes({ 1, 2, 9 });
constexpr Codes alvero = codes({ 3, 4 });
constexpr Codes varnex = codes({ 6 });
constexpr Codes plisto = codes({ 7 });
constexpr Codes plistoPlus = codes({ 13 });
constexpr Codes mirela = codes({ 10 });
constexpr Codes darvo = codes({ 11 });
constexpr Codes keltrix = codes({ 9 });
constexpr Codes nox = mirela | darvo;
constexpr Codes ulk = codes({ 14 });
constexpr Codes zentra = codes({ 8, 12 });

enum class Basis { EmbosserType, FeedType };

struct Row {
    Predicate predicate;
    const char* name;
    Basis basis;
    Codes codes;
    // Set when the predicate holds for every code except the listed ones.
    bool allExcept;
};

const Row rows[] = {
    { Predicate::Tormel, "isTormel", Basis::EmbosserType, tormel, false },
    { Predicate::Alvero, "isAlvero", Basis::EmbosserType, alvero, false },
    { Predicate::Varnex, "isVarnex", Basis::EmbosserType, varnex, false },
    { Predicate::Plisto, "isPlisto", Basis::EmbosserType, plisto, false },
    { Predicate::PlistoPlus, "isPlistoPlus", Basis::EmbosserType, plistoPlus, false },
    { Predicate::Mirela, "isMirela", Basis::EmbosserType, mirela, false },
    { Predicate::Darvo, "isDarvo", Basis::EmbosserType, darvo, false },
    { Predicate::Keltrix, "isKeltrix", Basis::EmbosserType, keltrix, false },
    { Predicate::Nox, "isNox", Basis::EmbosserType, nox, false },
    { Predicate::TormelNox, "isTormelNox", Basis::EmbosserType, tormel | nox | keltrix, false },
    { Predicate::Ulk, "isUlk", Basis::EmbosserType, ulk, false },
    { Predicate::Zentra, "isZentra", Basis::EmbosserType, zentra, false },
    { Predicate::Booklet, "hasBooklet", Basis::EmbosserType, alvero | varnex, false },
    { Predicate::MultipleHeadsPerPage, "hasMultipleHeadsPerPage", Basis::EmbosserType, varnex | plisto | plistoPlus,
        false },
    // Only the Darvo is single-sided.
    { Predicate::DoubleSided, "isDoubleSided", Basis::EmbosserType, darvo, true },
    { Predicate::Feeder, "hasFeeder", Basis::FeedType, codes({ 3 }), false },
    { Predicate::TractorFeed, "hasTractorFeed", Basis::FeedType, codes({ 2 }), false },
    // Orvik and Varnex take no user-defined papers; Tormel and Plisto models measure them in inches.
    { Predicate::UserPaperCompatible, "isUserPaperCompatible", Basis::EmbosserType, codes({ 5, 6 }), true },
    { Predicate::UserPaperImperial, "isUserPaperImperial", Basis::EmbosserType, codes({ 1, 2, 7, 13 }), false },
};

struct SlaveCount {
    Codes codes;
    int count;
};

const SlaveCount slaveCounts[] = {
    { varnex | plisto, 3 },
    { plistoPlus, 6 },
};
constexpr int defaultSlaveCount = 1;

const Row* find(Predicate predicate)
{
    for (const Row& row : rows) {
        if (row.predicate == predicate) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

bool ModelPredicates::holds(Predicate predicate, int embosserType, int feedType)
{
    const Row* row = find(predicate);
    if (!row) {
        return false;
    }
    const int code = row->basis == Basis::EmbosserType ? embosserType : feedType;
    return contains(row->codes, code) != row->allExcept;
}

int ModelPredicates::numberOfSlaves(int embosserType)
{
    for (const SlaveCount& entry : slaveCounts) {
        if (contains(entry.codes, embosserType)) {
            return entry.count;
        }
    }
    return defaultSlaveCount;
}

QString ModelPredicates::name(Predicate predicate)
{
    const Row* row = find(predicate);
    return row ? QString::fromLatin1(row->name) : QString();
}

QVector<ModelPredicates::Predicate> ModelPredicates::all()
{
    QVector<Predicate> predicates;
    for (const Row& row : rows) {
        predicates.append(row.predicate);
    }
    return predicates;
}
