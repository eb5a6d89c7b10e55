#include "Architecture.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "property/manager/CatalogsManager.h"

#include <QDir>
#include <QFileInfo>

CM_LOGGING_CATEGORY(lcArchitecture, "Architecture")

namespace {
const QString catalogName = QStringLiteral("arch");
const QString architectureKey = QStringLiteral("Architecture for print processor");
} // namespace

Architecture::Architecture(
    const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(catalogName, Locations::archFile(), reader, writer, catalogs, lcArchitecture(), parent)
{
    const QFileInfo file(Locations::archFile());
    if (!file.exists() && !QDir().mkpath(file.absolutePath())) {
        LOG_ERROR(lcArchitecture) << "creating" << file.absolutePath() << "failed";
    }
    load();

    ParametersCatalog* master = m_access.catalog(masterCollectionKey, Q_FUNC_INFO);
    if (!master) {
        return;
    }
    bool save = false;
    EmbosserParameter* architecture = master->getParameter(architectureKey, false);
    if (architecture && !architecture->inFile) {
        // The file gave no value: the default becomes part of the file.
        architecture->inFile = true;
        save = true;
    }
    master->syncFlashParameters(save);
    if (save) {
        saveToFile();
    }
}

QString Architecture::getArchitecture(const QString& collection) const
{
    return m_access.getString(architectureKey, collection, Q_FUNC_INFO);
}

void Architecture::setArchitecture(const QString& value, const QString& collection, bool save)
{
    m_access.setValue(architectureKey, value, collection, save, Q_FUNC_INFO);
}
