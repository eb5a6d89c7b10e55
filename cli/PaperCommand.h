#pragma once

#include "SubCommand.h"

// `paper list | show N | add WIDTH HEIGHT | delete N` over the service's UserPaper command:
// the user-defined papers.
class PaperCommand : public SubCommand {
public:
    using SubCommand::SubCommand;

    QStringList options() const override;
    int run(const QStringList& words) override;

private:
    int list();
    int show(int n);
    int add(const QStringList& words);
    int remove(int n);
};
