#pragma once

#include "SubCommand.h"

// `__complete WHAT [COMMAND]`, for the bash completion: prints one candidate a line. WHAT is
// get or set (direct method names without their prefix), layout-parameters (names without
// blanks, as `layout set` takes them), commands, subcommands COMMAND, or senders.
class CompleteCommand : public SubCommand {
public:
    using SubCommand::SubCommand;

    int run(const QStringList& words) override;
};
