#pragma once

#include "AdaptorMethod.h"

#include <QString>
#include <QVector>

// Writes the generated parts of the adaptor: the interface name and the slot and signal
// declarations into the header template, the forwarding bodies, and the introspection XML that is
// published for client authors. Every slot but the early ones first asks unavailable(), which
// answers a call that arrives before the service has built its objects.
class AdaptorWriter {
public:
    AdaptorWriter(
        const QString& interfaceName, const QVector<AdaptorMethod>& signalList, const QVector<AdaptorMethod>& methods);

    bool writeHeader(const QString& templatePath, const QString& outputPath) const;
    bool writeSource(const QString& headerName, const QStringList& includes, const QString& outputPath) const;
    bool writeIntrospection(const QString& outputPath) const;
    QString error() const { return m_error; }

private:
    static QString parameterList(const AdaptorMethod& method);
    static bool dbusSignature(const QString& cppType, QString& signature);
    bool checkTypes() const;
    bool write(const QString& path, const QByteArray& content) const;

    QString m_interfaceName;
    QVector<AdaptorMethod> m_signals;
    QVector<AdaptorMethod> m_methods;
    mutable QString m_error;
};
