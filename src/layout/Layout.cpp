#include "Layout.h"

#include "CommandArguments.h"

#include "DocSettingList.h"
#include "LayoutFile.h"
#include "LayoutSettings.h"
#include "ParameterList.h"
#include "brailletable/MetadataKeys.h"
#include "brailletable/TableNames.h"
#include "brailletable/TableSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/ErrorId.h"
#include "ls/LayoutActionId.h"
#include "ls/LayoutCmdId.h"
#include "property/PropValueList.h"

CM_LOGGING_CATEGORY(lcLayout, "Layout")

namespace {

// A store operation or script refused: "<operation> FAILED!", error Undefined.
QVariantMap failed(const char* function)
{
    qCCritical(lcLayout).noquote() << libcorvane::logPrefix(function, "FAILED!");
    return CommandHandler::failure(ls::ErrorId::Undefined);
}

QVariantMap failed(const char* function, const QString& message)
{
    qCCritical(lcLayout).noquote() << libcorvane::logPrefix(function, "ERROR:") << message;
    return CommandHandler::failure(ls::ErrorId::Undefined);
}

} // namespace

const CommandHandler::SubCommandTable<Layout> Layout::table {
    { ls::LayoutCmdId::GetActive, &Layout::getActive },
    { ls::LayoutCmdId::SetActive, &Layout::setActive },
    { ls::LayoutCmdId::AddLayout, &Layout::addLayout },
    { ls::LayoutCmdId::DeleteLayout, &Layout::deleteLayout },
    { ls::LayoutCmdId::ReadLayout, &Layout::readLayout },
    { ls::LayoutCmdId::ReadAllLayouts, &Layout::readAllLayouts },
    { ls::LayoutCmdId::WriteLayout, &Layout::writeLayout },
    { ls::LayoutCmdId::Test_WriteLayout, &Layout::testWriteLayout },
    { ls::LayoutCmdId::GetPropertyValues, &Layout::getPropertyValues },
    { ls::LayoutCmdId::Test_GetPropertyValues, &Layout::testGetPropertyValues },
    { ls::LayoutCmdId::ReadParameterList, &Layout::readParameterList },
    { ls::LayoutCmdId::ReadValueList, &Layout::readValueList },
    { ls::LayoutCmdId::ReadDocSettingList, &Layout::readDocSettingsList },
    { ls::LayoutCmdId::BackupLocal, &Layout::backupLocal },
    { ls::LayoutCmdId::BackupUsb, &Layout::backupUsb },
    { ls::LayoutCmdId::BackupDownload, &Layout::backupDownload },
    { ls::LayoutCmdId::RestoreLocal, &Layout::restoreLocal },
    { ls::LayoutCmdId::RestoreUsb, &Layout::restoreUsb },
    { ls::LayoutCmdId::RestoreDistributor, &Layout::restoreDistributor },
    { ls::LayoutCmdId::RestoreUpload, &Layout::restoreUpload },
    { ls::LayoutCmdId::RestoreFactory, &Layout::restoreFactory },
    { ls::LayoutCmdId::GetLocalBackups, &Layout::getLocalBackups },
    { ls::LayoutCmdId::GetUsbBackups, &Layout::getUsbBackups },
    { ls::LayoutCmdId::GetDistributorBackups, &Layout::getDistributorBackups },
    { ls::LayoutCmdId::GetPaperSize, &Layout::getPaperSize },
    { ls::LayoutCmdId::GetUseAdjustableLS, &Layout::getUseAdjustableLS },
    { ls::LayoutCmdId::SetUseAdjustableLS, &Layout::setUseAdjustableLS },
    { ls::LayoutCmdId::GetLiblouisTables, &Layout::getLiblouisTables },
    { ls::LayoutCmdId::GetLegacyTables, &Layout::getLegacyTables },
    { ls::LayoutCmdId::GetLegacyTableDisplayName, &Layout::getLegacyTableDisplayName },
};

Layout::Layout(LayoutSettings& settings, QObject* parent)
    : CommandHandler(ls::ConfigManagerCmdId::Layout, ls::ConfigManagerNotifId::LayoutChange, true, lcLayout(), parent)
    , m_settings(settings)
{
}

QVariantMap Layout::process(const ls::Command& command)
{
    return dispatch(command, table, this);
}

// -- The numbered layouts --------------------------------------------------------------------------

QVariantMap Layout::getActive(const ls::Command&) const
{
    return successWith(ls::activeLayoutKey, m_settings.getActiveLayout());
}

QVariantMap Layout::setActive(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    int n = 0;
    if (!arguments.integer(ls::layoutNrKey, n, LayoutFile::firstNumber, LayoutFile::lastNumber)) {
        return arguments.failure();
    }
    if (!m_settings.setActiveLayout(n)) {
        return failed(Q_FUNC_INFO);
    }
    emitNotification(ls::LayoutActionId::SetActive, ls::layoutNrKey, n);
    return success();
}

QVariantMap Layout::addLayout(const ls::Command&) const
{
    int n = 0;
    if (!m_settings.addLayout(n)) {
        return failed(Q_FUNC_INFO);
    }
    emitNotification(ls::LayoutActionId::AddLayout, ls::layoutNrKey, n);
    return successWith(ls::layoutNrKey, n);
}

QVariantMap Layout::deleteLayout(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    int n = 0;
    if (!arguments.integer(ls::layoutNrKey, n, LayoutFile::firstNumber, LayoutFile::lastNumber)) {
        return arguments.failure();
    }
    if (!m_settings.deleteLayout(n)) {
        return failed(Q_FUNC_INFO);
    }
    emitNotification(ls::LayoutActionId::DeleteLayout, ls::layoutNrKey, n);
    return success();
}

QVariantMap Layout::readLayout(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    int n = 0;
    if (!arguments.integer(ls::layoutNrKey, n, LayoutFile::firstNumber, LayoutFile::lastNumber)) {
        return arguments.failure();
    }
    const QVariantMap layout = m_settings.readLayout(n, true);
    if (layout.isEmpty()) {
        return failed(Q_FUNC_INFO, QStringLiteral("layout %1 not found or failed reading!").arg(n));
    }
    return successWith(ls::layoutDataKey, layout);
}

QVariantMap Layout::readAllLayouts(const ls::Command&) const
{
    const QVariantMap layouts = m_settings.readAllLayouts(true);
    if (layouts.isEmpty()) {
        return failed(Q_FUNC_INFO, QStringLiteral("layouts not found or reading failed!"));
    }
    QVariantMap result = success();
    result.insert(layouts);
    result.insert(ls::activeLayoutKey, m_settings.getActiveLayout());
    result.insert(ls::nrOfLayoutsKey, m_settings.getNumberOfLayouts());
    return result;
}

QVariantMap Layout::writeLayout(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    int n = 0;
    QVariantMap data;
    if (!arguments.integer(ls::layoutNrKey, n, LayoutFile::firstNumber, LayoutFile::lastNumber)
        || !arguments.map(ls::layoutDataKey, data, QStringLiteral("layout data"))) {
        return arguments.failure();
    }
    return write(Q_FUNC_INFO, n, data);
}

QVariantMap Layout::testWriteLayout(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    int n = 0;
    if (!arguments.integer(ls::layoutNrKey, n, LayoutFile::firstNumber, LayoutFile::lastNumber)) {
        return arguments.failure();
    }
    const QVariantMap layout = m_settings.readLayout(n, true);
    if (layout.isEmpty()) {
        return failed(Q_FUNC_INFO, QStringLiteral("layout %1 not found or failed reading!").arg(n));
    }
    return write(Q_FUNC_INFO, n, layout);
}

QVariantMap Layout::write(const char* function, int n, const QVariantMap& data) const
{
    if (!m_settings.writeLayout(data, n)) {
        return failed(function);
    }
    emitNotification(ls::LayoutActionId::WriteLayout, ls::layoutNrKey, n);
    return success();
}

QVariantMap Layout::getPropertyValues(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    QVariantMap data;
    if (!arguments.map(ls::layoutDataKey, data, QStringLiteral("layout data"),
            QStringLiteral("%1 is empty.").arg(ls::layoutDataKey))) {
        return arguments.failure();
    }
    return propertyValues(Q_FUNC_INFO, command, data);
}

QVariantMap Layout::testGetPropertyValues(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    int n = 0;
    if (!arguments.integer(ls::layoutNrKey, n, LayoutFile::firstNumber, LayoutFile::lastNumber)) {
        return arguments.failure();
    }
    const QVariantMap layout = m_settings.readLayout(n, true);
    if (layout.isEmpty()) {
        return failed(Q_FUNC_INFO, QStringLiteral("layout %1 not found or failed reading!").arg(n));
    }
    return propertyValues(Q_FUNC_INFO, command, layout);
}

QVariantMap Layout::propertyValues(const char* function, const ls::Command& command, const QVariantMap& data) const
{
    CommandArguments arguments(command, lcLayout(), function);
    QString parameter;
    QString previousProperty;
    QString previousValue;
    // Without a previous property nothing changed: the values of the layout as it is.
    if (!arguments.text(ls::propertyNameKey, parameter)
        || !arguments.text(ls::previousPropertyKey, previousProperty, false)
        || !arguments.text(ls::previousValueKey, previousValue, false)) {
        return arguments.failure();
    }
    const QVariantMap values = m_settings.getPropertyValues(data, parameter, previousProperty, previousValue);
    if (values.isEmpty()) {
        return failed(function);
    }
    QVariantMap result = success();
    result.insert(values);
    return result;
}

// -- Metadata for editing layouts ------------------------------------------------------------------

QVariantMap Layout::readParameterList(const ls::Command&) const
{
    return successWith(ls::parameterListKey, m_settings.parameterList().getParameterList());
}

QVariantMap Layout::readValueList(const ls::Command&) const
{
    return successWith(ls::valueListKey, m_settings.valueList().getValueLists());
}

QVariantMap Layout::readDocSettingsList(const ls::Command&) const
{
    return successWith(ls::docSettingListKey, m_settings.docSettingList().getDocSettingList());
}

QVariantMap Layout::getPaperSize(const ls::Command&) const
{
    const QString paper = m_settings.getPaperSize();
    if (paper.isEmpty()) {
        return failed(Q_FUNC_INFO, QStringLiteral("the active layout names no paper size!"));
    }
    return successWith(ls::paperSizeKey, paper);
}

QVariantMap Layout::getUseAdjustableLS(const ls::Command&) const
{
    return successWith(ls::enabledKey, m_settings.getUseAdjustableLS());
}

QVariantMap Layout::setUseAdjustableLS(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    bool use = false;
    if (!arguments.flag(ls::enabledKey, use, true)) {
        return arguments.failure();
    }
    // Unchanged is a failure too: the store answers whether it changed the flag.
    return m_settings.setUseAdjustableLS(use) ? success() : failed(Q_FUNC_INFO);
}

QVariantMap Layout::getLiblouisTables(const ls::Command&) const
{
    TableSettings& tables = m_settings.tableSettings();
    return successWith(ls::liblouisTablesKey,
        QVariantMap { { ls::sixDotKey, tables.getLiblouisTables(lcm::BrailleType::SixDot) },
            { ls::eightDotKey, tables.getLiblouisTables(lcm::BrailleType::EightDot) } });
}

QVariantMap Layout::getLegacyTables(const ls::Command&) const
{
    const QVariantMap tables = m_settings.tableSettings().getLegacyTables();
    if (tables.isEmpty()) {
        return failed(Q_FUNC_INFO);
    }
    QVariantMap result = success();
    result.insert(tables);
    return result;
}

QVariantMap Layout::getLegacyTableDisplayName(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    QString name;
    if (!arguments.text(ls::tableNameKey, name)) {
        return arguments.failure();
    }
    QString language;
    QString table;
    if (!TableNames::split(name, language, table)) {
        arguments.refuseValue(QStringLiteral("%1 is no legacy table name").arg(ls::tableNameKey));
        return arguments.failure();
    }
    const QVariantMap entry = m_settings.tableSettings().getLegacyTables().value(language).toMap().value(table).toMap();
    if (entry.isEmpty()) {
        return failed(Q_FUNC_INFO, QStringLiteral("legacy table %1 not found!").arg(name));
    }
    // The entry's table file names the metadata that gives the display name.
    const QString file = entry.value(ls::tableFileKey, entry.value(ls::notSpecifiedKey)).toString();
    QString fileLanguage;
    QString fileName;
    const QString displayName = TableNames::split(file, fileLanguage, fileName)
        ? m_settings.tableSettings()
              .getLegacyTableMetadata(fileLanguage, fileName)
              .value(MetadataKeys::displayName)
              .toString()
        : QString();
    if (displayName.isEmpty()) {
        return failed(Q_FUNC_INFO, QStringLiteral("no display name for legacy table %1").arg(name));
    }
    return successWith(ls::tableDisplayNameKey, displayName);
}

// -- Backup and restore ----------------------------------------------------------------------------

QVariantMap Layout::backupLocal(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    QList<int> layouts;
    if (!arguments.integerList(
            ls::layoutListKey, layouts, LayoutFile::lastNumber, LayoutFile::firstNumber, LayoutFile::lastNumber)) {
        return arguments.failure();
    }
    return m_settings.layoutRestore().backupLocal(layouts) ? success() : failed(Q_FUNC_INFO);
}

QVariantMap Layout::backupUsb(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    QList<int> layouts;
    if (!arguments.integerList(
            ls::layoutListKey, layouts, LayoutFile::lastNumber, LayoutFile::firstNumber, LayoutFile::lastNumber)) {
        return arguments.failure();
    }
    return m_settings.layoutRestore().backupUsb(layouts) ? success() : failed(Q_FUNC_INFO);
}

QVariantMap Layout::backupDownload(const ls::Command&) const
{
    const QVariantMap layouts = m_settings.readAllLayouts(false);
    if (layouts.isEmpty()) {
        return failed(Q_FUNC_INFO, QStringLiteral("Layout map is empty!"));
    }
    return successWith(ls::layoutDataKey, layouts);
}

QVariantMap Layout::restoreLocal(const ls::Command& command) const
{
    return restoreFromPlace(Q_FUNC_INFO, command, LayoutRestore::Place::Local);
}

QVariantMap Layout::restoreUsb(const ls::Command& command) const
{
    return restoreFromPlace(Q_FUNC_INFO, command, LayoutRestore::Place::Usb);
}

QVariantMap Layout::restoreDistributor(const ls::Command& command) const
{
    return restoreFromPlace(Q_FUNC_INFO, command, LayoutRestore::Place::Distributor);
}

QVariantMap Layout::restoreFromPlace(const char* function, const ls::Command& command, LayoutRestore::Place place) const
{
    CommandArguments arguments(command, lcLayout(), function);
    QString location;
    QString source;
    QList<int> layouts;
    if (!arguments.text(ls::locationKey, location) || !arguments.text(ls::sourceKey, source)
        || !arguments.integerList(
            ls::layoutListKey, layouts, LayoutFile::lastNumber, LayoutFile::firstNumber, LayoutFile::lastNumber)) {
        return arguments.failure();
    }
    const LayoutRestore& restore = m_settings.layoutRestore();
    if (!restore.accepts(place, location, source)) {
        arguments.refuseValue(
            QStringLiteral("%1 and %2 name no backup of this place").arg(ls::locationKey, ls::sourceKey));
        return arguments.failure();
    }
    bool restored = false;
    switch (place) {
    case LayoutRestore::Place::Local:
        restored = restore.restoreLocal(location, source, layouts);
        break;
    case LayoutRestore::Place::Usb:
        restored = restore.restoreUsb(location, source, layouts);
        break;
    case LayoutRestore::Place::Distributor:
        restored = restore.restoreDistributor(location, source, layouts);
        break;
    }
    return restored ? finishRestore(function) : failed(function);
}

QVariantMap Layout::restoreUpload(const ls::Command& command) const
{
    CommandArguments arguments(command, lcLayout(), Q_FUNC_INFO);
    QVariantMap upload;
    if (!arguments.map(
            ls::layoutDataKey, upload, QStringLiteral("layout data"), QStringLiteral("Layout map is empty!"))) {
        return arguments.failure();
    }
    // Every layout is checked before any working layout goes.
    QVariantMap layouts;
    for (auto it = upload.constBegin(); it != upload.constEnd(); ++it) {
        const QString shownKey = it.key().left(LayoutFile::lastNumber);
        if (LayoutRestore::layoutNumber(it.key()) < 0) {
            arguments.refuseValue(QStringLiteral("%1 names no layout").arg(shownKey));
            return arguments.failure();
        }
        const QVariantMap layout = it.value().userType() == QMetaType::QVariantMap
            ? m_settings.storedLayout(it.value().toMap())
            : QVariantMap();
        if (layout.isEmpty()) {
            arguments.refuseValue(QStringLiteral("%1 is no valid layout").arg(shownKey));
            return arguments.failure();
        }
        layouts.insert(it.key(), layout);
    }
    if (!layouts.contains(ls::layoutDashKey + QString::number(LayoutFile::firstNumber))) {
        arguments.refuseValue(QStringLiteral("the upload lacks layout %1").arg(LayoutFile::firstNumber));
        return arguments.failure();
    }
    return m_settings.layoutRestore().restoreUpload(layouts) ? finishRestore(Q_FUNC_INFO) : failed(Q_FUNC_INFO);
}

QVariantMap Layout::restoreFactory(const ls::Command&) const
{
    return m_settings.layoutRestore().restoreFactory() ? finishRestore(Q_FUNC_INFO) : failed(Q_FUNC_INFO);
}

QVariantMap Layout::finishRestore(const char* function) const
{
    m_settings.initialize();
    if (!m_settings.setActiveLayout(LayoutFile::firstNumber)) {
        return failed(function, QStringLiteral("layout %1 cannot be made active after the restore!").arg(1));
    }
    emitNotification(ls::LayoutActionId::SetActive, ls::layoutNrKey, LayoutFile::firstNumber);
    return success();
}

QVariantMap Layout::getLocalBackups(const ls::Command& command) const
{
    return listBackups(Q_FUNC_INFO, command, LayoutRestore::Place::Local);
}

QVariantMap Layout::getUsbBackups(const ls::Command& command) const
{
    return listBackups(Q_FUNC_INFO, command, LayoutRestore::Place::Usb);
}

QVariantMap Layout::getDistributorBackups(const ls::Command& command) const
{
    return listBackups(Q_FUNC_INFO, command, LayoutRestore::Place::Distributor);
}

QVariantMap Layout::listBackups(const char* function, const ls::Command& command, LayoutRestore::Place place) const
{
    CommandArguments arguments(command, lcLayout(), function);
    QString model;
    bool paths = false;
    if (place != LayoutRestore::Place::Local) {
        if (!arguments.text(ls::modelKey, model)) {
            return arguments.failure();
        }
        if (LayoutRestore::modelFolder(model).isEmpty()) {
            arguments.refuseValue(QStringLiteral("%1 names no model folder").arg(ls::modelKey));
            return arguments.failure();
        }
    }
    if (!arguments.flag(ls::enabledKey, paths, false)) {
        return arguments.failure();
    }
    const LayoutRestore& restore = m_settings.layoutRestore();
    QVariantMap folders;
    switch (place) {
    case LayoutRestore::Place::Local:
        folders = restore.getLocalBackups(paths);
        break;
    case LayoutRestore::Place::Usb:
        folders = restore.getUsbBackups(model, paths);
        break;
    case LayoutRestore::Place::Distributor:
        folders = restore.getDistributorBackups(model, paths);
        break;
    }
    return successWith(ls::backupFoldersKey, folders);
}
