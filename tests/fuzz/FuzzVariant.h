#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

class FuzzedDataProvider;

// Builds maps and values of the command protocol from fuzzed bytes: keys mostly from the
// protocol's key constants, texts often from its id families (commands, sub-commands, senders,
// parameter ids), numbers of every D-Bus width, byte arrays, string lists, lists and maps nested
// up to a depth, and the D-Bus types that a received request holds (variants, object paths,
// signatures). The node budget keeps one input small however its bytes nest.
//
// Wire values are those QtDBus can send: no invalid variants or hashes, texts without NUL or
// broken UTF-16, valid object paths and signatures, and no nesting deeper than D-Bus carries.
class FuzzVariant {
public:
    struct Limits {
        int depth = 8;
        int nodes = 64;
        bool wire = false;
    };

    FuzzVariant(FuzzedDataProvider& data, const Limits& limits);

    QVariantMap map(int depth = 0);
    QVariant value(int depth);
    QString key();
    QString text();

    // A text of an id family ("Layout", "SetActive", "WebServer", "Hammer batch", ...).
    QString idText();

    // True when the value holds no D-Bus wrapper type at any depth (what an unpacked map holds).
    static bool isPlain(const QVariant& value);

private:
    QString freeText();

    FuzzedDataProvider& m_data;
    const Limits m_limits;
    int m_nodes = 0;
};
