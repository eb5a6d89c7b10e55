#pragma once

#include "CommandHandler.h"

#include <functional>

class ModelPaper;
class SystemSettings;

// The `SystemInfo` command: machine information for the front ends (the model's entry of the
// embosser list and the values of the machine families under camel-case keys), the system, error
// and per-service logs, the installed package list and the parameter change log. It owns no file
// and announces nothing. A service log is read only for a name that is a supervised service of
// the machine, so a request can never name a path.
class SystemInfo : public CommandHandler {
    Q_OBJECT

public:
    // The most lines of a log the handler answers with.
    static constexpr int logLineLimit = 100000;
    // How long the package query may take.
    static constexpr int packageQueryTimeoutMs = 5000;

    // The value a named parameter leaves the service with; the keys of the information map are no
    // longer parameter names, so the values are typed before they are renamed.
    using Typer = std::function<QVariant(const QString& name, const QVariant& value)>;

    SystemInfo(
        const SystemSettings& systemSettings, const ModelPaper& modelPaper, Typer typer, QObject* parent = nullptr);

    QVariantMap process(const ls::Command& command) override;

private:
    void insertKeyed(QVariantMap& info, const QVariantMap& values) const;
    QVariantMap getSystemInfo(const ls::Command& command) const;
    QVariantMap getSystemLogs(const ls::Command& command) const;
    QVariantMap getServiceLogs(const ls::Command& command) const;
    QVariantMap getErrorLogs(const ls::Command& command) const;
    QVariantMap getPackageList(const ls::Command& command) const;
    QVariantMap readLogs(const ls::Command& command) const;
    QVariantMap clearLogs(const ls::Command& command) const;

    static const SubCommandTable<SystemInfo> table;

    const SystemSettings& m_systemSettings;
    const ModelPaper& m_modelPaper;
    const Typer m_typer;
};
