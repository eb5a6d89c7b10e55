#include "Paper.h"

#include "CommandArguments.h"
#include "PaperList.h"
#include "PaperRegion.h"
#include "PaperSettings.h"
#include "UserPaperFile.h"
#include "layout/LayoutSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/UserPaperActionId.h"
#include "ls/UserPaperCmdId.h"

CM_LOGGING_CATEGORY(lcPaper, "Paper")

const CommandHandler::SubCommandTable<Paper> Paper::table {
    { ls::UserPaperCmdId::ReadPaper, &Paper::readPaper },
    { ls::UserPaperCmdId::ReadAllPapers, &Paper::readAllPapers },
    { ls::UserPaperCmdId::WritePaper, &Paper::writePaper },
    { ls::UserPaperCmdId::DeletePaper, &Paper::deletePaper },
    { ls::UserPaperCmdId::GetPaperValues, &Paper::getPaperValues },
    { ls::UserPaperCmdId::ReadPaperList, &Paper::readPaperList },
    { ls::UserPaperCmdId::ReadPaperRegionsList, &Paper::readPaperRegionsList },
};

Paper::Paper(const PaperSettings& paperSettings, const LayoutSettings& layoutSettings, QObject* parent)
    : CommandHandler(
        ls::ConfigManagerCmdId::UserPaper, ls::ConfigManagerNotifId::UserPaperChange, true, lcPaper(), parent)
    , m_paperSettings(paperSettings)
    , m_layoutSettings(layoutSettings)
{
}

QVariantMap Paper::process(const ls::Command& command)
{
    return dispatch(command, table, this);
}

QVariantMap Paper::readPaper(const ls::Command& command) const
{
    CommandArguments arguments(command, lcPaper(), Q_FUNC_INFO);
    int n = 0;
    if (!arguments.integer(ls::paperNrKey, n)) {
        return arguments.failure();
    }
    const QVariantMap paper = m_paperSettings.readUserPaper(n);
    if (paper.isEmpty()) {
        LOG_FAILED(lcPaper) << "user paper" << n << "not found or failed reading!";
        return failure(ls::ErrorId::Undefined);
    }
    return successWith(ls::userPaperDataKey, paper);
}

QVariantMap Paper::readAllPapers(const ls::Command&) const
{
    // No user paper at all is an answer too: the count says 0.
    QVariantMap result = m_paperSettings.readAllUserPapers();
    result.insert(success());
    result.insert(ls::nrOfPapersKey, m_paperSettings.getUserPaperCount());
    return result;
}

QVariantMap Paper::writePaper(const ls::Command& command) const
{
    CommandArguments arguments(command, lcPaper(), Q_FUNC_INFO);
    QVariantMap data;
    if (!arguments.map(ls::userPaperDataKey, data, QStringLiteral("user paper data"))) {
        return arguments.failure();
    }
    int n = 0;
    if (!m_paperSettings.writeUserPaper(data, n)) {
        LOG_FAILED(lcPaper) << "writing the user paper failed!";
        return failure(ls::ErrorId::Undefined);
    }
    emitNotification(ls::UserPaperActionId::WritePaper, ls::paperNrKey, n);
    return successWith(ls::paperNrKey, n);
}

QVariantMap Paper::deletePaper(const ls::Command& command) const
{
    CommandArguments arguments(command, lcPaper(), Q_FUNC_INFO);
    int n = 0;
    if (!arguments.integer(ls::paperNrKey, n)) {
        return arguments.failure();
    }
    const QString paper = UserPaperFile::paperName(n);
    const int layout = UserPaperFile::isValidNumber(n) ? m_layoutSettings.findLayoutWith(ls::paperSizeKey, paper) : 0;
    if (layout > 0) {
        LOG_FAILED(lcPaper) << paper << "is in use by one or more layouts! First: layout" << layout;
        QVariantMap refusal = failure(ls::ErrorId::Undefined);
        refusal.insert(ls::layoutNrKey, layout);
        return refusal;
    }
    if (!m_paperSettings.deleteUserPaper(n)) {
        LOG_FAILED(lcPaper) << "deleting user paper" << n << "failed!";
        return failure(ls::ErrorId::Undefined);
    }
    emitNotification(ls::UserPaperActionId::DeletePaper, ls::paperNrKey, n);
    return success();
}

QVariantMap Paper::getPaperValues(const ls::Command&) const
{
    const QVariantMap values = m_paperSettings.getUserPaperValues();
    if (values.isEmpty()) {
        LOG_FAILED(lcPaper) << "no values for a new user paper!";
        return failure(ls::ErrorId::Undefined);
    }
    return successWith(ls::userPaperValuesKey, values);
}

QVariantMap Paper::readPaperList(const ls::Command&) const
{
    const QVariantMap papers = m_paperSettings.paperList().getPaperList();
    if (papers.isEmpty()) {
        LOG_FAILED(lcPaper) << "the paper list is empty!";
        return failure(ls::ErrorId::Undefined);
    }
    return successWith(ls::paperListKey, papers);
}

QVariantMap Paper::readPaperRegionsList(const ls::Command&) const
{
    const QVariantMap regions = m_paperSettings.paperRegion().getRegions();
    if (regions.isEmpty()) {
        LOG_FAILED(lcPaper) << "the paper regions list is empty!";
        return failure(ls::ErrorId::Undefined);
    }
    return successWith(ls::paperRegionsListKey, regions);
}
