#pragma once

#include <QObject>

// Sentence ids of the translation library: each spoken sentence of the embosser is named by its
// set (embosser core, embosser error) and its number in that set. Only the sentences the service
// speaks are named here; the texts belong to the speech daemon.
namespace libtranslation {
namespace Sid {
    Q_NAMESPACE

    enum class EmbosserCore {
        PowerUp = 9, // the embosser is switched on
        PowerUpMessage = 10, // the same with a text of the caller's
        PowerDown = 34, // the embosser is switched off
    };
    Q_ENUM_NS(EmbosserCore)

    enum class EmbosserError {
        Unknown = 0,
        EscapeSequence = 1, // a document's escape sequence cannot be applied
    };
    Q_ENUM_NS(EmbosserError)
} // namespace Sid
} // namespace libtranslation
