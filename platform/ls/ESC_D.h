#pragma once

#include "EnumKey.h"

#include <QVariantList>
#include <QVariantMap>

// Two-letter identifiers of the document escape sequences (layout values of one document).
// "escapeParameters.json" maps each to a catalog parameter (noted after each id).
namespace ls {
namespace ESC_D {
    LS_ID_FAMILY_META(ESC_D)
    LS_ID(AT) // layout: "Adjustment to linespacing"
    LS_ID(BI) // layout: "Binding margin"
    LS_ID(BO) // layout: "Bottom offset"
    LS_ID(BT) // layout: "Between copies"
    LS_ID(CH) // layout: "Characters per line"
    LS_ID(DP) // layout: "Duplexing"
    LS_ID(FO) // layout: "Folding line"
    LS_ID(GS) // layout: "Braille cell size"
    LS_ID(LA) // layout: "Braille language"
    LS_ID(LO) // layout: "Left offset"
    LS_ID(LP) // layout: "Line per page"
    LS_ID(LS) // layout: "Braille line spacing"
    LS_ID(MC) // layout: "Maintain document capitalization"
    LS_ID(MI) // layout: "Multiple impact"
    LS_ID(PA) // layout: "Paper size"
    LS_ID(PL) // paper: "Paper length"
    LS_ID(PN) // layout: "Page number"
    LS_ID(PV) // layout: "Max pages in volume"
    LS_ID(RW) // paper: "Paper width"
    LS_ID(SL) // paper: "Paper step length"
    LS_ID(TD) // layout: "Maintain document formatting"
    LS_ID(TM) // layout: "Top margin"
    LS_ID(VN) // layout: "Volume page number"

    // Ordering rules (see `rules` below): a rule map names the other identifier, an
    // EnumDetail::Applicable condition with the value the received value is compared with, and an
    // EnumDetail::RelativeRank (Lower: this identifier is processed before the other one).
    inline QVariant rule(const QString& other, const char* applicable, int value, const char* rank)
    {
        return QVariantMap { { QStringLiteral("identifier"), other },
            { QStringLiteral("Applicable"), QString::fromLatin1(applicable) }, { QStringLiteral("value"), value },
            { QStringLiteral("RelativeRank"), QString::fromLatin1(rank) } };
    }

    // Identifier -> list of its rules; every identifier of the family has an entry.
    inline const QVariantMap rules = {
        { AT, QVariantList { rule(LS, "Always", 0, "Higher"), rule(LP, "Always", 0, "Lower") } },
        { BI, QVariantList { rule(CH, "Always", 0, "Lower") } },
        { BO, QVariantList { rule(LP, "Always", 0, "Lower") } },
        { BT, QVariantList {} },
        { CH, QVariantList {} },
        { DP,
            QVariantList {
                rule(FO, "Always", 0, "Lower"),
                rule(BI, "Always", 0, "Lower"),
                rule(CH, "Always", 0, "Lower"),
                rule(LP, "Always", 0, "Lower"),
            } },
        { FO, QVariantList { rule(DP, "Always", 0, "Higher") } },
        { GS, QVariantList { rule(BI, "Always", 0, "Lower"), rule(CH, "Always", 0, "Lower") } },
        { LA, QVariantList { rule(LS, "Always", 0, "Lower"), rule(LP, "Always", 0, "Lower") } },
        { LO, QVariantList { rule(CH, "Always", 0, "Lower") } },
        { LP, QVariantList {} },
        { LS, QVariantList { rule(LP, "Always", 0, "Lower") } },
        { MC, QVariantList {} },
        { MI, QVariantList {} },
        { PA,
            QVariantList {
                rule(DP, "Always", 0, "Lower"),
                rule(PL, "Always", 0, "Lower"),
                rule(RW, "Always", 0, "Lower"),
                rule(SL, "Always", 0, "Lower"),
                rule(LP, "Always", 0, "Lower"),
                rule(CH, "Always", 0, "Lower"),
            } },
        { PL, QVariantList { rule(LP, "Always", 0, "Lower") } },
        { PN, QVariantList { rule(TM, "Always", 0, "Lower"), rule(LP, "Always", 0, "Lower") } },
        { PV, QVariantList {} },
        { RW, QVariantList { rule(CH, "Always", 0, "Lower") } },
        { SL, QVariantList { rule(PA, "Always", 0, "Higher") } },
        { TD, QVariantList {} },
        { TM, QVariantList { rule(LP, "Always", 0, "Lower") } },
        { VN, QVariantList { rule(PV, "IfHigherThan", 0, "HigherMustExist") } },
    };
} // namespace ESC_D
} // namespace ls
