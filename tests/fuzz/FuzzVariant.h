#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <cstddef>
#include <cstdint>

class FuzzedDataProvider;

// Builds maps and values of the command protocol from fuzzed bytes: keys mostly from the
// protocol's key constants, texts often from its id families (commands, sub-commands, senders,
// parameter ids), numbers of every D-Bus width, byte arrays, string lists, lists and maps nested
// up to a depth, and the D-Bus types a received request holds (variants, object paths,
// signatures). The node budget keeps one input small however its bytes nest. Wire values are
// those QtDBus can send: no invalid variants or hashes, texts without NUL or broken UTF-16.
class FuzzVariant {
public:
    FuzzVariant(FuzzedDataProvider& data, int depth, int nodes, bool wire)
        : m_data(data)
        , m_depth(depth)
        , m_nodes(nodes)
        , m_wire(wire)
    {
    }

    QVariantMap map(int depth = 0);
    QVariant value(int depth);
    QString text();
    // A text of an id family ("Layout", "SetActive", "WebServer", "Hammer batch", ...).
    QString idText();
    QString pick(const QStringList& texts);

    // A readable seed: an input that starts with '{' is a JSON object, the map as it is.
    static bool readableSeed(const uint8_t* bytes, size_t size, QVariantMap& map);

private:
    template <class T> QVariant number();
    QString freeText();

    FuzzedDataProvider& m_data;
    const int m_depth;
    int m_nodes;
    const bool m_wire;
};
