#include "StatusCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "ValueText.h"
#include "layout/LayoutKeys.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/LayoutCmdId.h"
#include "ls/SystemOptionsCmdId.h"
#include "ls/UserPaperCmdId.h"

namespace {
const QString unknown = QStringLiteral("unknown");
const QString httpsField = QStringLiteral("https");
const QString serialField = QStringLiteral("serialNo");
const QString activeNameField = QStringLiteral("activeLayoutName");
} // namespace

bool StatusCommand::get(const QString& method, QVariant& value)
{
    QVariantList answers;
    if (!m_client.call(method, {}, answers)) {
        return false;
    }
    value = answers.value(0);
    return true;
}

int StatusCommand::run(const QStringList& words)
{
    if (!words.isEmpty()) {
        return usage(QStringLiteral("status takes no words"));
    }
    QVariant model;
    QVariant serial;
    QVariant firmware;
    QVariant https;
    QVariantMap layouts;
    QVariantMap papers;
    if (!get(QStringLiteral("getModel"), model) || !get(QStringLiteral("getSerialNo"), serial)
        || !get(QStringLiteral("getFirmwareDate"), firmware) || !get(QStringLiteral("getHTTPS"), https)
        || !m_client.process(ls::ConfigManagerCmdId::Layout, ls::LayoutCmdId::ReadAllLayouts, {}, layouts)
        || !m_client.process(ls::ConfigManagerCmdId::UserPaper, ls::UserPaperCmdId::ReadAllPapers, {}, papers)) {
        return failed();
    }
    // The time zone belongs to the system options, which older services do not have.
    QVariantMap options;
    QVariant timeZone = unknown;
    if (m_client.process(ls::ConfigManagerCmdId::SystemOptions, ls::SystemOptionsCmdId::GetTimeZone, {}, options)) {
        timeZone = options.value(ls::timeZoneKey);
    } else if (m_client.errorStatus() == ExitStatus::Unreachable) {
        return failed();
    } else if (options.value(ls::errorIdKey) != ls::ErrorId::CmdNotFound) {
        m_printer.error(m_client.error());
    }
    const int active = layouts.value(ls::activeLayoutKey).toInt();
    const QString name
        = layouts.value(ls::layoutDashKey + QString::number(active)).toMap().value(LayoutKeys::layoutName).toString();
    const bool httpsOn = https.toInt() != 0;
    if (m_printer.json()) {
        m_printer.document(QVariantMap { { ls::modelKey, model }, { serialField, serial },
            { ls::firmwareKey, firmware }, { ls::activeLayoutKey, active }, { activeNameField, name },
            { ls::nrOfLayoutsKey, layouts.value(ls::nrOfLayoutsKey) },
            { ls::nrOfPapersKey, papers.value(ls::nrOfPapersKey) }, { httpsField, httpsOn },
            { ls::timeZoneKey, timeZone } });
        return ExitStatus::Success;
    }
    m_printer.fields({
        { QStringLiteral("Model"), model.toString() },
        { QStringLiteral("Serial number"), serial.toString() },
        { QStringLiteral("Firmware date"), firmware.toString() },
        { QStringLiteral("Active layout"), QStringLiteral("%1 (%2)").arg(active).arg(name) },
        { QStringLiteral("Layouts"), layouts.value(ls::nrOfLayoutsKey).toString() },
        { QStringLiteral("User papers"), papers.value(ls::nrOfPapersKey).toString() },
        { QStringLiteral("HTTPS"), httpsOn ? QStringLiteral("on") : QStringLiteral("off") },
        { QStringLiteral("Time zone"), ValueText::display(timeZone) },
    });
    return ExitStatus::Success;
}
