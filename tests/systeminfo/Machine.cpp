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

#include "SimCalls.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

const QString MachineFiles::flashFile = QStringLiteral("/var/lib/sim/eeprom");

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

Machine::~Machine() = default;

void Machine::useModel(const QString& model)
{
    store(QStringLiteral("embosserConf"), QStringLiteral("Model"), model);
    pageCounter->setModel(model);
}

void Machine::store(const QString& catalog, const QString& name, const QVariant& value)
{
    catalogs.getCatalog(catalog, masterCollectionKey)->getParameter(name, false)->value = value;
}

QVariantMap MachineFiles::readJson(const QString& machinePath) const
{
    QVariantMap content;
    ls::JFile().readToMap(path(machinePath), content);
    return content;
}

bool MachineFiles::editJson(const QString& machinePath, const std::function<void(QVariantMap&)>& edit) const
{
    QVariantMap content = readJson(machinePath);
    edit(content);
    return ls::JFile().writeFromMap(QString(), path(machinePath), content);
}

bool MachineFiles::setFlashField(const QString& field, const QString& value) const
{
    QString flash = QString::fromUtf8(m_root.readFile(flashFile));
    flash.remove(QRegularExpression("^" + field + "=.*\n", QRegularExpression::MultilineOption));
    return m_root.writeFile(flashFile, (value.isNull() ? flash : flash + field + '=' + value + '\n').toUtf8());
}

QStringList MachineFiles::topicFiles() const
{
    QStringList files { path(QStringLiteral("/var/lib/slave/arch")),
        path(QStringLiteral("/var/lib/embosser/embosserConf")) };
    for (const char* name : { "embosserhead", "hammerDelta", "counters", "parameters", "serialCom", "speech" }) {
        files.append(path(QStringLiteral("/var/lib/embosser/") + QLatin1String(name)));
    }
    return files;
}

bool MachineFiles::restoreShippedMachine(const QByteArray& flash) const
{
    const QString shipped = TestRoot::sourceDir() + QStringLiteral("/data");
    QDir(path(QStringLiteral("/media/sda1"))).removeRecursively();
    for (const QString& folder : { QStringLiteral("/var/lib/embosser"), QStringLiteral("/var/lib/slave") }) {
        QDir(path(folder)).removeRecursively();
        if (QProcess::execute(QStringLiteral("cp"), { QStringLiteral("-rT"), shipped + folder, path(folder) }) != 0) {
            return false;
        }
    }
    SimCalls(m_root.path()).clear();
    return m_root.writeFile(flashFile, flash);
}
