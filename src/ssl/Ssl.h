#pragma once

#include "CommandHandler.h"

class SslSettings;

// The `Ssl` command: the web server's HTTPS switch and its certificates through SslSettings. A
// change is announced as SslChange with the request's key and value. A certificate name that is
// not one plain folder name is refused as InvalidValue before anything is read or written.
class Ssl : public CommandHandler {
    Q_OBJECT

public:
    explicit Ssl(const SslSettings& settings, QObject* parent = nullptr);

    QVariantMap process(const ls::Command& command) override;

private:
    QVariantMap getState(const ls::Command& command) const;
    QVariantMap setState(const ls::Command& command) const;
    QVariantMap getCertificates(const ls::Command& command) const;
    QVariantMap getActiveCertificate(const ls::Command& command) const;
    QVariantMap setActiveCertificate(const ls::Command& command) const;
    QVariantMap addCertificate(const ls::Command& command) const;
    QVariantMap deleteCertificate(const ls::Command& command) const;

    // The certificate name of a request; false with the refusal in `refusal`.
    bool certificateName(const ls::Command& command, const char* operation, QString& name, QVariantMap& refusal) const;

    static const SubCommandTable<Ssl> table;

    const SslSettings& m_settings;
};
