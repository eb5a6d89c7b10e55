#include "UserPaperFile.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"

#include <QFile>

CM_LOGGING_CATEGORY(lcUserPaperFile, "UserPaperFile")

UserPaperFile::UserPaperFile(int number, QObject* parent)
    : QObject(parent)
    , m_number(number)
    , m_paperSize(paperSizeBase + number)
{
}

const QString& UserPaperFile::namePrefix()
{
    static const QString prefix = QStringLiteral("User_defined_");
    return prefix;
}

QString UserPaperFile::paperName(int number)
{
    return namePrefix() + QString::number(number);
}

QString UserPaperFile::fileStem()
{
    return QStringLiteral("userpaper");
}

QString UserPaperFile::path(int number)
{
    return Locations::join(Locations::stateDir(), fileStem() + QLatin1Char('.') + QString::number(number));
}

bool UserPaperFile::exists() const
{
    return QFile::exists(path(m_number));
}

bool UserPaperFile::read(QVariantMap& data) const
{
    LOG_DEBUG(lcUserPaperFile) << "Read user paper nr." << m_number;
    data.clear();
    if (!m_file.readToMap(path(m_number), data) || data.isEmpty()) {
        LOG_ERROR(lcUserPaperFile) << "no data found in the user paper file.";
        data.clear();
        return false;
    }
    return true;
}

bool UserPaperFile::read(const QString& key, QString& value) const
{
    LOG_DEBUG(lcUserPaperFile) << "Read user paper nr." << m_number << "property" << key;
    return m_file.read(path(m_number), key, value);
}

bool UserPaperFile::write(const QVariantMap& data) const
{
    LOG_DEBUG(lcUserPaperFile) << "Write user paper nr." << m_number;
    if (data.isEmpty()) {
        LOG_ERROR(lcUserPaperFile) << "missing user paper data.";
        return false;
    }
    return m_file.writeFromMap(QString(), path(m_number), data);
}

bool UserPaperFile::remove() const
{
    const QString file = path(m_number);
    if (!QFile::remove(file)) {
        LOG_FAILED(lcUserPaperFile) << "removing" << file << "failed!";
        return false;
    }
    return true;
}

PaperEntity UserPaperFile::toEntity() const
{
    PaperEntity entity(paperName(m_number));
    entity.setUserPaper(true);
    QVariantMap data;
    if (!read(data)) {
        return entity;
    }

    QVariantMap record;
    record.insert(ls::widthKey, data.value(paperWidthKey));
    record.insert(ls::heightKey, data.value(paperLengthKey));
    record.insert(ls::inchesWidthKey, data.value(inchesWidthKey));
    record.insert(ls::inchesHeightKey, data.value(inchesLengthKey));
    record.insert(QStringLiteral("stepLength"), data.value(stepLengthKey));
    record.insert(QStringLiteral("stepLengthFraction"), data.value(stepLengthFractionKey));
    record.insert(QStringLiteral("printingHeadOffset"), data.value(printingHeadOffsetKey));
    // The file stores orientations as numbers, the paper record by their key names.
    int orientation = 0;
    if (PaperEntity::toEnumValue("Orientation", data.value(formatOrientationKey), orientation)) {
        record.insert(QStringLiteral("eFormatOrientation"), PaperEntity::enumKey("Orientation", orientation));
    } else {
        LOG_ERROR(lcUserPaperFile) << "format orientation conversion to enum value failed!";
    }
    if (PaperEntity::toEnumValue("Orientation", data.value(loadOrientationKey), orientation)) {
        record.insert(QStringLiteral("eLoadOrientation"), PaperEntity::enumKey("Orientation", orientation));
    } else {
        LOG_ERROR(lcUserPaperFile) << "load orientation conversion to enum value failed!";
    }
    record.insert(QStringLiteral("eModelMask"), data.value(modelsKey));
    record.insert(ls::eFeedTypeKey, data.value(feedTypeKey));
    int unit = 0;
    if (PaperEntity::toEnumValue("SizeUnit", data.value(paperSizeUnitKey), unit)) {
        record.insert(QStringLiteral("eSizeUnit"), PaperEntity::enumKey("SizeUnit", unit));
    }
    entity.load(record);
    return entity;
}
