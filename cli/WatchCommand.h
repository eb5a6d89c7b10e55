#pragma once

#include "SubCommand.h"

#include <QObject>
#include <QVariantMap>

// `watch [--count N]`: prints each notification of the service as it arrives, one line each
// (one JSON object per line with --json), until interrupted or N have arrived. The line
// "watching ..." on stderr says the subscription is in place.
class WatchCommand : public QObject, public SubCommand {
    Q_OBJECT

public:
    WatchCommand(ServiceClient& client, Printer& printer, const QCommandLineParser& options);

    QStringList options() const override;
    int run(const QStringList& words) override;

    // One notification as a line: its ids by name, then its payload.
    static QString describe(const QVariantMap& notification);

private slots:
    void received(const QVariantMap& notification);

private:
    int m_left = -1;
};
