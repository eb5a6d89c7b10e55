#include "PaperSettings.h"

#include "Locations.h"
#include "ModelPaper.h"
#include "ModelPredicates.h"
#include "NumberedFiles.h"
#include "PaperList.h"
#include "PaperRegion.h"
#include "UserPaperFile.h"
#include "Utils.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"

CM_LOGGING_CATEGORY(lcPaperSettings, "PaperSettings")

namespace {
constexpr int anyFeedType = 1;
} // namespace

PaperSettings::PaperSettings(
    const ModelPaper& modelPaper, const PaperList& paperList, const PaperRegion& paperRegion, QObject* parent)
    : QObject(parent)
    , m_modelPaper(modelPaper)
    , m_paperList(paperList)
    , m_paperRegion(paperRegion)
{
}

QList<int> PaperSettings::getUserPaperNumbers() const
{
    return NumberedFiles(Locations::stateDir(), UserPaperFile::fileStem()).numbers();
}

int PaperSettings::getUserPaperCount() const
{
    return getUserPaperNumbers().size();
}

int PaperSettings::findFreeUserPaperNumber() const
{
    return NumberedFiles(Locations::stateDir(), UserPaperFile::fileStem())
        .firstFree(UserPaperFile::firstNumber, UserPaperFile::lastNumber);
}

QVariantMap PaperSettings::readUserPaper(int n) const
{
    LOG_DEBUG(lcPaperSettings) << "Reading user paper" << n;
    if (!UserPaperFile::isValidNumber(n)) {
        LOG_ERROR(lcPaperSettings) << "invalid paper number!";
        return QVariantMap();
    }
    const UserPaperFile file(n);
    QVariantMap data;
    if (!file.read(data)) {
        return QVariantMap();
    }
    QVariantMap paper;
    paper.insert(ls::descriptionKey, UserPaperFile::paperName(n));
    paper.insert(ls::paperNrKey, n);
    paper.insert(ls::sizeUnitKey,
        data.value(UserPaperFile::paperSizeUnitKey).toInt() == static_cast<int>(lcm::SizeUnit::Milimeters)
            ? ls::milimetersKey
            : ls::inchesKey);
    paper.insert(ls::widthKey, data.value(UserPaperFile::paperWidthKey));
    paper.insert(ls::heightKey, data.value(UserPaperFile::paperLengthKey));
    paper.insert(ls::formatOrientationKey, data.value(UserPaperFile::formatOrientationKey));
    paper.insert(ls::inchesWidthKey, data.value(UserPaperFile::inchesWidthKey));
    paper.insert(ls::inchesHeightKey, data.value(UserPaperFile::inchesLengthKey));
    return paper;
}

QVariantMap PaperSettings::readAllUserPapers() const
{
    LOG_INFO(lcPaperSettings) << "Read all user papers";
    QVariantMap papers;
    const QList<int> numbers = getUserPaperNumbers();
    for (const int n : numbers) {
        // A listed number can lack its file ("userpaper.7.bak" alone) or lie outside 1..99.
        const QVariantMap paper = readUserPaper(n);
        if (!paper.isEmpty()) {
            papers.insert(QString::number(n), paper);
        }
    }
    return papers;
}

bool PaperSettings::writeUserPaper(const QVariantMap& data, int& n) const
{
    const int k = findFreeUserPaperNumber();
    if (k < 0) {
        LOG_ERROR(lcPaperSettings) << "no free user paper number found.";
        return false;
    }

    int sizeUnit = 0;
    if (!PaperEntity::toEnumValue("SizeUnit", data.value(ls::sizeUnitKey), sizeUnit)) {
        LOG_ERROR(lcPaperSettings) << "conversion to SizeUnit enum value failed!";
        return false;
    }
    bool widthOk = false;
    bool lengthOk = false;
    const double width = data.value(ls::widthKey).toDouble(&widthOk);
    const double length = data.value(ls::heightKey).toDouble(&lengthOk);
    if (!widthOk || !lengthOk) {
        LOG_ERROR(lcPaperSettings) << "paper size conversion to double failed!";
        return false;
    }
    // Written so that a NaN is outside too.
    const bool inside = m_modelPaper.getMinWidth() <= width && width <= m_modelPaper.getMaxWidth()
        && m_modelPaper.getMinHeight() <= length && length <= m_modelPaper.getMaxHeight();
    if (!inside) {
        LOG_ERROR(lcPaperSettings) << "received paper size" << width << length
                                   << "is outside the embosser paper bounds.";
        return false;
    }
    // A client that does not say how the page lies gets portrait.
    int formatOrientation = static_cast<int>(lcm::Orientation::Portrait);
    if (data.contains(ls::formatOrientationKey)
        && !PaperEntity::toEnumValue("Orientation", data.value(ls::formatOrientationKey), formatOrientation)) {
        LOG_ERROR(lcPaperSettings) << "conversion to Orientation enum value failed!";
        return false;
    }

    const int inchesWidth = Utils::mmToInchCode(width);
    const int inchesLength = Utils::mmToInchCode(length);
    QVariantMap record;
    record.insert(ls::paperSizeKey, UserPaperFile::paperSizeBase + k);
    record.insert(UserPaperFile::paperSizeUnitKey, sizeUnit);
    record.insert(UserPaperFile::paperWidthKey, width);
    record.insert(UserPaperFile::paperLengthKey, length);
    record.insert(UserPaperFile::paperDescriptionKey, UserPaperFile::paperName(k));
    record.insert(UserPaperFile::validToUseKey, 1);
    record.insert(UserPaperFile::inchesWidthKey, inchesWidth);
    record.insert(UserPaperFile::inchesLengthKey, inchesLength);
    record.insert(UserPaperFile::stepLengthKey, Utils::convertInchSteps(inchesLength));
    record.insert(UserPaperFile::stepLengthFractionKey, 0);
    record.insert(UserPaperFile::printingHeadOffsetKey, 0.0);
    record.insert(UserPaperFile::formatOrientationKey, formatOrientation);
    record.insert(UserPaperFile::loadOrientationKey, 0);
    record.insert(UserPaperFile::modelsKey, static_cast<int>(lcm::ModelMask::All));
    record.insert(UserPaperFile::feedTypeKey, 0);

    if (!UserPaperFile(k).write(record)) {
        LOG_FAILED(lcPaperSettings) << "writing user paper" << k << "failed!";
        return false;
    }
    n = k;
    return true;
}

bool PaperSettings::deleteUserPaper(int n) const
{
    LOG_DEBUG(lcPaperSettings) << "Deleting user paper" << n;
    if (!UserPaperFile::isValidNumber(n)) {
        LOG_ERROR(lcPaperSettings) << "invalid user paper nr. received.";
        return false;
    }
    const UserPaperFile file(n);
    if (!file.exists()) {
        LOG_ERROR(lcPaperSettings) << "user paper does not exist.";
        return false;
    }
    return file.remove();
}

QVariantMap PaperSettings::getUserPaperValues() const
{
    LOG_INFO(lcPaperSettings) << "Retriving paper values.";
    const int k = findFreeUserPaperNumber();
    if (k < 0) {
        LOG_ERROR(lcPaperSettings) << "no free user paper number found!";
        return QVariantMap();
    }
    const bool imperial = ModelPredicates::holds(
        ModelPredicates::Predicate::UserPaperImperial, m_modelPaper.getEmbosserType(), m_modelPaper.getFeedType());
    QVariantMap values;
    values.insert(ls::descriptionKey, UserPaperFile::paperName(k));
    values.insert(ls::paperNrKey, k);
    values.insert(ls::sizeUnitKey, imperial ? ls::inchesKey : ls::milimetersKey);
    values.insert(ls::minPaperWidthKey, m_modelPaper.getMinWidth());
    values.insert(ls::maxPaperWidthKey, m_modelPaper.getMaxWidth());
    values.insert(ls::minPaperHeightKey, m_modelPaper.getMinHeight());
    values.insert(ls::maxPaperHeightKey, m_modelPaper.getMaxHeight());
    return values;
}

PaperEntity PaperSettings::getPaperEntity(const QString& name) const
{
    if (m_paperList.contains(name)) {
        return m_paperList.toEntity(name);
    }
    LOG_DEBUG(lcPaperSettings) << "paper size" << name << "not found => check for user paper.";
    if (!name.startsWith(UserPaperFile::namePrefix())) {
        LOG_ERROR(lcPaperSettings) << name << "is not a user paper";
        return PaperEntity(name);
    }
    const QList<int> numbers = getUserPaperNumbers();
    for (const int n : numbers) {
        if (UserPaperFile::paperName(n) == name) {
            return UserPaperFile(n).toEntity();
        }
    }
    LOG_ERROR(lcPaperSettings) << "no user paper found";
    return PaperEntity(name);
}

bool PaperSettings::isPaperValid(lcm::Region region, const QString& name) const
{
    const PaperEntity paper = getPaperEntity(name);
    if (!paper.isValid()) {
        LOG_ERROR(lcPaperSettings) << "Invalid paper entity for" << name;
        return false;
    }
    if (paper.isUserPaper()) {
        LOG_DEBUG(lcPaperSettings) << "User paper" << name << "is valid!";
        return true;
    }
    // Undefined and World take every paper of the list.
    if (region != lcm::Region::Undefined && region != lcm::Region::World && !m_paperRegion.isValid(region, name)) {
        LOG_DEBUG(lcPaperSettings) << "Invalid paper region for" << name;
        return false;
    }
    if (paper.getFeedType() != anyFeedType && paper.getFeedType() != m_modelPaper.getFeedType()) {
        LOG_DEBUG(lcPaperSettings) << name << "is not valid.";
        return false;
    }
    if ((paper.getModelMask() & m_modelPaper.getModelMask()) != 0) {
        LOG_DEBUG(lcPaperSettings) << name << "is valid.";
        return true;
    }
    LOG_DEBUG(lcPaperSettings) << name << "is not valid.";
    return false;
}
