#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariantMap>

class LayoutEntity;
class PaperSettings;

// The validation commands that value-list entries name ("eValidateCommand"): whether an entry may
// be offered in a layout, given the layout's current values and its page geometry (the extra
// properties of LayoutEntity). The table from command name to rule is process-wide and holds the
// 19 commands 1..19 of lcm::ValidateCommand; any other name is unknown.
class LayoutCommand : public QObject {
    Q_OBJECT

public:
    explicit LayoutCommand(const PaperSettings& paperSettings, QObject* parent = nullptr);

    bool isKnown(const QString& command) const;
    // Whether `command` holds for the value-list entry `entry` in `layout`; false for an unknown
    // command.
    bool holds(
        const QString& command, const QVariantMap& entry, const LayoutEntity& layout, const QVariantMap& extra) const;

    struct Check {
        QString description;
        int intValue;
        const QVariantMap& entry;
        const LayoutEntity& layout;
        const QVariantMap& extra;
    };
    using Rule = bool (LayoutCommand::*)(const Check&) const;

private:
    bool alwaysValid(const Check&) const { return true; }
    bool neverValid(const Check&) const { return false; }
    bool paperValidForRegion(const Check& check) const;
    bool paperValidForAnyRegion(const Check& check) const;
    bool maxTopMarginIsZero(const Check& check) const;
    bool topMarginFits(const Check& check) const;
    bool maxBindingMarginIsZero(const Check& check) const;
    bool bindingMarginFits(const Check& check) const;
    bool bindingMarginOptional(const Check& check) const;
    bool noMarginLines(const Check& check) const;
    bool bottomPageNumberFits(const Check& check) const;
    bool topMarginIsSet(const Check& check) const;
    bool bottomMarginIsSet(const Check& check) const;
    bool modelIsFeedCompatible(const Check& check) const;
    bool modelIsHeadCompatible(const Check& check) const;
    bool modelIsDoubleSided(const Check& check) const;
    bool duplexingIsFolding(const Check& check) const;
    bool noPageNumberNoVolume(const Check& check) const;
    bool pageNumberOrVolume(const Check& check) const;

    // Whether the entry's "|"-separated requirement `field` admits the model's enumerator `value`
    // of `enumeration`: an entry without the field, or naming "Any", admits every model.
    static bool admits(const QVariantMap& entry, const QString& field, const char* enumeration, int value);
    static const QHash<QString, Rule>& rules();

    const PaperSettings& m_paperSettings;
};
