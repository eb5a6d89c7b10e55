#include "LayoutParameters.h"

#include "LayoutCommand.h"
#include "LayoutEntity.h"
#include "LayoutFile.h"
#include "LayoutKeys.h"
#include "LayoutSettings.h"
#include "ParameterList.h"
#include "brailletable/TableSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"
#include "paper/PaperSettings.h"
#include "property/MemoryCatalog.h"
#include "property/PropValueList.h"
#include "property/TempProperties.h"
#include "property/manager/CatalogsManager.h"
#include "systeminfo/Parameters.h"

#include <QMetaEnum>

#include <cmath>

CM_LOGGING_CATEGORY(lcLayoutParameters, "LayoutParameters")

namespace {
const QString layoutCatalogName = QStringLiteral("layout");
const QString paperCatalogName = QStringLiteral("paper");
const QString customPaper = QStringLiteral("paperSizeCustom");
const QString maintainFormatting = QStringLiteral("Maintain document formatting");
const QString maintainCapitalization = QStringLiteral("Maintain document capitalization");
const QString tabSize = QStringLiteral("Tab size");
const QString paperWidth = QStringLiteral("Paper width");
const QString paperLength = QStringLiteral("Paper length");
const QString paperSizeUnit = QStringLiteral("Paper size unit");
const QString paperStepLength = QStringLiteral("Paper step length");
const QString stepLengthFraction = QStringLiteral("Step length fraction");
const QString printHeadOffset = QStringLiteral("Print head offset");
const QString loadOrientation = QStringLiteral("Load orientation");
const QString formatOrientation = QStringLiteral("Format orientation");
const QString pfStepDist = QStringLiteral("PF Step dist");
const QString descriptionField = QStringLiteral("description");

QString listName(lcm::RowValueList list)
{
    return PropValueList::listName(static_cast<int>(list));
}
} // namespace

LayoutParameters::LayoutParameters(LayoutSettings& layouts, TempProperties& temp, const Parameters& parameters,
    CatalogsManager& catalogs, QObject* parent)
    : QObject(parent)
    , m_layouts(layouts)
    , m_parameters(parameters)
    , m_temp(temp.accessor())
    , m_catalogs(catalogs)
    , m_layoutCatalog(new MemoryCatalog(layoutCatalogName, catalogs, lcLayoutParameters(), this))
    , m_paperCatalog(new MemoryCatalog(paperCatalogName, catalogs, lcLayoutParameters(), this))
    , m_layout(m_layoutCatalog->accessor())
    , m_paper(m_paperCatalog->accessor())
{
    // User papers and installed tables are names the value-list file cannot list.
    const LayoutEntity::Context context = layouts.context();
    const PaperSettings* papers = context.paperSettings;
    TableSettings* tables = context.tableSettings;
    ValueChecker& checker = catalogs.checker();
    checker.setNameCheck(listName(lcm::RowValueList::PaperSize),
        [papers](const QString& name) { return papers->getPaperEntity(name).isValid(); });
    checker.setNameCheck(listName(lcm::RowValueList::BrailleLanguage), [tables](const QString& name) {
        return tables->validateLegacyTable(lcm::BrailleType::SixDot, name)
            || tables->validateLegacyTable(lcm::BrailleType::EightDot, name);
    });
    checker.setNameCheck(listName(lcm::RowValueList::LiblouisTable), [tables](const QString& name) {
        return tables->validateLiblouisTable(lcm::BrailleType::SixDot, name)
            || tables->validateLiblouisTable(lcm::BrailleType::EightDot, name);
    });
}

QVariantMap LayoutParameters::getLayoutParameters(const QString& collection) const
{
    QVariantMap values = m_layout.values(collection, Q_FUNC_INFO);
    const QVariantMap paper = m_paper.values(collection, Q_FUNC_INFO);
    for (auto it = paper.constBegin(); it != paper.constEnd(); ++it) {
        values.insert(it.key(), it.value());
    }
    return values;
}

// -- Print options ---------------------------------------------------------------------------------

bool LayoutParameters::getTrueFalse(const QString& parameter, const QString& collection, const char* caller) const
{
    return m_layout.getString(parameter, collection, caller).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

void LayoutParameters::setAndSave(
    const QString& parameter, const QVariant& value, const QString& collection, const char* caller)
{
    if (m_layout.setValue(parameter, value, collection, false, caller)) {
        saveToFile();
    }
}

bool LayoutParameters::getKeepFormat(const QString& collection) const
{
    return getTrueFalse(maintainFormatting, collection, Q_FUNC_INFO);
}

void LayoutParameters::setKeepFormat(bool keep, const QString& collection)
{
    setAndSave(maintainFormatting, keep ? QStringLiteral("true") : QStringLiteral("false"), collection, Q_FUNC_INFO);
}

bool LayoutParameters::getKeepCapitalization(const QString& collection) const
{
    return getTrueFalse(maintainCapitalization, collection, Q_FUNC_INFO);
}

void LayoutParameters::setKeepCapitalization(bool keep, const QString& collection)
{
    setAndSave(
        maintainCapitalization, keep ? QStringLiteral("true") : QStringLiteral("false"), collection, Q_FUNC_INFO);
}

int LayoutParameters::getTabSize(const QString& collection) const
{
    return m_layout.getInt(tabSize, collection, Q_FUNC_INFO);
}

void LayoutParameters::setTabSize(int size, const QString& collection)
{
    setAndSave(tabSize, size, collection, Q_FUNC_INFO);
}

// -- Loading the active layout ---------------------------------------------------------------------

void LayoutParameters::setCurrentLayoutParameters()
{
    setCurrentLayoutParameters(masterCollectionKey);
}

void LayoutParameters::setCurrentLayoutParameters(const QString& collection)
{
    const int n = m_layouts.getActiveLayout();
    const QVariantMap layout = m_layouts.readLayout(n, false);
    if (layout.isEmpty()) {
        LOG_ERROR(lcLayoutParameters) << "reading" << LayoutFile::fileName(n) << "failed";
        return;
    }
    setParametersFromMap(layout, collection);
}

void LayoutParameters::setParametersFromMap(const QVariantMap& layout, const QString& collection)
{
    // Setting values changes no catalog's place in its collection: the two stay valid.
    const ParametersCatalog* layoutCatalog = m_catalogs.getCatalog(m_layout.catalogName(), collection);
    const ParametersCatalog* tempCatalog = m_catalogs.getCatalog(m_temp.catalogName(), collection);
    for (auto it = layout.constBegin(); it != layout.constEnd(); ++it) {
        if (layoutCatalog && layoutCatalog->parameter(it.key())) {
            m_layout.setValue(it.key(), it.value(), collection, false, Q_FUNC_INFO);
        } else if (tempCatalog && tempCatalog->parameter(it.key())) {
            m_temp.setValue(it.key(), it.value(), collection, false, Q_FUNC_INFO);
        } else {
            LOG_ERROR(lcLayoutParameters) << it.key() << "invalid parameter received from layout, skipping";
        }
    }
    setCurrentPaperParameters(collection);
}

void LayoutParameters::setCurrentPaperParameters(const QString& collection)
{
    const QString size = m_layout.getString(ls::paperSizeKey, collection, Q_FUNC_INFO);
    const PaperEntity paper = m_layouts.context().paperSettings->getPaperEntity(size);
    if (!paper.isValid()) {
        LOG_ERROR(lcLayoutParameters) << size << "paper entity is invalid!";
        return;
    }
    // The size of a custom paper is the user's, whatever the record says.
    if (size != customPaper) {
        m_paper.setValue(paperWidth, paper.getWidth(), collection, false, Q_FUNC_INFO);
        m_paper.setValue(paperLength, paper.getHeight(), collection, false, Q_FUNC_INFO);
        int steps = paper.getStepLength();
        // A record without its step count: the length in the machine's feed steps.
        const double feedStep = m_parameters.accessor().getDouble(pfStepDist, collection, Q_FUNC_INFO);
        if (steps <= 0 && feedStep > 0.0) {
            steps = static_cast<int>(std::lround(paper.getHeight() / feedStep));
        }
        m_paper.setValue(paperStepLength, steps, collection, false, Q_FUNC_INFO);
    }
    m_temp.setValue(loadOrientation, paper.getLoadOrientation(), collection, false, Q_FUNC_INFO);
    m_temp.setValue(formatOrientation, paper.getFormatOrientation(), collection, false, Q_FUNC_INFO);
    m_paper.setValue(stepLengthFraction, paper.getStepLengthFraction(), collection, false, Q_FUNC_INFO);
    m_paper.setValue(printHeadOffset, paper.getPrintingHeadOffset(), collection, false, Q_FUNC_INFO);
    int unit = paper.getSizeUnit();
    if (!QMetaEnum::fromType<lcm::SizeUnit>().valueToKey(unit)) {
        LOG_ERROR(lcLayoutParameters) << size << " paper size unit is invalid, setting to default as milimeters!";
        unit = static_cast<int>(lcm::SizeUnit::Milimeters);
    }
    m_paper.setValue(paperSizeUnit, unit, collection, false, Q_FUNC_INFO);
}

// -- Validation and saving -------------------------------------------------------------------------

bool LayoutParameters::validateLayoutParameters(const QVariantMap& parameters) const
{
    const LayoutEntity::Context context = m_layouts.context();
    const LayoutEntity layout(context, parameters);
    bool valid = true;
    for (auto it = parameters.constBegin(); it != parameters.constEnd(); ++it) {
        const lcm::RowValueList list = context.parameterList->getRowValueList(it.key());
        if (static_cast<int>(list) < static_cast<int>(lcm::RowValueList::OnOff)
            || list == lcm::RowValueList::PaperSize) {
            continue;
        }
        const QVariantList entries = context.valueList->getValues(list);
        // The table lists are filled from the table directories, not from entries.
        if (entries.isEmpty()) {
            continue;
        }
        bool admitted = false;
        for (const QVariant& item : entries) {
            const QVariantMap entry = item.toMap();
            if (entry.value(descriptionField).toString() == it.value().toString()) {
                const QString command = entry.value(ls::eValidateCommandKey).toString();
                admitted = context.commands->holds(command, entry, layout, parameters);
                break;
            }
        }
        if (!admitted) {
            LOG_ERROR(lcLayoutParameters) << "parameter" << it.key() << "is not valid!";
            valid = false;
        }
    }
    return valid;
}

bool LayoutParameters::saveToFile()
{
    const QVariantMap layout = m_layout.values(masterCollectionKey, Q_FUNC_INFO);
    QVariantMap checked = layout;
    const QVariantMap extra = LayoutEntity(m_layouts.context(), layout).supplyExtraProperties();
    for (const QString& key : { LayoutKeys::bottomMargin, LayoutKeys::maxTopMargin, LayoutKeys::minBindingMargin,
             LayoutKeys::maxBindingMargin, LayoutKeys::totalLinesPerPage, LayoutKeys::totalCharactersPerLine }) {
        if (extra.contains(key)) {
            checked.insert(key, extra.value(key));
        }
    }
    if (layout.isEmpty() || !validateLayoutParameters(checked)) {
        LOG_ERROR(lcLayoutParameters) << "Validating layout parameters failed, skipping saving to file!";
        return false;
    }
    const int n = m_layouts.getActiveLayout();
    if (!m_layouts.writeLayout(layout, n)) {
        LOG_FAILED(lcLayoutParameters) << "Saving data for file" << LayoutFile::fileName(n) << "failed!";
        return false;
    }
    return true;
}
