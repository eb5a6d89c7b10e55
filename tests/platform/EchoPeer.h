#pragma once

#include <QDBusContext>
#include <QObject>
#include <QVariantMap>

// A stand-in peer service for the tests: its `process` answers Success with the request under
// "echo", and never answers a request that holds the key "silent".
class EchoPeer : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvanebraille.ErrorHandler")

public slots:
    QVariantMap process(const QVariantMap& request);
};
