#pragma once

#include <QString>
#include <QVariantMap>

namespace ls {

class Command;

// A command handler of the command protocol: the dispatcher picks the first registered handler
// whose commandId() equals the request's command id and returns what process() answers.
// process() is not const: handlers remember the sender of the request being processed.
class ICommand {
public:
    virtual ~ICommand() = default;
    virtual QString commandId() const = 0;
    virtual QVariantMap process(const Command& command) = 0;
};

} // namespace ls
