#pragma once

#include "CommandHandler.h"

class OvdSettings;
class PrintSettings;

// The `Print` command: the direct-print settings (announced as PrintChange when they change), their
// one-minute temporary override, the file types each requesting service takes (answered for the
// request's sender), and the label templates. A template name is one plain file name inside the
// template directory; any other name is InvalidValue and writes nothing.
class Print : public CommandHandler {
    Q_OBJECT

public:
    explicit Print(PrintSettings& settings, QObject* parent = nullptr);

    QVariantMap process(const ls::Command& command) override;

private:
    QVariantMap getKeepFormat(const ls::Command& command) const;
    QVariantMap setKeepFormat(const ls::Command& command) const;
    QVariantMap getKeepCapitalization(const ls::Command& command) const;
    QVariantMap setKeepCapitalization(const ls::Command& command) const;
    QVariantMap getTabSize(const ls::Command& command) const;
    QVariantMap setTabSize(const ls::Command& command) const;
    QVariantMap getFilters(const ls::Command& command) const;
    QVariantMap getExtensions(const ls::Command& command) const;
    QVariantMap getPreviews(const ls::Command& command) const;
    QVariantMap setTemporarySettings(const ls::Command& command) const;
    QVariantMap getLabelTemplate(const ls::Command& command) const;
    QVariantMap saveTemplateInternal(const ls::Command& command) const;
    QVariantMap saveLabelTemplateFile(const ls::Command& command) const;

    QVariantMap setFlag(const ls::Command& command, const char* operation, bool (OvdSettings::*setter)(bool),
        const EnumKey& action) const;
    QVariantMap saveTemplate(
        const char* operation, const QString& base, const QList<QPair<QString, QByteArray>>& files) const;

    static const SubCommandTable<Print> table;

    PrintSettings& m_settings;
};
