#include "LayoutCommand.h"

#include "LayoutEntity.h"
#include "LayoutKeys.h"
#include "lcm/EnumDetail.h"
#include "ls/Keys.h"
#include "paper/ModelPaper.h"
#include "paper/PaperSettings.h"

#include <QHash>
#include <QMetaEnum>
#include <QStringList>

namespace {
int extraInt(const QVariantMap& extra, const QString& key)
{
    return extra.value(key).toInt();
}

bool pageNumberAtTop(const LayoutEntity& layout)
{
    const int position = layout.enumeratorOf(lcm::RowValueList::PageNumber, LayoutKeys::pageNumber, "PageNumber");
    return position >= static_cast<int>(lcm::PageNumber::TopCenter)
        && position <= static_cast<int>(lcm::PageNumber::TopRight);
}

lcm::Region regionOf(const LayoutEntity& layout)
{
    bool ok = false;
    const int region
        = QMetaEnum::fromType<lcm::Region>().keyToValue(layout.getText(LayoutKeys::region).toLatin1().constData(), &ok);
    // Not an enumerator: the paper checks refuse it.
    return static_cast<lcm::Region>(ok ? region : -1);
}
} // namespace

LayoutCommand::LayoutCommand(const PaperSettings& paperSettings, QObject* parent)
    : QObject(parent)
    , m_paperSettings(paperSettings)
{
    rules();
}

const QHash<QString, LayoutCommand::Rule>& LayoutCommand::rules()
{
    static const QHash<QString, Rule> table = [] {
        // In the order of lcm::ValidateCommand, from 1 on.
        const Rule byValue[] = { &LayoutCommand::alwaysValid, &LayoutCommand::neverValid,
            &LayoutCommand::paperValidForRegion, &LayoutCommand::paperValidForAnyRegion,
            &LayoutCommand::maxTopMarginIsZero, &LayoutCommand::topMarginFits, &LayoutCommand::maxBindingMarginIsZero,
            &LayoutCommand::bindingMarginFits, &LayoutCommand::bindingMarginOptional, &LayoutCommand::noMarginLines,
            &LayoutCommand::bottomPageNumberFits, &LayoutCommand::topMarginIsSet, &LayoutCommand::bottomMarginIsSet,
            &LayoutCommand::modelIsFeedCompatible, &LayoutCommand::modelIsHeadCompatible,
            &LayoutCommand::modelIsDoubleSided, &LayoutCommand::duplexingIsFolding,
            &LayoutCommand::noPageNumberNoVolume, &LayoutCommand::pageNumberOrVolume };
        const QMetaEnum commands = QMetaEnum::fromType<lcm::ValidateCommand>();
        QHash<QString, Rule> rows;
        for (int value = 1; value <= int(sizeof(byValue) / sizeof(byValue[0])); ++value) {
            rows.insert(QLatin1String(commands.valueToKey(value)), byValue[value - 1]);
        }
        return rows;
    }();
    return table;
}

bool LayoutCommand::isKnown(const QString& command) const
{
    return rules().contains(command);
}

bool LayoutCommand::holds(
    const QString& command, const QVariantMap& entry, const LayoutEntity& layout, const QVariantMap& extra) const
{
    const Rule rule = rules().value(command, nullptr);
    if (!rule) {
        return false;
    }
    const Check check { entry.value(QStringLiteral("description")).toString(),
        entry.value(QStringLiteral("intValue")).toInt(), entry, layout, extra };
    return (this->*rule)(check);
}

bool LayoutCommand::paperValidForRegion(const Check& check) const
{
    return m_paperSettings.isPaperValid(regionOf(check.layout), check.description);
}

bool LayoutCommand::paperValidForAnyRegion(const Check& check) const
{
    return m_paperSettings.isPaperValid(lcm::Region::Undefined, check.description);
}

bool LayoutCommand::maxTopMarginIsZero(const Check& check) const
{
    return extraInt(check.extra, LayoutKeys::maxTopMargin) == 0;
}

bool LayoutCommand::topMarginFits(const Check& check) const
{
    const int maxTop = extraInt(check.extra, LayoutKeys::maxTopMargin);
    return !pageNumberAtTop(check.layout) && maxTop > 0 && check.intValue <= maxTop;
}

bool LayoutCommand::maxBindingMarginIsZero(const Check& check) const
{
    return extraInt(check.extra, LayoutKeys::maxBindingMargin) == 0;
}

bool LayoutCommand::bindingMarginFits(const Check& check) const
{
    const int maxBinding = extraInt(check.extra, LayoutKeys::maxBindingMargin);
    return maxBinding > 0 && check.intValue <= maxBinding;
}

bool LayoutCommand::bindingMarginOptional(const Check& check) const
{
    return extraInt(check.extra, LayoutKeys::minBindingMargin) < 1
        && extraInt(check.extra, LayoutKeys::maxBindingMargin) > 0;
}

bool LayoutCommand::noMarginLines(const Check& check) const
{
    return extraInt(check.extra, LayoutKeys::bottomMargin) == 0 && maxTopMarginIsZero(check);
}

bool LayoutCommand::bottomPageNumberFits(const Check& check) const
{
    const Check firstLine { check.description, 1, check.entry, check.layout, check.extra };
    return extraInt(check.extra, LayoutKeys::bottomMargin) > 0 || topMarginFits(firstLine);
}

bool LayoutCommand::topMarginIsSet(const Check& check) const
{
    return check.layout.positionOf(lcm::RowValueList::TopMargin, LayoutKeys::topMargin) > 0;
}

bool LayoutCommand::bottomMarginIsSet(const Check& check) const
{
    return extraInt(check.extra, LayoutKeys::bottomMargin) > 0;
}

bool LayoutCommand::modelIsFeedCompatible(const Check& check) const
{
    return admits(check.entry, ls::eFeedTypeKey, "FeedType", m_paperSettings.modelPaper().getFeedType());
}

bool LayoutCommand::modelIsHeadCompatible(const Check& check) const
{
    return admits(check.entry, ls::eHeadTypeKey, "HeadType", m_paperSettings.modelPaper().getHeadType());
}

bool LayoutCommand::modelIsDoubleSided(const Check&) const
{
    return m_paperSettings.modelPaper().isDoubleSided();
}

bool LayoutCommand::duplexingIsFolding(const Check& check) const
{
    return LayoutEntity::isFolding(check.layout.getText(LayoutKeys::duplexing));
}

bool LayoutCommand::noPageNumberNoVolume(const Check& check) const
{
    return check.layout.enumeratorOf(lcm::RowValueList::PageNumber, LayoutKeys::pageNumber, "PageNumber")
        == static_cast<int>(lcm::PageNumber::None)
        && check.layout.positionOf(lcm::RowValueList::MaxPagesInVolume, LayoutKeys::maxPagesInVolume) == 0;
}

bool LayoutCommand::pageNumberOrVolume(const Check& check) const
{
    return !noPageNumberNoVolume(check);
}

bool LayoutCommand::admits(const QVariantMap& entry, const QString& field, const char* enumeration, int value)
{
    if (!entry.contains(field)) {
        return true;
    }
    const QStringList accepted = entry.value(field).toString().split(QLatin1Char('|'));
    const char* model = lcm::EnumDetail::metaEnum(enumeration).valueToKey(value);
    return accepted.contains(QStringLiteral("Any")) || (model && accepted.contains(QLatin1String(model)));
}
