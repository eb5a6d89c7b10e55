#include "BrailleTable.h"

#include "CommandArguments.h"
#include "TableNames.h"
#include "TableSettings.h"
#include "layout/LayoutKeys.h"
#include "layout/LayoutSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/BrailleTableCmdId.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"

CM_LOGGING_CATEGORY(lcBrailleTable, "BrailleTable")

const CommandHandler::SubCommandTable<BrailleTable> BrailleTable::table {
    { ls::BrailleTableCmdId::AddUserTables, &BrailleTable::addUserTables },
    { ls::BrailleTableCmdId::DeleteUserTables, &BrailleTable::deleteUserTables },
    { ls::BrailleTableCmdId::GetUserTables, &BrailleTable::getUserTables },
    { ls::BrailleTableCmdId::GetTableMetadata, &BrailleTable::getTableMetadata },
    { ls::BrailleTableCmdId::GetLegacyTableMetadata, &BrailleTable::getLegacyTableMetadata },
};

BrailleTable::BrailleTable(TableSettings& tableSettings, const LayoutSettings& layoutSettings, QObject* parent)
    : CommandHandler(ls::ConfigManagerCmdId::BrailleTable, QString(), false, lcBrailleTable(), parent)
    , m_tableSettings(tableSettings)
    , m_layoutSettings(layoutSettings)
{
}

QVariantMap BrailleTable::process(const ls::Command& command)
{
    return dispatch(command, table, this);
}

QVariantMap BrailleTable::addUserTables(const ls::Command& command) const
{
    CommandArguments arguments(command, lcBrailleTable(), Q_FUNC_INFO);
    QString name;
    if (!arguments.text(ls::tableKey, name)) {
        return arguments.failure();
    }
    if (!m_tableSettings.addUserTable(name, TableNames::userTableDots(name))) {
        LOG_FAILED(lcBrailleTable) << name;
        return failure(ls::ErrorId::Undefined);
    }
    return success();
}

QVariantMap BrailleTable::deleteUserTables(const ls::Command& command) const
{
    CommandArguments arguments(command, lcBrailleTable(), Q_FUNC_INFO);
    QString name;
    if (!arguments.text(ls::tableKey, name)) {
        return arguments.failure();
    }
    // A name of no slot is refused by the removal itself.
    const QString id = TableNames::userTableId(name);
    const int layout = id.isEmpty() ? 0 : m_layoutSettings.findLayoutWith(LayoutKeys::liblouisTable, id);
    if (layout > 0) {
        LOG_FAILED(lcBrailleTable) << name << "is in use by one or more layouts! First: layout" << layout;
        QVariantMap refusal = failure(ls::ErrorId::Undefined);
        refusal.insert(ls::layoutNrKey, layout);
        return refusal;
    }
    if (!m_tableSettings.removeUserTable(name, TableNames::userTableDots(name))) {
        LOG_FAILED(lcBrailleTable) << name;
        return failure(ls::ErrorId::Undefined);
    }
    return success();
}

QVariantMap BrailleTable::getUserTables(const ls::Command&) const
{
    QVariantMap result = success();
    result.insert(ls::userTablesKey, m_tableSettings.getUserTables());
    return result;
}

QVariantMap BrailleTable::getTableMetadata(const ls::Command& command) const
{
    return metadata(command, false, Q_FUNC_INFO);
}

QVariantMap BrailleTable::getLegacyTableMetadata(const ls::Command& command) const
{
    return metadata(command, true, Q_FUNC_INFO);
}

QVariantMap BrailleTable::metadata(const ls::Command& command, bool legacy, const char* operation) const
{
    CommandArguments arguments(command, lcBrailleTable(), operation);
    QString language;
    QString table;
    if (!arguments.text(ls::languageKey, language) || !arguments.text(ls::tableKey, table)) {
        return arguments.failure();
    }
    QVariantMap result = legacy ? m_tableSettings.getLegacyTableMetadata(language, table)
                                : m_tableSettings.getTableMetadata(language, table);
    if (result.isEmpty()) {
        qCCritical(lcBrailleTable).noquote() << libcorvane::logPrefix(operation, "FAILED!") << language << table;
        return failure(ls::ErrorId::Undefined);
    }
    // The entries are the answer's members; the result keys stay the protocol's whatever a
    // metadata file holds.
    result.insert(success());
    return result;
}
