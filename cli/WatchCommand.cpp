#include "WatchCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "ValueText.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/Keys.h"
#include "ls/ServiceId.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {
const QString countOption = QStringLiteral("count");

// A text the id family does not know is shown as it came, marked.
QString idName(const ls::MetaEnum& family, const QVariant& id)
{
    const QString text = id.toString();
    return family.contains(text) ? text : QStringLiteral("%1(unknown %2)").arg(text, family.name());
}
} // namespace

WatchCommand::WatchCommand(ServiceClient& client, Printer& printer, const QCommandLineParser& options)
    : SubCommand(client, printer, options)
{
}

QStringList WatchCommand::options() const
{
    return { countOption };
}

QString WatchCommand::describe(const QVariantMap& notification)
{
    QStringList payload;
    for (auto it = notification.constBegin(); it != notification.constEnd(); ++it) {
        if (it.key() != ls::notificationIdKey && it.key() != ls::actionIdKey && it.key() != ls::senderIdKey) {
            payload << QStringLiteral("%1=%2").arg(it.key(), ValueText::display(it.value()));
        }
    }
    return QStringLiteral("%1 %2 from %3: %4")
        .arg(idName(ls::ConfigManagerNotifId::meta, notification.value(ls::notificationIdKey)),
            notification.value(ls::actionIdKey).toString(),
            idName(ls::ServiceId::meta, notification.value(ls::senderIdKey)), payload.join(QLatin1Char(' ')));
}

int WatchCommand::run(const QStringList& words)
{
    if (!words.isEmpty()) {
        return usage(QStringLiteral("watch takes no words"));
    }
    if (m_options.isSet(countOption)) {
        m_left = number(m_options.value(countOption), QStringLiteral("--count"));
        if (m_left <= 0) {
            return m_left < 0 ? ExitStatus::Usage : ExitStatus::Success;
        }
    }
    if (!m_client.isRunning() || !m_client.subscribe(this, SLOT(received(QVariantMap)))) {
        return failed();
    }
    m_printer.error(QStringLiteral("watching the notifications of %1 (Ctrl-C ends)").arg(ServiceClient::service()));
    return QCoreApplication::exec();
}

void WatchCommand::received(const QVariantMap& notification)
{
    const QVariantMap plain = ServiceClient::unpack(notification).toMap();
    if (m_printer.json()) {
        m_printer.document(plain, true);
    } else {
        m_printer.line(describe(plain));
    }
    if (m_left > 0 && --m_left == 0) {
        QCoreApplication::exit(ExitStatus::Success);
    }
}
