#pragma once

#include "SubCommand.h"

#include <QVariant>

// `status`: the embosser's identity and the state of its configuration at a glance.
class StatusCommand : public SubCommand {
public:
    using SubCommand::SubCommand;

    int run(const QStringList& words) override;

private:
    // One direct getter without arguments; false (with the client's error) when it failed.
    bool get(const QString& method, QVariant& value);
};
