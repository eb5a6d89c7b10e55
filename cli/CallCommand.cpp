#include "CallCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "ValueText.h"

int CallCommand::run(const QStringList& words)
{
    if (words.size() < 2) {
        return usage(QStringLiteral("call wants COMMAND SUBCOMMAND [KEY=VALUE...]"));
    }
    QVariantMap arguments;
    for (const QString& word : words.mid(2)) {
        const int equals = word.indexOf(QLatin1Char('='));
        const QVariant value = equals > 0 ? ValueText::typed(word.mid(equals + 1)) : QVariant();
        if (!value.isValid()) {
            return usage(QStringLiteral("\"%1\" is not KEY=VALUE with a value of its type").arg(word));
        }
        arguments.insert(word.left(equals), value);
    }
    QVariantMap result;
    const bool success = m_client.process(words.at(0), words.at(1), arguments, result);
    if (!success && result.isEmpty()) {
        return failed();
    }
    if (m_printer.json()) {
        m_printer.document(result);
    } else {
        QList<QPair<QString, QString>> fields;
        for (auto it = result.constBegin(); it != result.constEnd(); ++it) {
            fields << qMakePair(it.key(), ValueText::display(it.value()));
        }
        m_printer.fields(fields);
    }
    return success ? ExitStatus::Success : failed();
}
