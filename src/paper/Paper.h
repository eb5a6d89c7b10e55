#pragma once

#include "CommandHandler.h"

class LayoutSettings;
class PaperSettings;

// The `UserPaper` command: the user papers read, written and deleted through PaperSettings, and
// the paper catalogue and its regions read whole. A written or deleted paper is announced as
// UserPaperChange. A paper that a layout still names as its paper size is not deleted; the
// refusal carries the first such layout (directory order), so the client can say which.
class Paper : public CommandHandler {
    Q_OBJECT

public:
    Paper(const PaperSettings& paperSettings, const LayoutSettings& layoutSettings, QObject* parent = nullptr);

    QVariantMap process(const ls::Command& command) override;

private:
    QVariantMap readPaper(const ls::Command& command) const;
    QVariantMap readAllPapers(const ls::Command& command) const;
    QVariantMap writePaper(const ls::Command& command) const;
    QVariantMap deletePaper(const ls::Command& command) const;
    QVariantMap getPaperValues(const ls::Command& command) const;
    QVariantMap readPaperList(const ls::Command& command) const;
    QVariantMap readPaperRegionsList(const ls::Command& command) const;

    static const SubCommandTable<Paper> table;

    const PaperSettings& m_paperSettings;
    const LayoutSettings& m_layoutSettings;
};
