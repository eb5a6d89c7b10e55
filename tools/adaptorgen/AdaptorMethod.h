#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// One D-Bus member of the adaptor, as the generator writes it: a C++ slot or signal and its
// introspection.
struct AdaptorArgument {
    QString type; // C++ value type, without const and reference
    QString name;
};

struct AdaptorMethod {
    QString returnType; // "void" for none
    QString name;
    QVector<AdaptorArgument> arguments;
    QString body; // expression; returned unless returnType is void; empty for a signal
    bool isSignal = false;
    // Answered before the service has built its objects; every other slot refuses such a call.
    bool early = false;
    int tableLine = 0;
};
