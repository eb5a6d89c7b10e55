#include "ServiceDocument.h"

#include "layout/LayoutKeys.h"
#include "layout/LayoutSettings.h"
#include "lcm/EnumDetail.h"
#include "libcorvane/LogPrefix.h"
#include "paper/ModelPaper.h"
#include "property/PropValueList.h"

#include <QMetaEnum>

CM_LOGGING_CATEGORY(lcServiceDocument, "ServiceDocument")

namespace {
const QString validateCommandKey = QStringLiteral("validateCommand");
const QString validModelsKey = QStringLiteral("validModels");
const QString alwaysValid = QStringLiteral("AlwaysValid");
const QString modelHasFoldingLine = QStringLiteral("ModelHasFoldingLine");
} // namespace

ServiceDocument::ServiceDocument(
    const ModelPaper& modelPaper, const LayoutSettings& layouts, const PropValueList& valueLists, QObject* parent)
    : Document(QStringLiteral("serviceDocuments.json"), parent)
    , m_modelPaper(modelPaper)
    , m_layouts(layouts)
    , m_valueLists(valueLists)
{
}

bool ServiceDocument::load(const ls::IReader& reader)
{
    return loadList(reader, Q_FUNC_INFO, lcServiceDocument());
}

bool ServiceDocument::activeLayoutFolds() const
{
    const int feedType = m_modelPaper.getFeedType();
    if (feedType != 3 && feedType != 4) {
        return false;
    }
    const QString duplexing
        = m_layouts.readLayout(m_layouts.getActiveLayout(), false).value(LayoutKeys::duplexing).toString();
    int value = -1;
    const QVariantList entries = m_valueLists.values(LayoutKeys::duplexing);
    for (const QVariant& entry : entries) {
        const QVariantMap row = entry.toMap();
        if (row.value(QStringLiteral("description")).toString() == duplexing) {
            value = row.value(QStringLiteral("intValue")).toInt();
            break;
        }
    }
    return value == 4 || value == 8;
}

const QVariantMap ServiceDocument::get() const
{
    const QMetaEnum types = QMetaEnum::fromType<lcm::EmbosserType>();
    const QString embosserType = QString::fromLatin1(types.valueToKey(m_modelPaper.getEmbosserType()));
    // The layout is read once per answer, and only when an entry asks for it.
    int folds = -1;
    return filteredList([&](const QVariantMap& entry) {
        const QString command = entry.value(validateCommandKey).toString();
        if (command == alwaysValid) {
            return true;
        }
        if (command == modelHasFoldingLine) {
            if (folds < 0) {
                folds = activeLayoutFolds() ? 1 : 0;
            }
            return folds == 1;
        }
        return !embosserType.isEmpty() && entry.value(validModelsKey).toStringList().contains(embosserType);
    });
}
