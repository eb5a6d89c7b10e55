#include "ManualDocument.h"

#include "DataFileLoader.h"
#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"
#include "ls/Keys.h"
#include "paper/ModelPaper.h"

CM_LOGGING_CATEGORY(lcManualDocument, "ManualDocument")

ManualDocument::ManualDocument(const ModelPaper& modelPaper, const QString& model, QObject* parent)
    : Document(QStringLiteral("manuals.json"), parent)
    , m_modelPaper(modelPaper)
    , m_model(model)
{
}

bool ManualDocument::load(const ls::IReader& reader)
{
    const QString path = DataFileLoader::dataFile(fileName());
    m_content.clear();
    if (!reader.readToMap(path, m_content)) {
        LOG_ERROR(lcManualDocument) << "reading" << path << "failed.";
        m_content.clear();
        return false;
    }
    return true;
}

const QVariantMap ManualDocument::get() const
{
    if (m_content.isEmpty()) {
        LOG_ERROR(lcManualDocument) << "Manuals data is empty";
        return QVariantMap();
    }
    const QString manufacturer
        = m_modelPaper.getData().value(ls::manufacturerKey).toString().replace(QLatin1Char(' '), QLatin1Char('_'));
    const QVariant boards = m_content.value(manufacturer);
    if (boards.userType() != QMetaType::QVariantMap) {
        LOG_ERROR(lcManualDocument) << "Manufacturer" << manufacturer << "is invalid";
        return QVariantMap();
    }
    const QVariant models = boards.toMap().value(QLatin1String(boardModel));
    if (models.userType() != QMetaType::QVariantMap) {
        LOG_ERROR(lcManualDocument) << "Board model" << boardModel << "is invalid";
        return QVariantMap();
    }
    const QVariant manuals = models.toMap().value(m_model);
    if (!manuals.isValid()) {
        LOG_ERROR(lcManualDocument) << "Embosser model" << m_model << "is invalid";
        return QVariantMap();
    }
    return { { ls::manualsKey, manuals },
        { ls::manualsRootPathKey, QStringLiteral("%1/%2/").arg(Locations::manualsDir(), manufacturer) } };
}
