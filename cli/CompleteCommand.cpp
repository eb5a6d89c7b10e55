#include "CompleteCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "layout/LayoutKeys.h"
#include "ls/BrailleTableCmdId.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/Keys.h"
#include "ls/LayoutCmdId.h"
#include "ls/PrintCmdId.h"
#include "ls/ServiceId.h"
#include "ls/SslCmdId.h"
#include "ls/SystemInfoCmdId.h"
#include "ls/SystemOptionsCmdId.h"
#include "ls/UserPaperCmdId.h"

#include <QHash>

namespace {
// The sub-command family of each command.
const ls::MetaEnum* subCommands(const QString& command)
{
    static const QHash<QString, const ls::MetaEnum*> families {
        { ls::ConfigManagerCmdId::Layout, &ls::LayoutCmdId::meta },
        { ls::ConfigManagerCmdId::BrailleTable, &ls::BrailleTableCmdId::meta },
        { ls::ConfigManagerCmdId::UserPaper, &ls::UserPaperCmdId::meta },
        { ls::ConfigManagerCmdId::SystemInfo, &ls::SystemInfoCmdId::meta },
        { ls::ConfigManagerCmdId::Print, &ls::PrintCmdId::meta },
        { ls::ConfigManagerCmdId::Ssl, &ls::SslCmdId::meta },
        { ls::ConfigManagerCmdId::SystemOptions, &ls::SystemOptionsCmdId::meta },
    };
    return families.value(command);
}
} // namespace

int CompleteCommand::run(const QStringList& words)
{
    const QString what = words.value(0);
    QStringList candidates;
    if (what == QLatin1String("get") || what == QLatin1String("set")) {
        const QStringList names = m_client.introspection().names();
        for (const QString& name : names) {
            if (name.startsWith(what)) {
                candidates << name.mid(what.size());
            }
        }
    } else if (what == QLatin1String("layout-parameters")) {
        QVariantMap result;
        if (m_client.process(ls::ConfigManagerCmdId::Layout, ls::LayoutCmdId::ReadParameterList, {}, result)) {
            QStringList names = result.value(ls::parameterListKey).toMap().keys();
            names.removeAll(LayoutKeys::metadata);
            // "Line per page" as LinePerPage: a word of the shell, which `layout set` takes.
            for (const QString& name : qAsConst(names)) {
                QStringList parts = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
                for (QString& part : parts) {
                    part[0] = part.at(0).toUpper();
                }
                candidates << parts.join(QString()) + QLatin1Char('=');
            }
        }
    } else if (what == QLatin1String("commands")) {
        candidates = ls::ConfigManagerCmdId::meta.keys();
    } else if (what == QLatin1String("subcommands")) {
        const ls::MetaEnum* family = subCommands(words.value(1));
        candidates = family ? family->keys() : QStringList();
    } else if (what == QLatin1String("senders")) {
        candidates = ls::ServiceId::meta.keys();
    } else {
        return ExitStatus::Usage;
    }
    for (const QString& candidate : qAsConst(candidates)) {
        m_printer.line(candidate);
    }
    return ExitStatus::Success;
}
