#pragma once

#include "EnumKey.h"

#include <QVariantList>
#include <QVariantMap>

// Two-letter identifiers of the machine configuration escape sequences (serial number, hammer
// batch, network, reset and reboot ...). "escapeParameters.json" maps each to a catalog parameter
// (noted after each id).
namespace ls {
namespace ESC_C {
    LS_ID_FAMILY_META(ESC_C)
    LS_ID(BI) // temporary: "Banner page"
    LS_ID(CO) // embosserConf: "Configuration"
    LS_ID(ET) // embosserConf: "EMC Test"
    LS_ID(GW) // network: "Gateway"
    LS_ID(HB) // embosserhead: "Hammer batch"
    LS_ID(IP) // network: "IP Address"
    LS_ID(LR) // network: "Lock region"
    LS_ID(LS) // parameters: "Leds for sensors"
    LS_ID(MO) // embosserConf: "Model"
    LS_ID(MT) // parameters: "Max current for tray"
    LS_ID(NS) // network: "Nameserver"
    LS_ID(PP) // network: "Passphrase"
    LS_ID(RB) // temporary: "Reboot request"
    LS_ID(RE) // temporary: "Reset request"
    LS_ID(RH) // embosserhead: "Print head sensor exists"
    LS_ID(SM) // network: "Netmask"
    LS_ID(SN) // embosserConf: "Serial No"
    LS_ID(SS) // network: "SSID"
    LS_ID(UL) // parameters: "Use adjustable linespacing"
    LS_ID(WI) // network: "Wired network"
    LS_ID(WR) // network: "Wifi region"

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
        { BI, QVariantList {} },
        { CO, QVariantList {} },
        { ET, QVariantList {} },
        { GW, QVariantList { rule(WI, "Always", 0, "Higher") } },
        { HB, QVariantList {} },
        { IP, QVariantList { rule(WI, "Always", 0, "Higher") } },
        { LR, QVariantList { rule(WR, "Always", 0, "Higher") } },
        { LS, QVariantList {} },
        { MO, QVariantList { rule(SN, "Always", 0, "Lower") } },
        { MT, QVariantList {} },
        { NS, QVariantList { rule(WI, "Always", 0, "Higher") } },
        { PP, QVariantList { rule(SS, "Always", 0, "HigherMustExist") } },
        { RB, QVariantList {} },
        { RE, QVariantList {} },
        { RH, QVariantList {} },
        { SM, QVariantList { rule(WI, "Always", 0, "Higher") } },
        { SN, QVariantList {} },
        { SS, QVariantList {} },
        { UL, QVariantList {} },
        { WI, QVariantList {} },
        { WR, QVariantList {} },
    };
} // namespace ESC_C
} // namespace ls
