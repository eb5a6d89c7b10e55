#include "Architecture.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"
#include "property/manager/CatalogsManager.h"

#include <QDir>
#include <QFileInfo>

CM_LOGGING_CATEGORY(lcArchitecture, "Architecture")

namespace {
const QString architectureName = QStringLiteral("Architecture for print processor");
} // namespace

Architecture::Architecture(
    const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(QStringLiteral("arch"), Locations::archFile(), reader, writer, catalogs, lcArchitecture(), parent)
{
    const QFileInfo file(Locations::archFile());
    if (!file.exists() && !QDir().mkpath(file.absolutePath())) {
        LOG_ERROR(lcArchitecture) << "creating" << file.absolutePath() << "failed";
    }
    const int keysRead = load().keys;

    ParametersCatalog* master = m_access.catalog(masterCollectionKey, Q_FUNC_INFO);
    if (!master) {
        return;
    }
    bool save = false;
    // Only a file that gave no keys at all takes the default in: rewriting a file that lacks just
    // this key would drop the keys it does hold.
    EmbosserParameter* architecture = master->getParameter(architectureName, false);
    if (keysRead == 0 && architecture) {
        architecture->inFile = true;
        save = true;
    }
    master->syncFlashParameters(save);
    if (save) {
        saveToFile();
    }
}
