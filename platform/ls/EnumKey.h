#pragma once

#include "MetaEnum.h"

#include <QString>
#include <QVariant>

// The string-valued identifier of the framework: actions, error ids, states, parameter ids.
// It is a QString (so it goes into request maps and compares with texts as one), and each
// constant registers itself with its family's MetaEnum when it is initialised.
class EnumKey : public QString {
public:
    EnumKey(ls::MetaEnum& family, const char* text)
        : QString(QString::fromUtf8(text))
        , m_value(family.add(*this))
    {
    }

    // The integer of this id in its family (declaration order from 0).
    int value() const { return m_value; }

    operator QVariant() const { return QVariant(static_cast<const QString&>(*this)); }

private:
    int m_value;
};

// One id family: `LS_ID_FAMILY(ErrorId)` opens `namespace ErrorId` with its `meta` table; the
// ids follow as `LS_ID(InvalidValue)` (text = symbol) or `LS_NAMED_ID(HammerBatch, "Hammer batch")`.
// Inline variables of one header initialise in declaration order, so `meta` exists before the
// ids register and the integers follow the declaration order.
#define LS_ID_FAMILY_META(Family) inline ::ls::MetaEnum meta { #Family };
#define LS_ID(Symbol) inline const ::EnumKey Symbol { meta, #Symbol };
#define LS_NAMED_ID(Symbol, Text) inline const ::EnumKey Symbol { meta, Text };
