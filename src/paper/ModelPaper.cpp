#include "ModelPaper.h"

#include "DataFileLoader.h"
#include "ModelPredicates.h"
#include "PaperEntity.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"

CM_LOGGING_CATEGORY(lcModelPaper, "ModelPaper")

namespace {
const QString embosserListFile = QStringLiteral("embosserList.json");
const QString embosserTypeField = QStringLiteral("eEmbosserType");
const QString modelMaskField = QStringLiteral("eModelMask");
const QString paperDirectionField = QStringLiteral("paperDirection");
const QString pnpCidField = QStringLiteral("pnpCid");
const QString shortIdField = QStringLiteral("shortID");
} // namespace

ModelPaper::ModelPaper(const QString& model, const ls::IReader& reader, QObject* parent)
    : QObject(parent)
{
    load(model, reader);
}

bool ModelPaper::load(const QString& model, const ls::IReader& reader)
{
    m_model = model;
    m_data.clear();
    QVariantMap models;
    if (!DataFileLoader::load(reader, embosserListFile, models, Q_FUNC_INFO, lcModelPaper(), DataShape::objects())) {
        return false;
    }
    const auto entry = models.constFind(model);
    if (entry == models.constEnd()) {
        LOG_ERROR(lcModelPaper) << DataFileLoader::dataFile(embosserListFile) << "does not contain entry for" << model;
        return false;
    }
    m_data = entry.value().toMap();
    return true;
}

int ModelPaper::getEmbosserType() const
{
    return enumField(embosserTypeField, "EmbosserType", Q_FUNC_INFO);
}

int ModelPaper::getFeedType() const
{
    return enumField(ls::eFeedTypeKey, "FeedType", Q_FUNC_INFO);
}

int ModelPaper::getHeadType() const
{
    return enumField(ls::eHeadTypeKey, "HeadType", Q_FUNC_INFO);
}

int ModelPaper::getModelMask() const
{
    return enumField(modelMaskField, "ModelMask", Q_FUNC_INFO);
}

double ModelPaper::getMinWidth() const
{
    return doubleField(ls::minPaperWidthKey, Q_FUNC_INFO);
}

double ModelPaper::getMaxWidth() const
{
    return doubleField(ls::maxPaperWidthKey, Q_FUNC_INFO);
}

double ModelPaper::getMinHeight() const
{
    return doubleField(ls::minPaperHeightKey, Q_FUNC_INFO);
}

double ModelPaper::getMaxHeight() const
{
    return doubleField(ls::maxPaperHeightKey, Q_FUNC_INFO);
}

int ModelPaper::getPaperDirection() const
{
    bool ok = false;
    const int direction = m_data.value(paperDirectionField).toInt(&ok);
    if (!ok) {
        LOG_ERROR(lcModelPaper) << m_model << paperDirectionField << "conversion to int failed!";
        return -1;
    }
    return direction;
}

QString ModelPaper::getPnpCid() const
{
    return m_data.value(pnpCidField).toString();
}

QString ModelPaper::getShortID() const
{
    return m_data.value(shortIdField).toString();
}

bool ModelPaper::isDoubleSided() const
{
    // A rule of the embosser type alone: the feed type does not take part.
    return ModelPredicates::holds(ModelPredicates::Predicate::DoubleSided, getEmbosserType(), 0);
}

int ModelPaper::enumField(const QString& key, const char* enumeration, const char* caller) const
{
    int value = 0;
    if (!PaperEntity::toEnumValue(enumeration, m_data.value(key), value)) {
        qCCritical(lcModelPaper).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << m_model << key
            << QStringLiteral("conversion to %1 enum value failed!").arg(QLatin1String(enumeration));
        return 0;
    }
    return value;
}

double ModelPaper::doubleField(const QString& key, const char* caller) const
{
    bool ok = false;
    const double value = m_data.value(key).toDouble(&ok);
    if (!ok) {
        qCCritical(lcModelPaper).noquote()
            << libcorvane::logPrefix(caller, "ERROR:") << m_model << key << "conversion to double failed!";
        return -1.0;
    }
    return value;
}
