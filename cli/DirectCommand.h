#pragma once

#include "Introspection.h"
#include "SubCommand.h"

#include <QVariantList>

// `get NAME [ARG...]` and `set NAME VALUE...`: one direct method of the service, its overload
// chosen from the service's introspection by the values given. --catalog fills an argument
// named "catalog" and --save one named "save"; the words fill the others in order and must
// convert to their D-Bus types. Among the overloads that take exactly these values, the one
// that needs the fewest defaults wins (a catalog without --catalog is "masterCollectionKey").
class DirectCommand : public SubCommand {
public:
    DirectCommand(bool setter, ServiceClient& client, Printer& printer, const QCommandLineParser& options);

    QStringList options() const override;
    int run(const QStringList& words) override;

    // The method a NAME stands for: itself, or get/set + NAME, case ignored; empty if none.
    static QString methodName(const Introspection& methods, const QString& prefix, const QString& name);

private:
    // Fills `arguments` for one overload; false (and why, in `reason`) when it does not fit.
    bool fit(const Introspection::Method& method, const QStringList& values, QVariantList& arguments, int& defaults,
        QString& reason) const;

    bool m_setter;
};
