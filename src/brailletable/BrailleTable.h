#pragma once

#include "CommandHandler.h"

class LayoutSettings;
class TableSettings;

// The `BrailleTable` command: the two user table slots added, listed and removed, and the
// metadata of one liblouis or legacy table, through TableSettings. It announces nothing. A user
// table that a layout still selects is not removed; the refusal carries the first such layout.
class BrailleTable : public CommandHandler {
    Q_OBJECT

public:
    BrailleTable(TableSettings& tableSettings, const LayoutSettings& layoutSettings, QObject* parent = nullptr);

    QVariantMap process(const ls::Command& command) override;

private:
    QVariantMap addUserTables(const ls::Command& command) const;
    QVariantMap deleteUserTables(const ls::Command& command) const;
    QVariantMap getUserTables(const ls::Command& command) const;
    QVariantMap getTableMetadata(const ls::Command& command) const;
    QVariantMap getLegacyTableMetadata(const ls::Command& command) const;

    QVariantMap metadata(const ls::Command& command, bool legacy, const char* operation) const;
    static const SubCommandTable<BrailleTable> table;

    TableSettings& m_tableSettings;
    const LayoutSettings& m_layoutSettings;
};
