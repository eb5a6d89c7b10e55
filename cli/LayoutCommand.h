#pragma once

#include "SubCommand.h"

#include <QVariantMap>

// `layout list | show N | activate N | add | delete N | set N NAME=VALUE... | backup [N...] |
// backups [PLACE] | restore PLACE [FOLDER] [N...]` over the service's Layout command. `set` lets
// the service repair the values that depend on the changed one (GetPropertyValues), shows
// every value that changed and only then writes the layout (not with --dry-run).
class LayoutCommand : public SubCommand {
public:
    using SubCommand::SubCommand;

    QStringList options() const override;
    int run(const QStringList& words) override;

private:
    int list();
    int show(const QStringList& words);
    int simple(const QString& subCommand, const QStringList& words, const QString& done);
    int add();
    int set(const QStringList& words);
    int backup(const QStringList& words);
    int backups(const QStringList& words);
    int restore(const QStringList& words);

    // Layout numbers from words; false (after a usage message) on a word that is none.
    bool numbers(const QStringList& words, QVariantList& result);
    // The stored parameter names of a layout, from the service's parameter list.
    bool parameterNames(QStringList& names);
    bool process(const QString& subCommand, const QVariantMap& arguments, QVariantMap& result);
    int done(const QVariantMap& json, const QString& text);
};
