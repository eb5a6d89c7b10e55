#include "PaperEntity.h"

#include "lcm/EnumDetail.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"

#include <limits>

CM_LOGGING_CATEGORY(lcPaperEntity, "PaperEntity")

namespace {
const QString sizeUnitField = QStringLiteral("eSizeUnit");
} // namespace

PaperEntity::PaperEntity(const QString& name)
    : m_name(name)
{
}

bool PaperEntity::load(const QVariantMap& record)
{
    struct DoubleField {
        QString key;
        double PaperEntity::*member;
    };
    struct IntField {
        QString key;
        int PaperEntity::*member;
    };
    struct EnumField {
        QString key;
        const char* enumeration;
        int PaperEntity::*member;
    };
    const DoubleField doubleFields[] = {
        { ls::widthKey, &PaperEntity::m_width },
        { ls::heightKey, &PaperEntity::m_height },
        { QStringLiteral("printingHeadOffset"), &PaperEntity::m_printingHeadOffset },
    };
    const IntField intFields[] = {
        { ls::inchesWidthKey, &PaperEntity::m_inchesWidth },
        { ls::inchesHeightKey, &PaperEntity::m_inchesHeight },
        { QStringLiteral("stepLength"), &PaperEntity::m_stepLength },
        { QStringLiteral("stepLengthFraction"), &PaperEntity::m_stepLengthFraction },
    };
    const EnumField enumFields[] = {
        { QStringLiteral("eFormatOrientation"), "Orientation", &PaperEntity::m_formatOrientation },
        { QStringLiteral("eLoadOrientation"), "Orientation", &PaperEntity::m_loadOrientation },
        { QStringLiteral("eModelMask"), "ModelMask", &PaperEntity::m_modelMask },
        { ls::eFeedTypeKey, "FeedType", &PaperEntity::m_feedType },
    };

    bool valid = true;
    for (const DoubleField& field : doubleFields) {
        bool ok = false;
        const double value = record.value(field.key).toDouble(&ok);
        if (!ok) {
            LOG_ERROR(lcPaperEntity) << m_name << field.key << "conversion to double failed!";
            valid = false;
            continue;
        }
        this->*field.member = value;
    }
    for (const IntField& field : intFields) {
        bool ok = false;
        const int value = record.value(field.key).toInt(&ok);
        if (!ok) {
            LOG_ERROR(lcPaperEntity) << m_name << field.key << "conversion to int failed!";
            valid = false;
            continue;
        }
        this->*field.member = value;
    }
    for (const EnumField& field : enumFields) {
        int value = 0;
        if (!toEnumValue(field.enumeration, record.value(field.key), value)) {
            LOG_ERROR(lcPaperEntity)
                << m_name << field.key
                << QStringLiteral("conversion to %1 enum value failed!").arg(QLatin1String(field.enumeration));
            valid = false;
            continue;
        }
        this->*field.member = value;
    }
    // The unit is only what the user is shown; a record without one is still a usable paper.
    if (record.contains(sizeUnitField)) {
        int unit = -1;
        if (toEnumValue("SizeUnit", record.value(sizeUnitField), unit)) {
            m_sizeUnit = unit;
        } else {
            LOG_ERROR(lcPaperEntity) << m_name << sizeUnitField << "conversion to SizeUnit enum value failed!";
        }
    }
    m_valid = valid;
    return m_valid;
}

QString PaperEntity::getSizeUnitText() const
{
    return enumKey("SizeUnit", m_sizeUnit);
}

bool PaperEntity::toEnumValue(const char* enumeration, const QVariant& value, int& out)
{
    const QMetaEnum metaEnum = lcm::EnumDetail::metaEnum(enumeration);
    if (!metaEnum.isValid() || !value.isValid()) {
        return false;
    }
    if (value.userType() == QMetaType::QString) {
        bool ok = false;
        const int converted = metaEnum.keyToValue(value.toString().toLatin1().constData(), &ok);
        if (!ok) {
            return false;
        }
        out = converted;
        return true;
    }
    // Numbers as the user paper files store them.
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !(number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max())) {
        return false;
    }
    const int converted = static_cast<int>(number);
    if (static_cast<double>(converted) != number || !metaEnum.valueToKey(converted)) {
        return false;
    }
    out = converted;
    return true;
}

QString PaperEntity::enumKey(const char* enumeration, int value)
{
    const QMetaEnum metaEnum = lcm::EnumDetail::metaEnum(enumeration);
    if (!metaEnum.isValid()) {
        return QString();
    }
    return QString::fromLatin1(metaEnum.valueToKey(value));
}
