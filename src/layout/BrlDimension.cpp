#include "BrlDimension.h"

#include "DataFileLoader.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"
#include "property/PropValueList.h"

#include <QtMath>

namespace {
CM_LOGGING_CATEGORY(lcBrlDimension, "BrlDimension")

const QString indexKey = QStringLiteral("index");

// A number from the file; texts and flags are not distances.
bool toDistance(const QVariant& value, double& out)
{
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        out = value.toDouble();
        return true;
    default:
        return false;
    }
}

// The duplex modes that emboss one side only have their own line pitches.
bool isSingleSided(int duplexMode)
{
    switch (static_cast<lcm::Duplex>(duplexMode)) {
    case lcm::Duplex::SingleSided:
    case lcm::Duplex::ManualDoubleSided:
    case lcm::Duplex::SingleSidedZFolding:
    case lcm::Duplex::SingleSidedBooklet:
    case lcm::Duplex::SingleSidedSidewaysZFolding:
    case lcm::Duplex::SingleSidedContinuous:
        return true;
    default:
        return false;
    }
}
} // namespace

BrlDimension::BrlDimension(const ls::IReader& reader, const PropValueList& valueList, QObject* parent)
    : QObject(parent)
    , m_valueList(valueList)
{
    load(reader);
}

bool BrlDimension::load(const ls::IReader& reader)
{
    return DataFileLoader::load(reader, QStringLiteral("brailleDimension.json"), m_dimensions, Q_FUNC_INFO,
        lcBrlDimension(), DataShape::objects());
}

QVariant BrlDimension::getValue(const QString& size, const QString& key) const
{
    return m_dimensions.value(size).toMap().value(key);
}

double BrlDimension::getDouble(const QString& size, const QString& key) const
{
    double value = 0.0;
    if (!toDistance(getValue(size, key), value)) {
        LOG_FAILED(lcBrlDimension) << "for" << key;
        return -1.0;
    }
    return value;
}

double BrlDimension::getDouble(int type, const QString& key) const
{
    for (auto it = m_dimensions.constBegin(); it != m_dimensions.constEnd(); ++it) {
        const QVariantMap record = it.value().toMap();
        bool ok = false;
        const int index = record.value(indexKey).toInt(&ok);
        if (ok && index == type) {
            return getDouble(it.key(), key);
        }
    }
    LOG_FAILED(lcBrlDimension) << "for" << key;
    return -1.0;
}

double BrlDimension::getCellToCell(int type) const
{
    return getDouble(type, QStringLiteral("cellToCell"));
}

double BrlDimension::getCellToCell(const QString& size) const
{
    return getDouble(size, QStringLiteral("cellToCell"));
}

double BrlDimension::getHorizontalDotToDot(const QString& size) const
{
    return getDouble(size, QStringLiteral("horizontalDotToDot"));
}

double BrlDimension::getVerticalDotToDot(const QString& size) const
{
    return getDouble(size, QStringLiteral("verticalDotToDot"));
}

double BrlDimension::getInterlineBackRowOffset(const QString& dots, const QString& size) const
{
    return getDouble(size,
        dots == ls::eightDotKey ? QStringLiteral("interLineBackRowOffset4Dot")
                                : QStringLiteral("interLineBackRowOffset3Dot"));
}

bool BrlDimension::getIsInterline(const QString& size) const
{
    const QVariant value = getValue(size, QStringLiteral("interLine"));
    if (value.userType() != QMetaType::Bool) {
        LOG_FAILED(lcBrlDimension) << "for interLine";
        return false;
    }
    return value.toBool();
}

double BrlDimension::getLineToLine(int precision, int duplexMode, int cellDots, int lineSpacing, int type,
    double adjustment, double minimum, double maximum) const
{
    // minimum and maximum are in units of the last decimal of the adjustment.
    const double scale = precision < 1 ? 1.0 : qPow(10.0, precision);
    double applied = 0.0;
    if (type == static_cast<int>(lcm::BrailleDimensionType::Text)) {
        applied = qBound(minimum / scale, adjustment, maximum / scale);
    }

    QString key = QStringLiteral("lineToLine");
    if (cellDots == static_cast<int>(lcm::BrailleType::EightDot)) {
        key += QLatin1String("4Dot");
    }
    if (lineSpacing != static_cast<int>(lcm::LineSpacing::_5mm)) {
        key += QLatin1String("DoubleSpacing");
    }
    if (isSingleSided(duplexMode)) {
        key += QLatin1String("SS");
    }

    const double pitch = getDouble(type, key);
    if (pitch < 0.0) {
        return -1.0;
    }
    return pitch + applied;
}

double BrlDimension::getLineToLine(double adjustment, int precision, double minimum, double maximum,
    const QString& cellSize, const QString& duplexing, const QString& cellDots, const QString& lineSpacing) const
{
    const int type = enumeratorOf(lcm::RowValueList::BrailleCellSize, cellSize, "BrailleDimension");
    const int duplexMode = enumeratorOf(lcm::RowValueList::Duplexing, duplexing, "Duplex");
    const int dots = enumeratorOf(lcm::RowValueList::BrailleCellDots, cellDots, "BrailleType");
    const int spacing = enumeratorOf(lcm::RowValueList::BrailleLineSpacing, lineSpacing, "LineSpacing");
    return getLineToLine(precision, duplexMode, dots, spacing, type, adjustment, minimum, maximum);
}

int BrlDimension::enumeratorOf(lcm::RowValueList list, const QString& text, const char* enumeration) const
{
    const QVariantList entries = m_valueList.getValues(list);
    for (int position = 0; position < entries.size(); ++position) {
        if (entries.at(position).toMap().value(QStringLiteral("description")).toString() == text) {
            return lcm::EnumDetail::valueAt(enumeration, position);
        }
    }
    LOG_ERROR(lcBrlDimension) << text << "not found in value list" << PropValueList::listName(static_cast<int>(list));
    return -1;
}
