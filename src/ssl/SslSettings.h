#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class Parameters;

namespace ls {
class PFile;
} // namespace ls

// The web server's HTTPS switch and certificates. The state and the active certificate live in
// the web server's configuration file and are read from it on every call; the certificates are
// the folders of the certificate directory, one per certificate, the built-in one never listed.
// A change of the active certificate restarts the web server and its API service once the
// current request has been answered.
//
// Certificate names come from clients: a name is one plain folder name that, links resolved,
// stays inside the certificate directory; anything else is refused before the disk is touched.
class SslSettings : public QObject {
    Q_OBJECT

public:
    SslSettings(const ls::PFile& file, Parameters& parameters, QObject* parent = nullptr);

    // False when the configuration cannot be read.
    bool getEnabled(bool& enabled) const;
    // Switching off with a user certificate active makes the built-in one active again.
    bool setEnabled(bool on) const;
    // Empty when the built-in certificate is active, the configured value has another form, or on
    // error.
    QString getActiveCertificate() const;
    // Unless forced: refused for an empty name, while HTTPS is off, and for a certificate that has
    // no folder.
    bool setActiveCertificate(const QString& name, bool force) const;
    QStringList getCertificates() const;
    bool certificateExists(const QString& name) const;
    // The active and the built-in certificate are never deleted.
    bool deleteCertificate(const QString& name) const;

    // Whether a client's text can name a certificate folder at all (see the class comment).
    static bool isCertificateName(const QString& name);

private:
    bool readKey(const QString& key, QString& value) const;
    bool writeKey(const QString& key, const QString& value) const;
    // The certificate's folder when the name is acceptable and the folder exists; empty otherwise.
    QString certificateFolder(const QString& name) const;
    void restartWebServices() const;

    const ls::PFile& m_file;
    Parameters& m_parameters;
};
