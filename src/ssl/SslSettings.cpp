#include "SslSettings.h"

#include "Locations.h"
#include "SafePath.h"
#include "System.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"
#include "ls/PFile.h"
#include "property/manager/CatalogsManager.h"
#include "systeminfo/Parameters.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

CM_LOGGING_CATEGORY(lcSslSettings, "SslSettings")

namespace {
const QString engineKey = QStringLiteral("ssl.engine");
const QString ipv6Key = QStringLiteral("server.use-ipv6");
// The double quotes belong to the stored values.
const QString enableValue = QStringLiteral("\"enable\"");
const QString disableValue = QStringLiteral("\"disable\"");
} // namespace

SslSettings::SslSettings(const ls::PFile& file, Parameters& parameters, QObject* parent)
    : QObject(parent)
    , m_file(file)
    , m_parameters(parameters)
{
}

bool SslSettings::isCertificateName(const QString& name)
{
    return SafePath::isPlainName(name);
}

bool SslSettings::readKey(const QString& key, QString& value) const
{
    if (!m_file.read(Locations::lighttpdConfFile(), key, value)) {
        LOG_ERROR(lcSslSettings) << "reading" << Locations::lighttpdConfFile() << key << "failed!";
        return false;
    }
    return true;
}

bool SslSettings::writeKey(const QString& key, const QString& value) const
{
    if (!m_file.write(Locations::lighttpdConfFile(), key, value)) {
        LOG_ERROR(lcSslSettings) << "writing" << Locations::lighttpdConfFile() << key << "failed!";
        return false;
    }
    return true;
}

bool SslSettings::getEnabled(bool& enabled) const
{
    QString value;
    if (!readKey(engineKey, value)) {
        return false;
    }
    enabled = value == enableValue;
    return true;
}

bool SslSettings::setEnabled(bool on) const
{
    // The web server listens on IPv6 only while HTTPS is off.
    if (!writeKey(engineKey, on ? enableValue : disableValue) || !writeKey(ipv6Key, on ? disableValue : enableValue)) {
        return false;
    }
    m_parameters.setHTTPS(on ? 1 : 0, masterCollectionKey, true);
    if (!on && !getActiveCertificate().isEmpty()) {
        return setActiveCertificate(ls::defaultCertificate, true);
    }
    return true;
}

QString SslSettings::getActiveCertificate() const
{
    QString value;
    if (!readKey(ls::certificateKey, value)) {
        return QString();
    }
    const int first = value.indexOf(QLatin1Char('/'));
    const int second = first < 0 ? -1 : value.indexOf(QLatin1Char('/'), first + 1);
    if (second < 0) {
        LOG_ERROR(lcSslSettings) << "format" << value << "is not supported!";
        return QString();
    }
    const QString name = value.mid(first + 1, second - first - 1);
    if (name == ls::defaultCertificate) {
        LOG_DEBUG(lcSslSettings) << "Default certificate is active"
                                 << "=> no active certificate!";
        return QString();
    }
    return name;
}

QString SslSettings::certificateFolder(const QString& name) const
{
    const QString folder = SafePath::child(Locations::certificatesDir(), name);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

bool SslSettings::setActiveCertificate(const QString& name, bool force) const
{
    const QString certificate = name.simplified();
    if (!force) {
        bool enabled = false;
        if (!getEnabled(enabled)) {
            LOG_ERROR(lcSslSettings) << "checking the enable state of ssl failed!";
            return false;
        }
        if (certificate.isEmpty()) {
            LOG_ERROR(lcSslSettings) << "certificate cannot be empty";
            return false;
        }
        if (!enabled) {
            LOG_DEBUG(lcSslSettings) << "Ssl is not enabled!";
            return false;
        }
        // A configuration naming a missing file would keep the web server from starting.
        if (certificateFolder(certificate).isEmpty()) {
            LOG_ERROR(lcSslSettings) << "certificate" << certificate << "does not exist!";
            return false;
        }
    }
    const QString value = QStringLiteral("\"/%1/%2\"").arg(certificate, ls::lighttpdPemName);
    if (!writeKey(ls::certificateKey, value)) {
        return false;
    }
    restartWebServices();
    return true;
}

void SslSettings::restartWebServices() const
{
    // After the reply: the web server's API service answers through the server being restarted.
    QTimer::singleShot(0, this, [] {
        LOG_DEBUG(lcSslSettings) << "Service restart:"
                                 << "lighttpd"
                                 << "embosser-mode-www-api";
        System::serviceRestart(QStringLiteral("lighttpd"));
        System::serviceRestart(QStringLiteral("embosser-mode-www-api"));
    });
}

QStringList SslSettings::getCertificates() const
{
    QStringList names = QDir(Locations::certificatesDir()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    names.removeAll(ls::defaultCertificate);
    return names;
}

bool SslSettings::certificateExists(const QString& name) const
{
    return getCertificates().contains(name);
}

bool SslSettings::deleteCertificate(const QString& name) const
{
    if (name == ls::defaultCertificate) {
        LOG_ERROR(lcSslSettings) << "The built-in certificate cannot be deleted!";
        return false;
    }
    if (name == getActiveCertificate()) {
        LOG_ERROR(lcSslSettings) << "The active certificate cannot be deleted!";
        return false;
    }
    // A folder that is a link pointing elsewhere is refused here, before anything is removed.
    const QString folder = certificateFolder(name);
    if (folder.isEmpty() || !certificateExists(name)) {
        LOG_ERROR(lcSslSettings) << "certificate" << name << "does not exist!";
        return false;
    }
    LOG_DEBUG(lcSslSettings) << "Deleting certificate" << name;
    if (!QDir(folder).removeRecursively()) {
        LOG_ERROR(lcSslSettings) << "removing certificate directory failed!";
        return false;
    }
    return true;
}
