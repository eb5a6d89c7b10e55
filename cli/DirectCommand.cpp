#include "DirectCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "ValueText.h"
#include "property/manager/CatalogsManager.h"

#include <QCommandLineParser>

namespace {
const QString catalogArgument = QStringLiteral("catalog");
const QString saveArgument = QStringLiteral("save");

QString signatureText(const Introspection::Method& method)
{
    QStringList arguments;
    for (const Introspection::Argument& argument : method.in) {
        arguments << QStringLiteral("%1 %2").arg(ValueText::typeName(argument.signature), argument.name);
    }
    return QStringLiteral("%1(%2)").arg(method.name, arguments.join(QStringLiteral(", ")));
}
} // namespace

DirectCommand::DirectCommand(bool setter, ServiceClient& client, Printer& printer, const QCommandLineParser& options)
    : SubCommand(client, printer, options)
    , m_setter(setter)
{
}

QStringList DirectCommand::options() const
{
    return m_setter ? QStringList { catalogArgument, saveArgument } : QStringList { catalogArgument };
}

QString DirectCommand::methodName(const Introspection& methods, const QString& prefix, const QString& name)
{
    const QStringList names = methods.names();
    for (const QString& candidate : { name, prefix + name }) {
        if (names.contains(candidate)) {
            return candidate;
        }
    }
    for (const QString& candidate : names) {
        if (candidate.compare(prefix + name, Qt::CaseInsensitive) == 0) {
            return candidate;
        }
    }
    return QString();
}

bool DirectCommand::fit(const Introspection::Method& method, const QStringList& values, QVariantList& arguments,
    int& defaults, QString& reason) const
{
    arguments.clear();
    defaults = 0;
    const bool catalogGiven = m_options.isSet(catalogArgument);
    const bool saveGiven = m_setter && m_options.isSet(saveArgument);
    bool catalogTaken = false;
    bool saveTaken = false;
    int next = 0;
    for (const Introspection::Argument& argument : method.in) {
        if (argument.name == catalogArgument && argument.signature == QLatin1String("s")) {
            catalogTaken = true;
            defaults += catalogGiven ? 0 : 1;
            arguments << (catalogGiven ? m_options.value(catalogArgument) : masterCollectionKey);
        } else if (argument.name == saveArgument && argument.signature == QLatin1String("b")) {
            if (!saveGiven) {
                return false;
            }
            saveTaken = true;
            arguments << true;
        } else {
            if (next >= values.size()) {
                return false;
            }
            const QVariant value = ValueText::toSignature(values.at(next), argument.signature);
            if (!value.isValid()) {
                reason = QStringLiteral("\"%1\" does not convert to %2 (%3 of %4)")
                             .arg(values.at(next), ValueText::typeName(argument.signature), argument.name, method.name);
                return false;
            }
            arguments << value;
            ++next;
        }
    }
    return next == values.size() && (catalogTaken || !catalogGiven) && (saveTaken || !saveGiven);
}

int DirectCommand::run(const QStringList& words)
{
    const QString verb = m_setter ? QStringLiteral("set") : QStringLiteral("get");
    if (words.isEmpty() || (m_setter && words.size() < 2)) {
        return usage(m_setter ? QStringLiteral("set needs a NAME and a VALUE") : QStringLiteral("get needs a NAME"));
    }
    const Introspection& methods = m_client.introspection();
    if (methods.isEmpty()) {
        return failed();
    }
    const QString method = methodName(methods, verb, words.first());
    if (method.isEmpty()) {
        return usage(QStringLiteral("unknown name \"%1\": the service has no method %2 or %3%2")
                         .arg(words.first(), words.first(), verb));
    }
    const QStringList values = words.mid(1);
    const Introspection::Method* chosen = nullptr;
    QVariantList arguments;
    int fewestDefaults = 0;
    QString reason;
    const QList<Introspection::Method> overloads = methods.overloads(method);
    for (const Introspection::Method& overload : overloads) {
        QVariantList candidate;
        int defaults = 0;
        if (fit(overload, values, candidate, defaults, reason) && (!chosen || defaults < fewestDefaults)) {
            chosen = &overload;
            arguments = candidate;
            fewestDefaults = defaults;
        }
    }
    if (!chosen) {
        QStringList forms;
        for (const Introspection::Method& overload : overloads) {
            forms << QStringLiteral("  ") + signatureText(overload);
        }
        return usage(QStringLiteral("%1 does not take these values%2; its forms are:\n%3")
                         .arg(method, reason.isEmpty() ? QString() : QStringLiteral(": ") + reason,
                             forms.join(QLatin1Char('\n'))));
    }
    QVariantList answers;
    if (!m_client.call(method, arguments, answers)) {
        return failed();
    }
    const QVariant answer = answers.value(0);
    if (m_printer.json()) {
        m_printer.document(QVariantMap { { QStringLiteral("method"), method },
            { QStringLiteral("signature"), chosen->inSignature() }, { QStringLiteral("value"), answer } });
    } else if (answer.isValid()) {
        const bool container = answer.type() == QVariant::Map || answer.type() == QVariant::List;
        if (container) {
            m_printer.document(answer);
        } else {
            m_printer.line(ValueText::display(answer));
        }
    }
    // A setter that answers a bool says whether it stored the value.
    if (m_setter && chosen->out == QStringList { QStringLiteral("b") } && !answer.toBool()) {
        m_printer.error(QStringLiteral("%1 refused the value").arg(method));
        return ExitStatus::Refused;
    }
    return ExitStatus::Success;
}
