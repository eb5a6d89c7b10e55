#pragma once

#include "SubCommand.h"

// `table list [--dots 6|8]` (the liblouis tables the layouts may use, and the user tables) and
// `table info LANGUAGE TABLE` (a table's metadata; a TABLE ending in .ebc is a legacy table).
class TableCommand : public SubCommand {
public:
    using SubCommand::SubCommand;

    QStringList options() const override;
    int run(const QStringList& words) override;

private:
    int list();
    int info(const QString& language, const QString& table);
};
