#include "Ssl.h"

#include "CommandArguments.h"
#include "SslSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/ConfigManagerNotifId.h"
#include "ls/ErrorId.h"
#include "ls/Keys.h"
#include "ls/SslActionId.h"
#include "ls/SslCmdId.h"

CM_LOGGING_CATEGORY(lcSsl, "Ssl")

const CommandHandler::SubCommandTable<Ssl> Ssl::table {
    { ls::SslCmdId::GetState, &Ssl::getState },
    { ls::SslCmdId::SetState, &Ssl::setState },
    { ls::SslCmdId::GetCertificates, &Ssl::getCertificates },
    { ls::SslCmdId::GetActiveCertificate, &Ssl::getActiveCertificate },
    { ls::SslCmdId::SetActiveCertificate, &Ssl::setActiveCertificate },
    { ls::SslCmdId::AddCertificate, &Ssl::addCertificate },
    { ls::SslCmdId::DeleteCertificate, &Ssl::deleteCertificate },
};

Ssl::Ssl(const SslSettings& settings, QObject* parent)
    : CommandHandler(ls::ConfigManagerCmdId::Ssl, ls::ConfigManagerNotifId::SslChange, true, lcSsl(), parent)
    , m_settings(settings)
{
}

QVariantMap Ssl::process(const ls::Command& command)
{
    return dispatch(command, table, this);
}

bool Ssl::certificateName(const ls::Command& command, const char* operation, QString& name, QVariantMap& refusal) const
{
    CommandArguments arguments(command, lcSsl(), operation);
    if (!arguments.text(ls::certificateKey, name)) {
        refusal = arguments.failure();
        return false;
    }
    // An empty name is the settings' own refusal; everything else must be a plain folder name.
    const QString simplified = name.simplified();
    if (!simplified.isEmpty() && !SslSettings::isCertificateName(simplified)) {
        qCCritical(lcSsl).noquote() << libcorvane::logPrefix(operation, "ERROR:") << "invalid certificate name" << name;
        refusal = failure(ls::ErrorId::InvalidValue);
        return false;
    }
    return true;
}

QVariantMap Ssl::getState(const ls::Command&) const
{
    bool enabled = false;
    if (!m_settings.getEnabled(enabled)) {
        LOG_FAILED(lcSsl) << "reading the ssl state failed!";
        return failure(ls::ErrorId::Undefined);
    }
    QVariantMap result = success();
    result.insert(ls::enabledKey, enabled);
    return result;
}

QVariantMap Ssl::setState(const ls::Command& command) const
{
    CommandArguments arguments(command, lcSsl(), Q_FUNC_INFO);
    bool enabled = false;
    if (!arguments.boolean(ls::enabledKey, enabled)) {
        return arguments.failure();
    }
    if (!m_settings.setEnabled(enabled)) {
        LOG_FAILED(lcSsl) << "switching ssl" << (enabled ? "on" : "off") << "failed!";
        return failure(ls::ErrorId::Undefined);
    }
    emitServiceNotification(ls::SslActionId::SetState, ls::enabledKey, enabled);
    return success();
}

QVariantMap Ssl::getCertificates(const ls::Command&) const
{
    QVariantMap result = success();
    result.insert(ls::activeCertificateKey, m_settings.getActiveCertificate());
    result.insert(ls::certificateListKey, m_settings.getCertificates());
    return result;
}

QVariantMap Ssl::getActiveCertificate(const ls::Command&) const
{
    QVariantMap result = success();
    result.insert(ls::activeCertificateKey, m_settings.getActiveCertificate());
    return result;
}

QVariantMap Ssl::setActiveCertificate(const ls::Command& command) const
{
    QString name;
    QVariantMap refusal;
    if (!certificateName(command, Q_FUNC_INFO, name, refusal)) {
        return refusal;
    }
    if (!m_settings.setActiveCertificate(name, false)) {
        LOG_FAILED(lcSsl) << "selecting certificate" << name << "failed!";
        return failure(ls::ErrorId::Undefined);
    }
    emitServiceNotification(ls::SslActionId::SetActiveCertificate, ls::certificateKey, name);
    return success();
}

QVariantMap Ssl::addCertificate(const ls::Command& command) const
{
    QString name;
    QVariantMap refusal;
    if (!certificateName(command, Q_FUNC_INFO, name, refusal)) {
        return refusal;
    }
    if (!m_settings.certificateExists(name)) {
        LOG_FAILED(lcSsl) << "certificate" << name << "was not found!";
        return failure(ls::ErrorId::Undefined);
    }
    emitServiceNotification(ls::SslActionId::AddCertificate, ls::certificateKey, name);
    return success();
}

QVariantMap Ssl::deleteCertificate(const ls::Command& command) const
{
    QString name;
    QVariantMap refusal;
    if (!certificateName(command, Q_FUNC_INFO, name, refusal)) {
        return refusal;
    }
    if (!m_settings.deleteCertificate(name)) {
        LOG_FAILED(lcSsl) << "deleting certificate" << name << "failed!";
        return failure(ls::ErrorId::Undefined);
    }
    emitServiceNotification(ls::SslActionId::DeleteCertificate, ls::certificateKey, name);
    return success();
}
