#include "LayoutEntity.h"

#include "BrlDimension.h"
#include "LayoutCommand.h"
#include "LayoutKeys.h"
#include "Locations.h"
#include "ParameterList.h"
#include "SafePath.h"
#include "brailletable/TableNames.h"
#include "brailletable/TableSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "paper/ModelPaper.h"
#include "paper/PaperEntity.h"
#include "paper/PaperRegion.h"
#include "paper/PaperSettings.h"
#include "paper/UserPaperFile.h"
#include "property/PropValueList.h"
#include "property/manager/ValueChecker.h"

#include <QMetaEnum>

#include <cmath>
#include <limits>

CM_LOGGING_CATEGORY(lcLayoutEntity, "LayoutEntity")

namespace {
const QString descriptionField = QStringLiteral("description");
const QString intValueField = QStringLiteral("intValue");
const QString statusField = QStringLiteral("status:");
const QString replacedByField = QStringLiteral("replaced-by:");
// The value type in the answer of getValues, named as the parameter list names it.
const QString valueTypeKey = QStringLiteral("eValueType");

// Counts and positions from clients are bounded far beyond any page, so that no sum overflows.
constexpr int countBound = 1000000;

// The number a value stands for: numbers, and texts that are numbers through and through.
bool toNumber(const QVariant& value, double& number)
{
    bool ok = false;
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        number = value.toDouble(&ok);
        break;
    case QMetaType::QString:
        number = value.toString().trimmed().toDouble(&ok);
        break;
    default:
        return false;
    }
    return ok && std::isfinite(number);
}

bool isWholeInt(double number)
{
    return number == std::trunc(number) && number >= std::numeric_limits<int>::min()
        && number <= std::numeric_limits<int>::max();
}

// A count of the page geometry: truncated toward zero; false when the value is no usable count.
bool toCount(float value, int& count)
{
    if (!std::isfinite(value) || std::fabs(value) > float(countBound)) {
        return false;
    }
    count = static_cast<int>(value);
    return true;
}

// A value for a log line: values from clients can be long.
QString shown(const QVariant& value)
{
    constexpr int longest = 80;
    const QString text = value.toString();
    return text.size() > longest ? text.left(longest) + QStringLiteral("...") : text;
}

lcm::Region regionOf(const QString& text)
{
    bool ok = false;
    const int region = QMetaEnum::fromType<lcm::Region>().keyToValue(text.toLatin1().constData(), &ok);
    return static_cast<lcm::Region>(ok ? region : -1);
}
} // namespace

LayoutEntity::LayoutEntity(const Context& context, const QVariantMap& data)
    : m_context(context)
    , m_valid(!data.isEmpty())
    , m_data(data)
{
}

bool LayoutEntity::hasParameterList() const
{
    return m_context.parameterList && m_context.valueList;
}

QVariantMap LayoutEntity::getData(bool storedOnly) const
{
    if (!storedOnly || !hasParameterList()) {
        return storedOnly ? QVariantMap() : m_data;
    }
    const QVariantMap parameters = m_context.parameterList->getParameterList();
    QVariantMap stored;
    for (auto it = m_data.constBegin(); it != m_data.constEnd(); ++it) {
        // Only names of the list are asked for, so that unknown members cost no log line each.
        if (it.key() != LayoutKeys::metadata && parameters.contains(it.key())
            && m_context.parameterList->getStored(it.key())) {
            stored.insert(it.key(), it.value());
        }
    }
    return stored;
}

void LayoutEntity::setValue(const QString& parameter, const QVariant& value)
{
    m_data.insert(parameter, value);
}

QString LayoutEntity::getText(const QString& parameter) const
{
    const QVariant value = m_data.value(parameter);
    return value.isNull() ? QString() : value.toString();
}

int LayoutEntity::getInt(const QString& parameter) const
{
    double number = 0.0;
    if (!toNumber(m_data.value(parameter), number)
        || !(number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())) {
        return -1;
    }
    return static_cast<int>(number);
}

double LayoutEntity::getFloat(const QString& parameter) const
{
    double number = 0.0;
    return toNumber(m_data.value(parameter), number) ? number : -1.0;
}

int LayoutEntity::positionOf(lcm::RowValueList list, const QString& parameter) const
{
    if (!m_context.valueList) {
        return -1;
    }
    const QString text = getText(parameter);
    const QVariantList entries = m_context.valueList->getValues(list);
    for (int position = 0; position < entries.size(); ++position) {
        if (entries.at(position).toMap().value(descriptionField).toString() == text) {
            return position;
        }
    }
    return -1;
}

int LayoutEntity::enumeratorOf(lcm::RowValueList list, const QString& parameter, const char* enumeration) const
{
    return lcm::EnumDetail::valueAt(enumeration, positionOf(list, parameter));
}

QString LayoutEntity::descriptionOf(lcm::RowValueList list, int intValue) const
{
    if (!m_context.valueList) {
        return QString();
    }
    const QVariantList entries = m_context.valueList->getValues(list);
    for (const QVariant& entry : entries) {
        const QVariantMap fields = entry.toMap();
        if (fields.value(intValueField).toInt() == intValue && fields.contains(intValueField)) {
            return fields.value(descriptionField).toString();
        }
    }
    return QString();
}

bool LayoutEntity::isFolding(const QString& duplexing)
{
    return PropValueList::isFolding(duplexing);
}

int LayoutEntity::cellDots() const
{
    return enumeratorOf(lcm::RowValueList::BrailleCellDots, LayoutKeys::brailleCellDots, "BrailleType");
}

// -- Migration ---------------------------------------------------------------------------------

QVariantMap LayoutEntity::findMissingProperties() const
{
    QVariantMap missing;
    if (!m_data.contains(LayoutKeys::adjustmentToLinespacing)) {
        LOG_DEBUG(lcLayoutEntity) << "Found missing property" << LayoutKeys::adjustmentToLinespacing;
        missing.insert(LayoutKeys::adjustmentToLinespacing, QString::number(0.0, 'g', 6));
    }
    if (!m_data.contains(LayoutKeys::creatorOfLayout)) {
        LOG_DEBUG(lcLayoutEntity) << "Found missing property" << LayoutKeys::creatorOfLayout;
        missing.insert(LayoutKeys::creatorOfLayout, m_context.creator);
    }
    if (!m_data.contains(LayoutKeys::layoutName)) {
        LOG_DEBUG(lcLayoutEntity) << "Found missing property" << LayoutKeys::layoutName;
        missing.insert(LayoutKeys::layoutName,
            QStringLiteral("%1 %2").arg(getText(LayoutKeys::paperSize), getText(LayoutKeys::duplexing)));
    }
    if (!m_data.contains(LayoutKeys::brailleCellDots) && m_context.tableSettings) {
        const int dots = m_context.tableSettings->legacyTableDots(getText(LayoutKeys::brailleLanguage));
        const QString description = dots > 0 ? descriptionOf(lcm::RowValueList::BrailleCellDots, dots) : QString();
        if (!description.isEmpty()) {
            LOG_DEBUG(lcLayoutEntity) << "Found missing parameter" << LayoutKeys::brailleCellDots;
            missing.insert(LayoutKeys::brailleCellDots, description);
        }
    }
    return missing;
}

QVariantMap LayoutEntity::findObsoleteProperties() const
{
    const QString name = getText(LayoutKeys::liblouisTable);
    QString successor;
    if (!m_data.contains(LayoutKeys::liblouisTable) || !successorOf(LayoutKeys::liblouisTable, name, true, successor)
        || successor.isEmpty()) {
        return {};
    }
    LOG_DEBUG(lcLayoutEntity) << "Found obsolete parameter" << LayoutKeys::liblouisTable << "value" << name;
    return { { LayoutKeys::liblouisTable, successor } };
}

QVariantMap LayoutEntity::findReplacedProperties() const
{
    QVariantMap replaced;
    for (const QString& parameter : { LayoutKeys::liblouisTable, LayoutKeys::brailleLanguage }) {
        if (!m_data.contains(parameter)) {
            continue;
        }
        const QString name = getText(parameter);
        QString successor;
        if (!successorOf(parameter, name, false, successor)) {
            LOG_CRITICAL(lcLayoutEntity) << "Replacement table path could not be parsed.";
            LOG_CRITICAL(lcLayoutEntity) << (parameter == LayoutKeys::liblouisTable
                    ? "Replacement liblouis table path could not be parsed."
                    : "Replacement legacy table path could not be parsed.");
            return replaced;
        }
        if (!successor.isEmpty()) {
            LOG_DEBUG(lcLayoutEntity) << "Found parameter to be replaced" << name << "to value" << successor;
            replaced.insert(parameter, successor);
        }
    }
    return replaced;
}

bool LayoutEntity::successorOf(const QString& parameter, const QString& name, bool obsolete, QString& successor) const
{
    // Cached answers start with '=' (then the successor, maybe empty), or are '!' for a name
    // that cannot be parsed.
    const QString key = QStringLiteral("%1:%2:%3")
                            .arg(obsolete ? QStringLiteral("obsolete") : QStringLiteral("replaced"), parameter, name);
    QString answer;
    if (m_context.tableLookups && m_context.tableLookups->contains(key)) {
        answer = m_context.tableLookups->value(key);
    } else {
        // A table is an entry of its language's metadata file; names that could leave the metadata
        // root are no table.
        QString language;
        QString table;
        answer = QStringLiteral("!");
        if (TableNames::split(name, language, table)) {
            answer = QStringLiteral("=");
            if (obsolete && m_context.tableSettings) {
                QString current = name;
                if (m_context.tableSettings->updateLiblouisTable(current) && current != name) {
                    answer += current;
                }
            } else if (!obsolete) {
                const QString& root = parameter == LayoutKeys::liblouisTable ? Locations::embosserLiblouisDir()
                                                                             : Locations::legacyTablesDir();
                const QString file = TableNames::languageMetadataFile(root, language);
                QVariantMap metadata;
                if (SafePath::isInside(root, file) && ls::JFile().readToMap(file, metadata)) {
                    const QVariantMap entry = metadata.value(table).toMap();
                    if (entry.value(statusField).toString() == QLatin1String("replaced")
                        && entry.contains(replacedByField)) {
                        answer += entry.value(replacedByField).toString();
                    }
                }
            }
        }
        if (m_context.tableLookups) {
            m_context.tableLookups->insert(key, answer);
        }
    }
    successor = answer.mid(1);
    return answer.startsWith(QLatin1Char('='));
}

bool LayoutEntity::update()
{
    const QVariantMap missing = findMissingProperties();
    const QVariantMap obsolete = findObsoleteProperties();
    const QVariantMap replaced = findReplacedProperties();
    if (missing.isEmpty() && obsolete.isEmpty() && replaced.isEmpty()) {
        LOG_DEBUG(lcLayoutEntity) << "Layout already up to date!";
        return false;
    }
    // Later maps win: a replacement names the table its metadata points to.
    for (const QVariantMap* changes : { &missing, &obsolete, &replaced }) {
        for (auto it = changes->constBegin(); it != changes->constEnd(); ++it) {
            m_data.insert(it.key(), it.value());
        }
    }
    return true;
}

// -- Stored parameters and validation ----------------------------------------------------------

void LayoutEntity::filterData()
{
    if (!hasParameterList()) {
        return;
    }
    const ParameterList& list = *m_context.parameterList;
    const QVariantMap parameters = list.getParameterList();
    for (auto it = parameters.constBegin(); it != parameters.constEnd(); ++it) {
        const QString& name = it.key();
        if (name == LayoutKeys::metadata) {
            continue;
        }
        const bool stored = list.getStored(name);
        if (!m_data.contains(name)) {
            if (stored || list.getEditable(name)) {
                LOG_ERROR(lcLayoutEntity) << "layout data is incomplete!" << name;
            }
            continue;
        }
        if (!stored) {
            LOG_DEBUG(lcLayoutEntity) << "Layout contains non-stored parameter:" << name << "=> will be removed.";
            m_data.remove(name);
        }
    }
}

bool LayoutEntity::validate() const
{
    if (!hasParameterList() || !m_context.paperSettings || !m_context.tableSettings) {
        LOG_ERROR(lcLayoutEntity) << "no parameter list to validate against!";
        return false;
    }
    const QVariantMap parameters = m_context.parameterList->getParameterList();
    for (auto it = parameters.constBegin(); it != parameters.constEnd(); ++it) {
        const QString& name = it.key();
        if (name == LayoutKeys::metadata || !m_context.parameterList->getStored(name)) {
            continue;
        }
        const auto value = m_data.constFind(name);
        if (value == m_data.constEnd()) {
            LOG_ERROR(lcLayoutEntity) << name << "property not found!";
            return false;
        }
        if (!valueFits(name, value.value())) {
            LOG_ERROR(lcLayoutEntity) << "Invalid property found" << name << "with value:" << shown(value.value());
            return false;
        }
    }
    LOG_DEBUG(lcLayoutEntity) << "Validation successful!";
    return true;
}

bool LayoutEntity::valueFits(const QString& parameter, const QVariant& value) const
{
    const ParameterList& list = *m_context.parameterList;
    const bool isText = value.userType() == QMetaType::QString;
    switch (list.getValueType(parameter)) {
    case lcm::ValueType::TableRow: {
        const lcm::RowValueList rows = list.getRowValueList(parameter);
        if (!isText) {
            return false;
        }
        if (rows == lcm::RowValueList::PaperSize) {
            // Model papers and user papers alike; the name is looked up, never opened as a path.
            if (!m_context.paperSettings->getPaperEntity(value.toString()).isValid()) {
                LOG_ERROR(lcLayoutEntity) << parameter << "paper entity is invalid!";
                return false;
            }
            return true;
        }
        return positionOf(rows, parameter) >= 0;
    }
    case lcm::ValueType::Listing: {
        // The tables of the layout's cell: a table name resolves only inside its table directory.
        const lcm::RowValueList rows = list.getRowValueList(parameter);
        const int dots = cellDots();
        if (!isText) {
            return false;
        }
        if (rows == lcm::RowValueList::BrailleLanguage) {
            return dots > 0
                && m_context.tableSettings->validateLegacyTable(static_cast<lcm::BrailleType>(dots), value.toString());
        }
        if (rows == lcm::RowValueList::LiblouisTable) {
            return dots > 0
                && m_context.tableSettings->validateLiblouisTable(
                    static_cast<lcm::BrailleType>(dots), value.toString());
        }
        return true;
    }
    case lcm::ValueType::Numeric: {
        double number = 0.0;
        const bool whole = list.getPrecision(parameter) == 0;
        if (!toNumber(value, number) || (whole && !isWholeInt(number))) {
            LOG_ERROR(lcLayoutEntity) << parameter
                                      << (whole ? "conversion of Numeric to integer failed!"
                                                : "conversion of Numeric to float failed!");
            return false;
        }
        return number >= list.getMinValue(parameter) && number <= list.getMaxValue(parameter);
    }
    case lcm::ValueType::String:
        return isText && value.toString().size() <= ValueChecker::maxTextLength;
    default:
        return true;
    }
}

// -- Page geometry -----------------------------------------------------------------------------

QVariantMap LayoutEntity::supplyExtraProperties() const
{
    if (!hasParameterList() || !m_context.paperSettings || !m_context.brlDimension) {
        return {};
    }
    const PaperEntity paper = m_context.paperSettings->getPaperEntity(getText(LayoutKeys::paperSize));
    if (!paper.isValid()) {
        LOG_ERROR(lcLayoutEntity) << getText(LayoutKeys::paperSize) << "paper entity is invalid!";
        return {};
    }
    const float paperWidth = static_cast<float>(paper.getWidth());
    const float paperLength = static_cast<float>(paper.getHeight());
    const bool formatFlag = paper.getFormatOrientation() == static_cast<int>(lcm::Orientation::Landscape);
    const bool loadFlag = paper.getLoadOrientation() == static_cast<int>(lcm::Orientation::Landscape);

    const int lines = qBound(-countBound, getInt(LayoutKeys::linePerPage), countBound);
    const int chars = qBound(-countBound, getInt(LayoutKeys::charactersPerLine), countBound);
    const float rightOffset = static_cast<float>(getFloat(LayoutKeys::rightOffset));
    const float firstLineOffset = static_cast<float>(getFloat(LayoutKeys::firstLineOffset));
    const float bottomOffset = static_cast<float>(getFloat(LayoutKeys::bottomOffset));
    const double adjustment = getFloat(LayoutKeys::adjustmentToLinespacing);
    const int top = positionOf(lcm::RowValueList::TopMargin, LayoutKeys::topMargin);
    const int bind = positionOf(lcm::RowValueList::BindingMargin, LayoutKeys::bindingMargin);
    const int pageNumber = enumeratorOf(lcm::RowValueList::PageNumber, LayoutKeys::pageNumber, "PageNumber");
    const int duplex = enumeratorOf(lcm::RowValueList::Duplexing, LayoutKeys::duplexing, "Duplex");
    const int lineSpacing
        = enumeratorOf(lcm::RowValueList::BrailleLineSpacing, LayoutKeys::brailleLineSpacing, "LineSpacing");
    const int cellType
        = enumeratorOf(lcm::RowValueList::BrailleCellSize, LayoutKeys::brailleCellSize, "BrailleDimension");

    // The page one side of the paper gives: booklets put two pages side by side on the sheet,
    // z-folding turns it by the load orientation, the mini z-folding makes eight panels of it.
    float width = paperWidth;
    float length = paperLength;
    switch (static_cast<lcm::Duplex>(duplex)) {
    case lcm::Duplex::DoubleSidedBooklet:
    case lcm::Duplex::SingleSidedBooklet:
        width = (loadFlag ? paperWidth : paperLength) / 2;
        length = loadFlag ? paperLength : paperWidth;
        width -= rightOffset;
        break;
    case lcm::Duplex::DoubleSidedZFolding:
    case lcm::Duplex::SingleSidedZFolding:
    case lcm::Duplex::DoubleSidedSidewaysZFolding:
    case lcm::Duplex::SingleSidedSidewaysZFolding:
        width = loadFlag ? paperWidth : paperLength;
        length = loadFlag ? paperLength : paperWidth;
        break;
    case lcm::Duplex::DoubleSidedMiniZFolding:
        length = (loadFlag ? paperLength : paperWidth) / 2;
        width = (loadFlag ? paperWidth : paperLength) / 4;
        break;
    default:
        width = formatFlag ? paperLength : paperWidth;
        length = formatFlag ? paperWidth : paperLength;
        break;
    }
    const float usable = length - (firstLineOffset - bottomOffset);

    const ParameterList& list = *m_context.parameterList;
    const QString& adjustmentName = LayoutKeys::adjustmentToLinespacing;
    const float linePitch = static_cast<float>(
        m_context.brlDimension->getLineToLine(list.getPrecision(adjustmentName), duplex, cellDots(), lineSpacing,
            cellType, adjustment, list.getMinValue(adjustmentName), list.getMaxValue(adjustmentName)));
    const float cellPitch = static_cast<float>(m_context.brlDimension->getCellToCell(cellType));
    int totalLines = 0;
    int possibleLines = 0;
    int totalChars = 0;
    if (!(linePitch > 0.0f) || !(cellPitch > 0.0f) || !toCount(usable / linePitch, totalLines)
        || !toCount(length / linePitch, possibleLines) || !toCount(width / cellPitch, totalChars)) {
        LOG_ERROR(lcLayoutEntity) << "no page geometry for" << getText(LayoutKeys::brailleCellSize) << "on"
                                  << paper.getName();
        return {};
    }

    int maxLines = totalLines - top;
    const int spare = totalLines - lines;
    int minTopMargin = 0;
    int maxTopMargin = qMax(spare, 0);
    switch (static_cast<lcm::PageNumber>(pageNumber)) {
    case lcm::PageNumber::TopCenter:
    case lcm::PageNumber::TopLeft:
    case lcm::PageNumber::TopRight:
        minTopMargin = 1;
        maxTopMargin = spare > 0 ? spare : 1;
        break;
    case lcm::PageNumber::BottomCenter:
    case lcm::PageNumber::BottomLeft:
    case lcm::PageNumber::BottomRight:
        maxLines -= 1;
        break;
    case lcm::PageNumber::None:
        break;
    default:
        LOG_INFO(lcLayoutEntity) << "Undefined page number position";
        break;
    }
    const bool booklet = duplex == static_cast<int>(lcm::Duplex::DoubleSidedBooklet)
        || duplex == static_cast<int>(lcm::Duplex::SingleSidedBooklet);
    const int minBindingMargin = booklet ? 1 : 0;
    int maxBindingMargin = qMax(totalChars - chars, 0);
    if (maxBindingMargin < minBindingMargin) {
        maxBindingMargin = 1;
    }

    QVariantMap extra;
    extra.insert(LayoutKeys::maximumPossibleLines, possibleLines);
    extra.insert(LayoutKeys::totalLinesPerPage, totalLines);
    extra.insert(LayoutKeys::minLines, 1);
    extra.insert(LayoutKeys::maxLines, maxLines);
    extra.insert(LayoutKeys::totalCharactersPerLine, totalChars);
    extra.insert(LayoutKeys::minCharacters, 1);
    extra.insert(LayoutKeys::maxCharacters, totalChars - bind);
    extra.insert(LayoutKeys::minTopMargin, minTopMargin);
    extra.insert(LayoutKeys::maxTopMargin, maxTopMargin);
    extra.insert(LayoutKeys::minBindingMargin, minBindingMargin);
    extra.insert(LayoutKeys::maxBindingMargin, maxBindingMargin);
    extra.insert(LayoutKeys::bottomMargin, totalLines - lines - top);
    extra.insert(LayoutKeys::bindingOffset, QString::number(static_cast<float>(bind) * cellPitch, 'g', 6));
    return extra;
}

// -- Repairs after a change ----------------------------------------------------------------------

void LayoutEntity::change(const QString& parameter, const QString& value, const char* what)
{
    if (value.isEmpty() || getText(parameter) == value) {
        return;
    }
    m_data.insert(parameter, value);
    LOG_DEBUG(lcLayoutEntity) << what << "changed to" << value;
}

void LayoutEntity::sanitize(const QString& parameter, const QString& previousValue, const QVariantMap& extra)
{
    if (!hasParameterList() || !m_context.paperSettings) {
        return;
    }
    const QString current = getText(parameter);
    if (previousValue == current) {
        return;
    }
    LOG_DEBUG(lcLayoutEntity) << "Found previous property" << parameter << "with value" << previousValue
                              << "and current value" << current;

    // The repairs form a chain: a new region may bring a new paper, a new paper a new duplexing,
    // a new duplexing new margins. Each step runs for its own list and after the one before.
    enum class Step { Region, Paper, Duplexing, Margins, CellSize, Limits };
    Step step = Step::Limits;
    switch (m_context.parameterList->getRowValueList(parameter)) {
    case lcm::RowValueList::Region:
        step = Step::Region;
        break;
    case lcm::RowValueList::PaperSize:
        step = Step::Paper;
        break;
    case lcm::RowValueList::Duplexing:
        step = Step::Duplexing;
        break;
    case lcm::RowValueList::BrailleLineSpacing:
    case lcm::RowValueList::BrailleCellDots:
        step = Step::Margins;
        break;
    case lcm::RowValueList::BrailleCellSize:
        step = Step::CellSize;
        break;
    default:
        break;
    }
    const QVariantMap before = m_data;
    bool maxCharacters = false; // flag A: the page width changed
    bool maxLines = false; // flag B: the line pitch or the page length changed
    const PaperSettings& papers = *m_context.paperSettings;

    if (step == Step::Region) {
        const lcm::Region region = regionOf(current);
        if (papers.isPaperValid(region, getText(LayoutKeys::paperSize))) {
            step = Step::Limits;
        } else {
            change(LayoutKeys::paperSize, papers.paperRegion().getPaper(region), "Paper size");
            step = Step::Paper;
        }
    }
    if (step == Step::Paper) {
        const bool singleSided = !papers.modelPaper().isDoubleSided();
        change(LayoutKeys::duplexing,
            descriptionOf(lcm::RowValueList::Duplexing,
                static_cast<int>(singleSided ? lcm::Duplex::SingleSided : lcm::Duplex::DoubleSided)),
            "Duplexing");
        step = Step::Duplexing;
    }
    if (step == Step::Duplexing) {
        // A folding line needs a folded sheet: without one, only "None" is a value its list offers.
        const bool folding = isFolding(getText(LayoutKeys::duplexing));
        const lcm::FoldingLine line = folding ? lcm::FoldingLine::Strong : lcm::FoldingLine::None;
        change(LayoutKeys::foldingLine, descriptionOf(lcm::RowValueList::FoldingLine, static_cast<int>(line)),
            "Folding line value");
        if (folding == isFolding(previousValue)) {
            step = Step::Limits;
        } else {
            maxCharacters = true;
            step = Step::Margins;
        }
    }
    if (step == Step::Margins) {
        change(LayoutKeys::topMargin, descriptionOf(lcm::RowValueList::TopMargin, 0), "Top margin value");
        change(LayoutKeys::pageNumber, descriptionOf(lcm::RowValueList::PageNumber, 0), "Page number value");
        if (maxCharacters) {
            step = Step::CellSize;
        } else {
            maxLines = true;
            step = Step::Limits;
        }
    }
    if (step == Step::CellSize) {
        const int margin = isFolding(getText(LayoutKeys::duplexing)) ? 1 : 0;
        change(
            LayoutKeys::bindingMargin, descriptionOf(lcm::RowValueList::BindingMargin, margin), "Binding margin value");
        maxCharacters = true;
        maxLines = true;
    }

    // The limits are those of the page after the repairs: a booklet page is half as wide as the
    // sheet, so the geometry before the change would let lines overflow it.
    QVariantMap limits = extra;
    if (m_data != before) {
        const QVariantMap repaired = supplyExtraProperties();
        if (!repaired.isEmpty()) {
            limits = repaired;
        }
    }
    if (!limits.isEmpty()) {
        applyLimits(maxLines, maxCharacters, limits);
    }
}

void LayoutEntity::applyLimits(bool maxLines, bool maxCharacters, const QVariantMap& extra)
{
    const auto limit = [&extra](const QString& key) { return extra.value(key).toInt(); };
    const auto clampCount
        = [this, &limit](const QString& parameter, const QString& minKey, const QString& maxKey, bool toMaximum,
              const char* what) {
              const int value = getInt(parameter);
              if (toMaximum) {
                  LOG_INFO(lcLayoutEntity) << what << "set to max value";
                  m_data.insert(parameter, limit(maxKey));
              } else if (value > limit(maxKey)) {
                  LOG_INFO(lcLayoutEntity)
                      << QStringLiteral("%1 (%2) > Max value (%3)").arg(what).arg(value).arg(limit(maxKey));
                  m_data.insert(parameter, limit(maxKey));
              } else if (value < limit(minKey)) {
                  LOG_INFO(lcLayoutEntity)
                      << QStringLiteral("%1 (%2) < Min value (%3)").arg(what).arg(value).arg(limit(minKey));
                  m_data.insert(parameter, limit(minKey));
              }
          };
    const auto clampPosition
        = [this, &limit](lcm::RowValueList list, const QString& parameter, const QString& minKey, const QString& maxKey,
              const char* what) {
              const int position = positionOf(list, parameter);
              int target = position;
              if (position > limit(maxKey)) {
                  LOG_INFO(lcLayoutEntity)
                      << QStringLiteral("%1 (%2) > Max value (%3)").arg(what).arg(position).arg(limit(maxKey));
                  target = limit(maxKey);
              } else if (position < limit(minKey)) {
                  LOG_INFO(lcLayoutEntity)
                      << QStringLiteral("%1 (%2) < Min value (%3)").arg(what).arg(position).arg(limit(minKey));
                  target = limit(minKey);
              }
              if (target != position) {
                  change(parameter, descriptionOf(list, target), what);
              }
          };

    clampCount(LayoutKeys::linePerPage, LayoutKeys::minLines, LayoutKeys::maxLines, maxLines, "Number of lines");
    clampPosition(lcm::RowValueList::TopMargin, LayoutKeys::topMargin, LayoutKeys::minTopMargin,
        LayoutKeys::maxTopMargin, "Top margin lines");
    clampCount(LayoutKeys::charactersPerLine, LayoutKeys::minCharacters, LayoutKeys::maxCharacters, maxCharacters,
        "Number of characters");
    clampPosition(lcm::RowValueList::BindingMargin, LayoutKeys::bindingMargin, LayoutKeys::minBindingMargin,
        LayoutKeys::maxBindingMargin, "Binding margin");
    // The offset follows the margin; an equal number stays as it is, whatever its JSON type.
    const QString offset = extra.value(LayoutKeys::bindingOffset).toString();
    if (!offset.isEmpty() && getFloat(LayoutKeys::bindingOffset) != offset.toDouble()) {
        m_data.insert(LayoutKeys::bindingOffset, offset);
    }
}

// -- Valid values of a parameter ----------------------------------------------------------------

QVariantMap LayoutEntity::getValues(
    const QString& parameter, const QString& changedParameter, const QString& previousValue)
{
    if (!hasParameterList()) {
        return {};
    }
    QVariantMap extra = supplyExtraProperties();
    if (extra.isEmpty()) {
        LOG_ERROR(lcLayoutEntity) << "supplying extra properties failed!";
        return {};
    }
    if (!changedParameter.isEmpty()) {
        const QVariantMap before = m_data;
        sanitize(changedParameter, previousValue, extra);
        for (auto it = m_data.constBegin(); it != m_data.constEnd(); ++it) {
            if (before.value(it.key()) != it.value()) {
                LOG_INFO(lcLayoutEntity) << it.key() << "updated value to" << shown(it.value());
            }
        }
        extra = supplyExtraProperties();
        if (extra.isEmpty()) {
            LOG_ERROR(lcLayoutEntity) << "supplying extra properties failed!";
            return {};
        }
    }

    const ParameterList& list = *m_context.parameterList;
    const lcm::ValueType type = list.getValueType(parameter);
    QVariant values;
    switch (type) {
    case lcm::ValueType::Numeric: {
        QVariantMap limits;
        filterNumericValues(parameter, extra, limits);
        values = limits;
        break;
    }
    case lcm::ValueType::TableRow: {
        QVariantMap rows;
        filterRowValues(list.getRowValueList(parameter), extra, rows);
        values = rows;
        break;
    }
    case lcm::ValueType::Listing: {
        QVariantMap tables;
        filterListValues(list.getRowValueList(parameter), extra, tables);
        values = tables;
        break;
    }
    case lcm::ValueType::String:
        values = getText(parameter);
        break;
    default:
        break;
    }
    QVariantMap result;
    result.insert(ls::propertyValuesKey, values);
    result.insert(valueTypeKey, QString::fromLatin1(QMetaEnum::fromType<lcm::ValueType>().valueToKey(int(type))));
    result.insert(ls::layoutDataKey, m_data);
    return result;
}

bool LayoutEntity::filterNumericValues(const QString& parameter, const QVariantMap& extra, QVariantMap& out) const
{
    const ParameterList& list = *m_context.parameterList;
    QVariant minimum = list.getMinValue(parameter);
    QVariant maximum = list.getMaxValue(parameter);
    if (parameter == LayoutKeys::linePerPage) {
        minimum = extra.value(LayoutKeys::minLines);
        maximum = extra.value(LayoutKeys::maxLines);
    } else if (parameter == LayoutKeys::charactersPerLine) {
        minimum = extra.value(LayoutKeys::minCharacters);
        maximum = extra.value(LayoutKeys::maxCharacters);
    }
    out.insert(ls::minValueKey, minimum);
    out.insert(ls::maxValueKey, maximum);
    out.insert(ls::precisionKey, list.getPrecision(parameter));
    return true;
}

bool LayoutEntity::filterRowValues(lcm::RowValueList list, const QVariantMap& extra, QVariantMap& out) const
{
    if (!m_context.valueList || !m_context.commands || !m_context.paperSettings) {
        return false;
    }
    const LayoutCommand& commands = *m_context.commands;
    const QString feedCompatible = QStringLiteral("ModelIsFeedCompatible");
    const QString headCompatible = QStringLiteral("ModelIsHeadCompatible");
    const QVariantList entries = m_context.valueList->getValues(list);
    for (const QVariant& item : entries) {
        const QVariantMap entry = item.toMap();
        const QString command = entry.value(ls::eValidateCommandKey).toString();
        if (!commands.isKnown(command)) {
            LOG_ERROR(lcLayoutEntity) << "Unknown validation command found" << command << "- skip.";
            continue;
        }
        bool valid = commands.holds(command, entry, *this, extra);
        if (list == lcm::RowValueList::Duplexing) {
            valid = valid && commands.holds(feedCompatible, entry, *this, extra)
                && commands.holds(headCompatible, entry, *this, extra);
        }
        const QString description = entry.value(descriptionField).toString();
        const int intValue = entry.value(intValueField).toInt();
        if (valid) {
            LOG_INFO(lcLayoutEntity) << "Valid entry found:" << description << "- intValue:" << intValue;
            out.insert(description, intValue);
        } else {
            LOG_INFO(lcLayoutEntity) << "Invalid entry found:" << description << "- intValue:" << intValue;
        }
    }
    if (list == lcm::RowValueList::PaperSize) {
        const QList<int> numbers = m_context.paperSettings->getUserPaperNumbers();
        for (const int n : numbers) {
            if (UserPaperFile::isValidNumber(n)) {
                out.insert(UserPaperFile::paperName(n), UserPaperFile::paperSizeBase + n);
            }
        }
    }
    if (out.isEmpty()) {
        LOG_ERROR(lcLayoutEntity) << "No valid entries found for" << PropValueList::listName(int(list))
                                  << "RowValueList";
        return false;
    }
    return true;
}

bool LayoutEntity::filterListValues(lcm::RowValueList list, const QVariantMap&, QVariantMap& out) const
{
    const int dots = cellDots();
    if (m_context.tableSettings && dots > 0) {
        const auto type = static_cast<lcm::BrailleType>(dots);
        if (list == lcm::RowValueList::BrailleLanguage) {
            out = m_context.tableSettings->getLegacyTables(type);
        } else if (list == lcm::RowValueList::LiblouisTable) {
            out = m_context.tableSettings->getLiblouisTables(type);
        }
    }
    if (out.isEmpty()) {
        LOG_ERROR(lcLayoutEntity) << "No valid list values found for" << PropValueList::listName(int(list))
                                  << "RowValueList";
        return false;
    }
    return true;
}
