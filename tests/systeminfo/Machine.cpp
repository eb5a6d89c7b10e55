#include "Machine.h"

#include "property/manager/DefaultParameters.h"
#include "systeminfo/Architecture.h"
#include "systeminfo/EmbosserConf.h"
#include "systeminfo/Embosserhead.h"
#include "systeminfo/Firmware.h"
#include "systeminfo/HammerDelta.h"
#include "systeminfo/PageCounter.h"
#include "systeminfo/Parameters.h"
#include "systeminfo/SerialCom.h"
#include "systeminfo/SlaveConf.h"
#include "systeminfo/Speech.h"
#include "systeminfo/SystemSettings.h"
#include "systeminfo/UserSettings.h"

bool RecordingFile::writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const
{
    wholeFiles.append(file);
    return !failing && ls::JFile::writeFromMap(directory, file, data);
}

bool RecordingFile::write(const QString& file, const QString& key, const QVariant& value) const
{
    keys.append(file);
    return !failing && ls::JFile::write(file, key, value);
}

Machine::Machine()
{
    catalogs.checker().setValueLists(&valueLists);
    new DefaultParameters(file, file, catalogs, &owner);
    embosserConf = new EmbosserConf(file, file, catalogs, &owner);
    architecture = new Architecture(file, file, catalogs, &owner);
    embosserhead = new Embosserhead(file, file, catalogs, &owner);
    hammerDelta = new HammerDelta(file, file, catalogs, &owner);
    pageCounter = new PageCounter(file, file, catalogs, &owner);
    parameters = new Parameters(file, file, catalogs, &owner);
    auto* serialCom = new SerialCom(file, file, catalogs, &owner);
    auto* speech = new Speech(file, file, catalogs, &owner);
    userSettings = new UserSettings(file, file, property, catalogs, &owner);
    settings = new SystemSettings(architecture, embosserConf, embosserhead, new Firmware(&owner), hammerDelta,
        pageCounter, parameters, serialCom, new SlaveConf(oldFiles, &owner), speech, userSettings, catalogs, oldFiles,
        file, &owner);
    pageCounter->setModel(embosserConf->getModel(masterCollectionKey));
    file.wholeFiles.clear();
    file.keys.clear();
}

void Machine::useModel(const QString& model)
{
    store(QStringLiteral("embosserConf"), QStringLiteral("Model"), model);
    pageCounter->setModel(model);
}

void Machine::store(const QString& catalog, const QString& name, const QVariant& value)
{
    catalogs.getCatalog(catalog, masterCollectionKey)->getParameter(name, false)->value = value;
}
