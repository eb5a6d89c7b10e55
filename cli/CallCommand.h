#pragma once

#include "SubCommand.h"

// `call COMMAND SUBCOMMAND [KEY=VALUE...]`: any request of the command protocol, its values
// typed by ValueText's rule; prints the whole result map.
class CallCommand : public SubCommand {
public:
    using SubCommand::SubCommand;

    int run(const QStringList& words) override;
};
