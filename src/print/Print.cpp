#include "Print.h"

#include "CommandArguments.h"
#include "FileExtensions.h"
#include "LabelTemplates.h"
#include "Locations.h"
#include "OvdSettings.h"
#include "PrintSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/PrintActionId.h"
#include "ls/PrintCmdId.h"

#include <QJsonDocument>

CM_LOGGING_CATEGORY(lcPrint, "Print")

const CommandHandler::SubCommandTable<Print> Print::table {
    { ls::PrintCmdId::GetKeepFormat, &Print::getKeepFormat },
    { ls::PrintCmdId::SetKeepFormat, &Print::setKeepFormat },
    { ls::PrintCmdId::GetKeepCapitalization, &Print::getKeepCapitalization },
    { ls::PrintCmdId::SetKeepCapitalization, &Print::setKeepCapitalization },
    { ls::PrintCmdId::GetTabSize, &Print::getTabSize },
    { ls::PrintCmdId::SetTabSize, &Print::setTabSize },
    { ls::PrintCmdId::GetFilters, &Print::getFilters },
    { ls::PrintCmdId::GetExtensions, &Print::getExtensions },
    { ls::PrintCmdId::GetPreviews, &Print::getPreviews },
    { ls::PrintCmdId::SetTemporarySettings, &Print::setTemporarySettings },
    { ls::PrintCmdId::GetLabelTemplate, &Print::getLabelTemplate },
    { ls::PrintCmdId::SaveTemplateInternal, &Print::saveTemplateInternal },
    { ls::PrintCmdId::SaveLabelTemplateFile, &Print::saveLabelTemplateFile },
};

namespace {

const QString ulkDataKey = QStringLiteral("ulkData");
// How much of a refused name a log line shows.
constexpr int shownNameLength = 80;

LabelTemplates labelTemplates()
{
    return LabelTemplates(Locations::labelTemplatesDir());
}

} // namespace

Print::Print(PrintSettings& settings, QObject* parent)
    : CommandHandler(ls::ConfigManagerCmdId::Print, ls::ConfigManagerNotifId::PrintChange, true, lcPrint(), parent)
    , m_settings(settings)
{
}

QVariantMap Print::process(const ls::Command& command)
{
    return dispatch(command, table, this);
}

QVariantMap Print::setFlag(
    const ls::Command& command, const char* operation, bool (OvdSettings::*setter)(bool), const EnumKey& action) const
{
    CommandArguments arguments(command, lcPrint(), operation);
    bool enabled = false;
    if (!arguments.boolean(ls::enabledKey, enabled)) {
        return arguments.failure();
    }
    if (!(m_settings.ovdSettings().*setter)(enabled)) {
        qCCritical(lcPrint).noquote() << libcorvane::logPrefix(operation, "FAILED!") << "storing" << enabled
                                      << "failed!";
        return failure(ls::ErrorId::Undefined);
    }
    emitServiceNotification(action, ls::enabledKey, enabled);
    return success();
}

QVariantMap Print::getKeepFormat(const ls::Command&) const
{
    return successWith(ls::enabledKey, m_settings.ovdSettings().getKeepFormat());
}

QVariantMap Print::setKeepFormat(const ls::Command& command) const
{
    return setFlag(command, Q_FUNC_INFO, &OvdSettings::setKeepFormat, ls::PrintActionId::SetKeepFormat);
}

QVariantMap Print::getKeepCapitalization(const ls::Command&) const
{
    return successWith(ls::enabledKey, m_settings.ovdSettings().getKeepCapitalization());
}

QVariantMap Print::setKeepCapitalization(const ls::Command& command) const
{
    return setFlag(command, Q_FUNC_INFO, &OvdSettings::setKeepCapitalization, ls::PrintActionId::SetKeepCapitalization);
}

QVariantMap Print::getTabSize(const ls::Command&) const
{
    return successWith(ls::sizeKey, m_settings.ovdSettings().getTabSize());
}

QVariantMap Print::setTabSize(const ls::Command& command) const
{
    CommandArguments arguments(command, lcPrint(), Q_FUNC_INFO);
    int size = 0;
    if (!arguments.integer(ls::sizeKey, size)) {
        return arguments.failure();
    }
    if (!OvdSettings::isTabSize(size)) {
        LOG_ERROR(lcPrint) << "tab size" << size << "outside" << OvdSettings::minTabSize << ".."
                           << OvdSettings::maxTabSize;
        return failure(ls::ErrorId::InvalidValue);
    }
    if (!m_settings.ovdSettings().setTabSize(size)) {
        LOG_FAILED(lcPrint) << "storing tab size" << size << "failed!";
        return failure(ls::ErrorId::Undefined);
    }
    emitServiceNotification(ls::PrintActionId::SetTabSize, ls::sizeKey, size);
    return success();
}

QVariantMap Print::getFilters(const ls::Command&) const
{
    const QVariantList filters = m_settings.fileExtensions().getFilters();
    if (filters.isEmpty()) {
        LOG_FAILED(lcPrint) << "no file filters!";
        return failure(ls::ErrorId::Undefined);
    }
    return successWith(ls::filtersKey, filters);
}

QVariantMap Print::getExtensions(const ls::Command&) const
{
    const FileExtensions& extensions = m_settings.fileExtensions();
    const QVariantList converted = extensions.getExtensions(currentSender(), false);
    const QVariantList raw = extensions.getExtensions(currentSender(), true);
    if (converted.isEmpty() && raw.isEmpty()) {
        LOG_FAILED(lcPrint) << "no file extensions for" << currentSender();
        return failure(ls::ErrorId::Undefined);
    }
    QVariantMap result = successWith(ls::convertExtensionsKey, converted);
    result.insert(ls::rawExtensionsKey, raw);
    return result;
}

QVariantMap Print::getPreviews(const ls::Command&) const
{
    const QVariantMap previews = m_settings.fileExtensions().getPreviews(currentSender());
    if (previews.isEmpty()) {
        LOG_FAILED(lcPrint) << "no previews for" << currentSender();
        return failure(ls::ErrorId::Undefined);
    }
    QVariantMap result = previews;
    result.insert(success());
    return result;
}

QVariantMap Print::setTemporarySettings(const ls::Command& command) const
{
    CommandArguments arguments(command, lcPrint(), Q_FUNC_INFO);
    bool keepFormat = false;
    int size = 0;
    if (!arguments.boolean(ls::enabledKey, keepFormat) || !arguments.integer(ls::sizeKey, size)) {
        return arguments.failure();
    }
    if (!OvdSettings::isTabSize(size)) {
        LOG_ERROR(lcPrint) << "tab size" << size << "outside" << OvdSettings::minTabSize << ".."
                           << OvdSettings::maxTabSize;
        return failure(ls::ErrorId::InvalidValue);
    }
    if (!m_settings.setTemporarySettings(keepFormat, size)) {
        LOG_FAILED(lcPrint) << "storing the temporary settings failed!";
        return failure(ls::ErrorId::Undefined);
    }
    return success();
}

QVariantMap Print::getLabelTemplate(const ls::Command& command) const
{
    CommandArguments arguments(command, lcPrint(), Q_FUNC_INFO);
    QString name;
    if (!arguments.text(ls::fileNameKey, name)) {
        return arguments.failure();
    }
    QVariantMap labelTemplate;
    if (labelTemplates().read(name, labelTemplate) == LabelTemplates::Outcome::BadName) {
        LOG_ERROR(lcPrint) << "invalid template name" << name.left(shownNameLength);
        return failure(ls::ErrorId::InvalidValue);
    }
    return successWith(ls::templateKey, labelTemplate);
}

QVariantMap Print::saveTemplateInternal(const ls::Command& command) const
{
    CommandArguments arguments(command, lcPrint(), Q_FUNC_INFO);
    QVariantMap labelTemplate;
    QString ulkData;
    QString name;
    if (!arguments.map(ls::templateKey, labelTemplate) || !arguments.text(ulkDataKey, ulkData)
        || !arguments.text(ls::fileNameKey, name)) {
        return arguments.failure();
    }
    if (ulkData.isEmpty()) {
        LOG_ERROR(lcPrint) << "empty ulk data";
        return failure(ls::ErrorId::InvalidValue);
    }
    return saveTemplate(Q_FUNC_INFO, name,
        { { QStringLiteral(".ulkj"), QJsonDocument::fromVariant(labelTemplate).toJson() },
            { QStringLiteral(".ulk"), ulkData.toUtf8() } });
}

QVariantMap Print::saveLabelTemplateFile(const ls::Command& command) const
{
    CommandArguments arguments(command, lcPrint(), Q_FUNC_INFO);
    QVariantMap labelData;
    QString name;
    QString extension;
    if (!arguments.map(ls::labelDataKey, labelData) || !arguments.text(ls::fileNameKey, name)
        || !arguments.text(ls::extensionKey, extension)) {
        return arguments.failure();
    }
    return saveTemplate(
        Q_FUNC_INFO, name, { { QLatin1Char('.') + extension, QJsonDocument::fromVariant(labelData).toJson() } });
}

QVariantMap Print::saveTemplate(
    const char* operation, const QString& base, const QList<QPair<QString, QByteArray>>& files) const
{
    QString stem;
    const char* tag = "ERROR:";
    QString errorId = ls::ErrorId::InvalidValue;
    QString problem;
    switch (labelTemplates().save(base, files, stem)) {
    case LabelTemplates::Outcome::Done:
        LOG_DEBUG(lcPrint) << "label template saved as" << stem;
        return success();
    case LabelTemplates::Outcome::BadName:
        problem = QStringLiteral("invalid template name %1").arg(base.left(shownNameLength));
        break;
    case LabelTemplates::Outcome::TooLarge:
        problem = QStringLiteral("template larger than %1 bytes").arg(LabelTemplates::maxBytes);
        break;
    case LabelTemplates::Outcome::Full:
        tag = "FAILED!";
        errorId = ls::ErrorId::Undefined;
        problem = QStringLiteral("no room for another template: %1 files at most").arg(LabelTemplates::maxFiles);
        break;
    case LabelTemplates::Outcome::WriteFailed:
        tag = "FAILED!";
        errorId = ls::ErrorId::Undefined;
        problem = QStringLiteral("writing template %1 failed!").arg(base);
        break;
    }
    qCCritical(lcPrint).noquote() << libcorvane::logPrefix(operation, tag) << problem;
    return failure(errorId);
}
