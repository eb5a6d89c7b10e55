#pragma once

#include "CommandHandler.h"
#include "LayoutRestore.h"

class LayoutSettings;

// The handler of the command `Layout`: the 30 operations on the numbered layouts, their backups
// and the metadata a client needs to edit them, each reached through the layout store. Changes
// are announced as `LayoutChange` with the action and the layout number; a restore always ends
// with layout 1 active and announced so.
//
// Arguments are checked before anything changes, in the order the operation reads them (the
// previous property and value of a property query and the flag of a listing may be left out): a
// missing key is ValueNotFound; a value of the wrong type, a text that is no number, a layout
// number outside 1..99, a list of more than 99 numbers or a backup that lies outside its place is
// InvalidValue. A refusal of the store or a failed script is a failure with the error Undefined.
class Layout : public CommandHandler {
    Q_OBJECT

public:
    explicit Layout(LayoutSettings& settings, QObject* parent = nullptr);

    QVariantMap process(const ls::Command& command) override;

private:
    QVariantMap getActive(const ls::Command& command) const;
    QVariantMap setActive(const ls::Command& command) const;
    QVariantMap addLayout(const ls::Command& command) const;
    QVariantMap deleteLayout(const ls::Command& command) const;
    QVariantMap readLayout(const ls::Command& command) const;
    QVariantMap readAllLayouts(const ls::Command& command) const;
    QVariantMap writeLayout(const ls::Command& command) const;
    QVariantMap testWriteLayout(const ls::Command& command) const;
    QVariantMap getPropertyValues(const ls::Command& command) const;
    QVariantMap testGetPropertyValues(const ls::Command& command) const;
    QVariantMap readParameterList(const ls::Command& command) const;
    QVariantMap readValueList(const ls::Command& command) const;
    QVariantMap readDocSettingsList(const ls::Command& command) const;
    QVariantMap backupLocal(const ls::Command& command) const;
    QVariantMap backupUsb(const ls::Command& command) const;
    QVariantMap backupDownload(const ls::Command& command) const;
    QVariantMap restoreLocal(const ls::Command& command) const;
    QVariantMap restoreUsb(const ls::Command& command) const;
    QVariantMap restoreDistributor(const ls::Command& command) const;
    QVariantMap restoreUpload(const ls::Command& command) const;
    QVariantMap restoreFactory(const ls::Command& command) const;
    QVariantMap getLocalBackups(const ls::Command& command) const;
    QVariantMap getUsbBackups(const ls::Command& command) const;
    QVariantMap getDistributorBackups(const ls::Command& command) const;
    QVariantMap getPaperSize(const ls::Command& command) const;
    QVariantMap getUseAdjustableLS(const ls::Command& command) const;
    QVariantMap setUseAdjustableLS(const ls::Command& command) const;
    QVariantMap getLiblouisTables(const ls::Command& command) const;
    QVariantMap getLegacyTables(const ls::Command& command) const;
    QVariantMap getLegacyTableDisplayName(const ls::Command& command) const;

    // Writes layout n and announces it; `function` names the operation in the log.
    QVariantMap write(const char* function, int n, const QVariantMap& data) const;
    QVariantMap propertyValues(const char* function, const ls::Command& command, const QVariantMap& data) const;
    // The shared steps of the three restores from a place named by location and source.
    QVariantMap restoreFromPlace(const char* function, const ls::Command& command, LayoutRestore::Place place) const;
    // After every successful restore: the restored files are repaired and layout 1 is made active.
    QVariantMap finishRestore(const char* function) const;
    QVariantMap listBackups(const char* function, const ls::Command& command, LayoutRestore::Place place) const;

    LayoutSettings& m_settings;

    static const SubCommandTable<Layout> table;
};
