#include "TableCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "ValueText.h"
#include "ls/BrailleTableCmdId.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/Keys.h"
#include "ls/LayoutCmdId.h"

#include <QCommandLineParser>

namespace {
const QString dotsOption = QStringLiteral("dots");
const QString legacySuffix = QStringLiteral(".ebc");
} // namespace

QStringList TableCommand::options() const
{
    return { dotsOption };
}

int TableCommand::run(const QStringList& words)
{
    if (words.value(0) == QLatin1String("list") && words.size() == 1) {
        return list();
    }
    if (words.value(0) == QLatin1String("info") && words.size() == 3) {
        return info(words.at(1), words.at(2));
    }
    return usage(QStringLiteral("table wants list [--dots 6|8] or info LANGUAGE TABLE"));
}

int TableCommand::list()
{
    const QString dots = m_options.value(dotsOption);
    if (!dots.isEmpty() && dots != QLatin1String("6") && dots != QLatin1String("8")) {
        return usage(QStringLiteral("--dots is 6 or 8"));
    }
    QVariantMap tables;
    QVariantMap user;
    if (!m_client.process(ls::ConfigManagerCmdId::Layout, ls::LayoutCmdId::GetLiblouisTables, {}, tables)
        || !m_client.process(ls::ConfigManagerCmdId::BrailleTable, ls::BrailleTableCmdId::GetUserTables, {}, user)) {
        return failed();
    }
    // The service names the two lists by the descriptions of the cell's dot count.
    QVariantMap byDots = tables.value(ls::liblouisTablesKey).toMap();
    if (dots == QLatin1String("6")) {
        byDots.remove(ls::eightDotKey);
    } else if (dots == QLatin1String("8")) {
        byDots.remove(ls::sixDotKey);
    }
    if (m_printer.json()) {
        m_printer.document(
            QVariantMap { { ls::liblouisTablesKey, byDots }, { ls::userTablesKey, user.value(ls::userTablesKey) } });
        return ExitStatus::Success;
    }
    QList<QStringList> rows;
    for (auto list = byDots.constBegin(); list != byDots.constEnd(); ++list) {
        const QVariantMap entries = list.value().toMap();
        for (auto it = entries.constBegin(); it != entries.constEnd(); ++it) {
            rows << QStringList { list.key(), it.key(), ValueText::display(it.value()) };
        }
    }
    const QVariantMap userSlots = user.value(ls::userTablesKey).toMap();
    for (auto it = userSlots.constBegin(); it != userSlots.constEnd(); ++it) {
        rows << QStringList { QStringLiteral("user"), it.key(), ValueText::display(it.value()) };
    }
    m_printer.table({ QStringLiteral("DOTS"), QStringLiteral("TABLE"), QStringLiteral("NAME") }, rows);
    return ExitStatus::Success;
}

int TableCommand::info(const QString& language, const QString& table)
{
    const QVariantMap arguments { { ls::languageKey, language }, { ls::tableKey, table } };
    // The maker's legacy tables are the ".ebc" files; every other name is a liblouis table.
    const bool legacy = table.endsWith(legacySuffix);
    QVariantMap result;
    if (!m_client.process(ls::ConfigManagerCmdId::BrailleTable,
            legacy ? ls::BrailleTableCmdId::GetLegacyTableMetadata : ls::BrailleTableCmdId::GetTableMetadata, arguments,
            result)) {
        return failed();
    }
    result.remove(ls::resultIdKey);
    result.remove(ls::errorIdKey);
    if (m_printer.json()) {
        m_printer.document(result);
        return ExitStatus::Success;
    }
    QList<QPair<QString, QString>> fields;
    for (auto it = result.constBegin(); it != result.constEnd(); ++it) {
        QString name = it.key();
        if (name.endsWith(QLatin1Char(':'))) {
            name.chop(1);
        }
        fields << qMakePair(name, ValueText::display(it.value()));
    }
    m_printer.fields(fields);
    return ExitStatus::Success;
}
