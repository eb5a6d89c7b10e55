#include "LayoutCommand.h"

#include "ExitStatus.h"
#include "Printer.h"
#include "ServiceClient.h"
#include "ValueText.h"
#include "layout/LayoutKeys.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/LayoutCmdId.h"

#include <QCommandLineParser>

#include <algorithm>

namespace {
const QString usbOption = QStringLiteral("usb");
const QString dryRunOption = QStringLiteral("dry-run");
const QString activeField = QStringLiteral("active");
const QString changedField = QStringLiteral("changed");
const QString repairedField = QStringLiteral("repaired");
const QString writtenField = QStringLiteral("written");
const QString modelMethod = QStringLiteral("getModel");

// The places of layout backups; the prefixes are the backup script's own location names.
const QString localPlace = QStringLiteral("local");
const QString usbPlace = QStringLiteral("usb");
const QString distributorPlace = QStringLiteral("distributor");
const QString factoryPlace = QStringLiteral("factory");
const QString localLocation = QStringLiteral("internal:layouts/");
const QString usbLocation = QStringLiteral("usb:layouts/");

int layoutNumber(const QString& key)
{
    return key.mid(ls::layoutDashKey.size()).toInt();
}

// "Line per page", "LinePerPage" and "lineperpage" name the same parameter.
QString squashed(const QString& name)
{
    QString result = name.toLower();
    result.remove(QLatin1Char(' '));
    return result;
}
} // namespace

QStringList LayoutCommand::options() const
{
    return { usbOption, dryRunOption };
}

bool LayoutCommand::process(const QString& subCommand, const QVariantMap& arguments, QVariantMap& result)
{
    return m_client.process(ls::ConfigManagerCmdId::Layout, subCommand, arguments, result);
}

int LayoutCommand::done(const QVariantMap& json, const QString& text)
{
    if (m_printer.json()) {
        m_printer.document(json);
    } else if (!text.isEmpty()) {
        m_printer.line(text);
    }
    return ExitStatus::Success;
}

int LayoutCommand::run(const QStringList& words)
{
    const QString action = words.value(0);
    const QStringList rest = words.mid(1);
    if (action == QLatin1String("list") && rest.isEmpty()) {
        return list();
    }
    if (action == QLatin1String("show")) {
        return show(rest);
    }
    if (action == QLatin1String("activate")) {
        return simple(ls::LayoutCmdId::SetActive, rest, QStringLiteral("Layout %1 is active."));
    }
    if (action == QLatin1String("delete")) {
        return simple(ls::LayoutCmdId::DeleteLayout, rest, QStringLiteral("Layout %1 deleted."));
    }
    if (action == QLatin1String("add") && rest.isEmpty()) {
        return add();
    }
    if (action == QLatin1String("set")) {
        return set(rest);
    }
    if (action == QLatin1String("backup")) {
        return backup(rest);
    }
    if (action == QLatin1String("backups") && rest.size() <= 1) {
        return backups(rest);
    }
    if (action == QLatin1String("restore")) {
        return restore(rest);
    }
    return usage(QStringLiteral("layout wants list, show N, activate N, add, delete N, set N NAME=VALUE..., "
                                "backup [N...], backups [PLACE] or restore PLACE [FOLDER] [N...]"));
}

int LayoutCommand::list()
{
    QVariantMap result;
    if (!process(ls::LayoutCmdId::ReadAllLayouts, {}, result)) {
        return failed();
    }
    const int active = result.value(ls::activeLayoutKey).toInt();
    QList<int> numbers;
    for (auto it = result.constBegin(); it != result.constEnd(); ++it) {
        if (it.key().startsWith(ls::layoutDashKey)) {
            numbers << layoutNumber(it.key());
        }
    }
    std::sort(numbers.begin(), numbers.end());
    QVariantList layouts;
    QList<QStringList> rows;
    for (int n : qAsConst(numbers)) {
        const QVariantMap layout = result.value(ls::layoutDashKey + QString::number(n)).toMap();
        const QString size = QStringLiteral("%1 x %2").arg(
            layout.value(LayoutKeys::charactersPerLine).toString(), layout.value(LayoutKeys::linePerPage).toString());
        rows << QStringList { QString::number(n), layout.value(LayoutKeys::layoutName).toString(),
            layout.value(LayoutKeys::paperSize).toString(), size, n == active ? QStringLiteral("*") : QString() };
        layouts << QVariantMap { { ls::layoutNrKey, n },
            { LayoutKeys::layoutName, layout.value(LayoutKeys::layoutName) },
            { LayoutKeys::paperSize, layout.value(LayoutKeys::paperSize) },
            { LayoutKeys::charactersPerLine, layout.value(LayoutKeys::charactersPerLine) },
            { LayoutKeys::linePerPage, layout.value(LayoutKeys::linePerPage) }, { activeField, n == active } };
    }
    if (m_printer.json()) {
        m_printer.document(QVariantMap { { ls::activeLayoutKey, active },
            { ls::nrOfLayoutsKey, result.value(ls::nrOfLayoutsKey) }, { ls::layoutListKey, layouts } });
    } else {
        m_printer.table({ QStringLiteral("NR"), QStringLiteral("NAME"), QStringLiteral("PAPER"),
                            QStringLiteral("CHARS x LINES"), QStringLiteral("ACTIVE") },
            rows);
    }
    return ExitStatus::Success;
}

int LayoutCommand::show(const QStringList& words)
{
    const int n = words.size() == 1 ? number(words.first(), QStringLiteral("the layout number")) : -1;
    if (n < 0) {
        return words.size() == 1 ? ExitStatus::Usage : usage(QStringLiteral("layout show wants one layout number"));
    }
    QVariantMap result;
    if (!process(ls::LayoutCmdId::ReadLayout, { { ls::layoutNrKey, n } }, result)) {
        return failed();
    }
    const QVariantMap layout = result.value(ls::layoutDataKey).toMap();
    if (m_printer.json()) {
        m_printer.document(layout);
        return ExitStatus::Success;
    }
    QList<QPair<QString, QString>> fields;
    for (auto it = layout.constBegin(); it != layout.constEnd(); ++it) {
        fields << qMakePair(it.key(), ValueText::display(it.value()));
    }
    m_printer.fields(fields);
    return ExitStatus::Success;
}

int LayoutCommand::simple(const QString& subCommand, const QStringList& words, const QString& text)
{
    if (words.size() != 1) {
        return usage(QStringLiteral("%1 wants one layout number").arg(subCommand));
    }
    const int n = number(words.first(), QStringLiteral("the layout number"));
    if (n < 0) {
        return ExitStatus::Usage;
    }
    QVariantMap result;
    if (!process(subCommand, { { ls::layoutNrKey, n } }, result)) {
        return failed();
    }
    return done({ { ls::layoutNrKey, n } }, text.arg(n));
}

int LayoutCommand::add()
{
    QVariantMap result;
    if (!process(ls::LayoutCmdId::AddLayout, {}, result)) {
        return failed();
    }
    const int n = result.value(ls::layoutNrKey).toInt();
    return done({ { ls::layoutNrKey, n } }, QStringLiteral("Layout %1 added.").arg(n));
}

bool LayoutCommand::parameterNames(QStringList& names)
{
    QVariantMap result;
    if (!process(ls::LayoutCmdId::ReadParameterList, {}, result)) {
        return false;
    }
    names = result.value(ls::parameterListKey).toMap().keys();
    names.removeAll(LayoutKeys::metadata);
    return true;
}

int LayoutCommand::set(const QStringList& words)
{
    if (words.size() < 2) {
        return usage(QStringLiteral("layout set wants a layout number and NAME=VALUE..."));
    }
    const int n = number(words.first(), QStringLiteral("the layout number"));
    if (n < 0) {
        return ExitStatus::Usage;
    }
    QStringList names;
    QVariantMap result;
    if (!parameterNames(names) || !process(ls::LayoutCmdId::ReadLayout, { { ls::layoutNrKey, n } }, result)) {
        return failed();
    }
    const QVariantMap original = result.value(ls::layoutDataKey).toMap();
    QVariantMap layout = original;
    QVariantMap changed;
    for (const QString& assignment : words.mid(1)) {
        const int equals = assignment.indexOf(QLatin1Char('='));
        const QString given = assignment.left(equals);
        const auto match = std::find_if(names.cbegin(), names.cend(),
            [&](const QString& name) { return name == given || squashed(name) == squashed(given); });
        if (equals <= 0 || match == names.cend()) {
            return usage(equals <= 0 ? QStringLiteral("\"%1\" is not NAME=VALUE").arg(assignment)
                                     : QStringLiteral("unknown layout parameter \"%1\"").arg(given));
        }
        const QString name = *match;
        const QString text = assignment.mid(equals + 1);
        const QVariant previous = layout.value(name);
        QVariant value = text;
        if (previous.type() == QVariant::Int || previous.type() == QVariant::Double) {
            value = ValueText::toSignature(text, previous.type() == QVariant::Int ? "i" : "d");
            if (!value.isValid()) {
                return usage(QStringLiteral("%1 takes a number, not \"%2\"").arg(name, text));
            }
        }
        layout.insert(name, value);
        QVariantMap answer;
        if (!process(ls::LayoutCmdId::GetPropertyValues,
                { { ls::layoutDataKey, layout }, { ls::propertyNameKey, name }, { ls::previousPropertyKey, name },
                    { ls::previousValueKey, ValueText::display(previous) } },
                answer)) {
            return failed();
        }
        // The values the parameter may take in this layout: limits, or a map from each value.
        const QVariantMap allowed = answer.value(ls::propertyValuesKey).toMap();
        const bool numeric = allowed.contains(ls::minValueKey) && allowed.contains(ls::maxValueKey);
        const bool refused = numeric ? value.toDouble() < allowed.value(ls::minValueKey).toDouble()
                || value.toDouble() > allowed.value(ls::maxValueKey).toDouble()
                                     : !allowed.isEmpty() && !allowed.contains(text);
        if (refused) {
            const QString range = numeric
                ? QStringLiteral("%1 to %2")
                      .arg(allowed.value(ls::minValueKey).toString(), allowed.value(ls::maxValueKey).toString())
                : allowed.keys().join(QStringLiteral(", "));
            m_printer.error(QStringLiteral("%1 of layout %2 cannot be \"%3\" (%4); it may be: %5")
                                .arg(name)
                                .arg(n)
                                .arg(text, ls::ErrorId::InvalidValue, range));
            return ExitStatus::Refused;
        }
        changed.insert(name, value);
        layout = answer.value(ls::layoutDataKey).toMap();
    }

    QVariantMap changes;
    QVariantMap repairs;
    QStringList lines;
    QStringList repairLines;
    for (const QString& name : qAsConst(names)) {
        if (original.value(name) == layout.value(name)) {
            continue;
        }
        const QVariantMap change { { QStringLiteral("from"), original.value(name) },
            { QStringLiteral("to"), layout.value(name) } };
        const bool asked = changed.contains(name);
        (asked ? changes : repairs).insert(name, change);
        (asked ? lines : repairLines) << QStringLiteral("%1%2: %3 -> %4")
                                             .arg(asked ? QString() : QStringLiteral("  repaired "), name,
                                                 ValueText::display(original.value(name)),
                                                 ValueText::display(layout.value(name)));
    }
    lines += repairLines;
    const bool write = !m_options.isSet(dryRunOption);
    if (write
        && !process(ls::LayoutCmdId::WriteLayout, { { ls::layoutNrKey, n }, { ls::layoutDataKey, layout } }, result)) {
        m_printer.error(QStringLiteral("not written:\n") + lines.join(QLatin1Char('\n')));
        return failed();
    }
    if (!m_printer.json()) {
        m_printer.line(QStringLiteral("Layout %1%2").arg(n).arg(write ? QString() : QStringLiteral(" (not written)")));
    }
    return done(
        { { ls::layoutNrKey, n }, { changedField, changes }, { repairedField, repairs }, { writtenField, write } },
        lines.join(QLatin1Char('\n')));
}

bool LayoutCommand::numbers(const QStringList& words, QVariantList& result)
{
    for (const QString& word : words) {
        const int n = number(word, QStringLiteral("a layout number"));
        if (n < 0) {
            return false;
        }
        result << n;
    }
    return true;
}

int LayoutCommand::backup(const QStringList& words)
{
    QVariantList layouts;
    if (!numbers(words, layouts)) {
        return ExitStatus::Usage;
    }
    const bool usb = m_options.isSet(usbOption);
    QVariantMap result;
    if (!process(usb ? ls::LayoutCmdId::BackupUsb : ls::LayoutCmdId::BackupLocal, { { ls::layoutListKey, layouts } },
            result)) {
        return failed();
    }
    return done({ { ls::layoutListKey, layouts } },
        QStringLiteral("Backup %1 written.")
            .arg(usb ? QStringLiteral("on the USB stick") : QStringLiteral("in the embosser")));
}

int LayoutCommand::backups(const QStringList& words)
{
    const QString place = words.value(0, localPlace);
    QVariantMap arguments;
    QString subCommand = ls::LayoutCmdId::GetLocalBackups;
    if (place == usbPlace || place == distributorPlace) {
        QVariantList model;
        if (!m_client.call(modelMethod, {}, model)) {
            return failed();
        }
        arguments.insert(ls::modelKey, model.value(0));
        subCommand = place == usbPlace ? ls::LayoutCmdId::GetUsbBackups : ls::LayoutCmdId::GetDistributorBackups;
    } else if (place != localPlace) {
        return usage(QStringLiteral("backups are local, usb or distributor, not \"%1\"").arg(place));
    }
    QVariantMap result;
    if (!process(subCommand, arguments, result)) {
        return failed();
    }
    const QVariantMap folders = result.value(ls::backupFoldersKey).toMap();
    if (m_printer.json()) {
        m_printer.document(folders);
        return ExitStatus::Success;
    }
    QList<QStringList> rows;
    for (auto it = folders.constBegin(); it != folders.constEnd(); ++it) {
        rows << QStringList { it.key(), it.value().toStringList().join(QLatin1Char(' ')) };
    }
    m_printer.table({ QStringLiteral("FOLDER"), QStringLiteral("LAYOUTS") }, rows);
    return ExitStatus::Success;
}

int LayoutCommand::restore(const QStringList& words)
{
    const QString place = words.value(0);
    if (place == factoryPlace) {
        QVariantMap result;
        if (words.size() != 1) {
            return usage(QStringLiteral("restore factory takes nothing more"));
        }
        if (!process(ls::LayoutCmdId::RestoreFactory, {}, result)) {
            return failed();
        }
        return done({}, QStringLiteral("Factory layouts restored; layout 1 is active."));
    }
    // A folder is any word that is not a number; a local or USB restore without one takes the
    // newest backup.
    QString folder;
    QStringList rest = words.mid(1);
    bool isNumber = false;
    if (!rest.isEmpty()) {
        rest.first().toInt(&isNumber);
        if (!isNumber) {
            folder = rest.takeFirst();
        }
    }
    QVariantList layouts;
    if (!numbers(rest, layouts)) {
        return ExitStatus::Usage;
    }
    QString subCommand;
    QString location;
    if (place == localPlace) {
        subCommand = ls::LayoutCmdId::RestoreLocal;
        location = folder.isEmpty() ? QString() : localLocation;
    } else if (place == usbPlace) {
        subCommand = ls::LayoutCmdId::RestoreUsb;
        location = folder.isEmpty() ? QString() : usbLocation;
    } else if (place == distributorPlace && !folder.isEmpty()) {
        subCommand = ls::LayoutCmdId::RestoreDistributor;
        location = distributorPlace;
    } else {
        return usage(QStringLiteral("restore wants local [FOLDER], usb [FOLDER], distributor SET or factory, "
                                    "then layout numbers (all when none)"));
    }
    QVariantMap result;
    if (!process(subCommand,
            { { ls::locationKey, location }, { ls::sourceKey, folder }, { ls::layoutListKey, layouts } }, result)) {
        return failed();
    }
    return done({ { ls::locationKey, location }, { ls::sourceKey, folder }, { ls::layoutListKey, layouts } },
        QStringLiteral("Layouts restored from %1%2; layout 1 is active.")
            .arg(place, folder.isEmpty() ? QString() : QLatin1Char(' ') + folder));
}
