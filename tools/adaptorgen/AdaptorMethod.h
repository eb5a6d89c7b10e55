#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// One D-Bus method of the adaptor, as the generator writes it: a C++ slot and its introspection.
struct AdaptorArgument {
    QString type; // C++ value type, without const and reference
    QString name;
};

struct AdaptorMethod {
    QString returnType; // "void" for none
    QString name;
    QVector<AdaptorArgument> arguments;
    QString body; // expression; returned unless returnType is void
    int tableLine = 0;
};
