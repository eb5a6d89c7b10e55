#include "SystemSettings.h"

#include "Architecture.h"
#include "EmbosserConf.h"
#include "Embosserhead.h"
#include "Firmware.h"
#include "HammerDelta.h"
#include "Locations.h"
#include "PageCounter.h"
#include "Parameters.h"
#include "SerialCom.h"
#include "SlaveConf.h"
#include "Speech.h"
#include "System.h"
#include "UserSettings.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"
#include "property/manager/CatalogsManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>

CM_LOGGING_CATEGORY(lcSystemSettings, "SystemSettings")

namespace {
struct LegacyFile {
    const QString& (*path)();
    const char* catalog;
};

// The key=value files of the previous firmware and the catalog each one mainly fed.
const LegacyFile legacyFiles[] = {
    { &Locations::legacyArchFile, "arch" },
    { &Locations::legacyCountersFile, "counters" },
    { &Locations::legacyEmbosserConfFile, "embosserConf" },
    { &Locations::legacyEmbosserheadFile, "embosserhead" },
    { &Locations::legacyNetworkFile, "network" },
    { &Locations::legacyParametersFile, "parameters" },
    { &Locations::legacyHammerDeltaFile, "hammerDelta" },
};

const QString typeField = QStringLiteral("type");

// Some legacy files share their path with today's JSON settings file of the same catalog; a file
// already in that form is not a legacy file and must stay where it is.
bool isJsonObjectFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.peek(256).trimmed().startsWith('{');
}

QString unquoted(const QString& text)
{
    if (text.size() >= 2 && (text.front() == QLatin1Char('"') || text.front() == QLatin1Char('\''))
        && text.back() == text.front()) {
        return text.mid(1, text.size() - 2);
    }
    return text;
}

} // namespace

SystemSettings::SystemSettings(Architecture* architecture, EmbosserConf* embosserConf, Embosserhead* embosserhead,
    Firmware* firmware, HammerDelta* hammerDelta, PageCounter* pageCounter, Parameters* parameters,
    SerialCom* serialCom, SlaveConf* slaveConf, Speech* speech, UserSettings* userSettings, CatalogsManager& catalogs,
    const ls::IReader& oldFileReader, const ls::IWriter& writer, QObject* parent)
    : QObject(parent)
    , m_architecture(architecture)
    , m_embosserConf(embosserConf)
    , m_embosserhead(embosserhead)
    , m_firmware(firmware)
    , m_hammerDelta(hammerDelta)
    , m_pageCounter(pageCounter)
    , m_parameters(parameters)
    , m_serialCom(serialCom)
    , m_slaveConf(slaveConf)
    , m_speech(speech)
    , m_userSettings(userSettings)
    , m_catalogs(catalogs)
    , m_oldFileReader(oldFileReader)
    , m_writer(writer)
{
    connect(m_userSettings, &UserSettings::requestSaveParameters, this, &SystemSettings::saveAllParameterFiles);
}

void SystemSettings::saveAllParameterFiles()
{
    m_architecture->saveToFile();
    m_embosserConf->saveToFile();
    m_embosserhead->saveToFile();
    m_hammerDelta->saveToFile();
    m_pageCounter->saveToFile();
    m_parameters->saveToFile();
    m_serialCom->saveToFile();
    m_speech->saveToFile();
    emit saveLayoutParametersToFile();
}

void SystemSettings::reloadAllParameterFiles()
{
    m_architecture->load();
    m_embosserConf->load();
    m_embosserhead->load();
    m_hammerDelta->load();
    m_pageCounter->load();
    m_parameters->load();
    m_serialCom->load();
    m_speech->load();
}

void SystemSettings::convertParameterFiles()
{
    bool converted = false;
    for (const LegacyFile& legacy : legacyFiles) {
        const QString& path = legacy.path();
        if (!QFileInfo::exists(path) || isJsonObjectFile(path)) {
            continue;
        }
        QVariantMap old;
        if (!m_oldFileReader.readToMap(path, old) || old.isEmpty()) {
            continue;
        }
        const QString catalog = QString::fromLatin1(legacy.catalog);
        for (auto it = old.constBegin(); it != old.constEnd(); ++it) {
            convertValue(it.key(), it.value().toString(), catalog);
        }
        converted = true;

        const QStringList segments = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (segments.isEmpty()) {
            LOG_ERROR(lcSystemSettings) << "Failed to retrieve filename for the move process.";
            continue;
        }
        archiveFile(path, segments.last());
    }
    if (converted) {
        saveAllParameterFiles();
    }
}

bool SystemSettings::convertValue(const QString& key, const QString& text, const QString& catalog)
{
    // The key belongs to the file's own catalog or, failing that, to the first other catalog (by
    // name) that defines it.
    EmbosserParameter* parameter = nullptr;
    if (ParametersCatalog* target = m_catalogs.getCatalog(catalog, masterCollectionKey)) {
        parameter = target->getParameter(key, false);
    }
    if (!parameter) {
        QStringList names = m_catalogs.getCatalogNames(masterCollectionKey);
        std::sort(names.begin(), names.end());
        for (const QString& name : qAsConst(names)) {
            ParametersCatalog* other = name == catalog ? nullptr : m_catalogs.getCatalog(name, masterCollectionKey);
            if (other && (parameter = other->getParameter(key, false))) {
                break;
            }
        }
    }
    if (!parameter) {
        LOG_ERROR(lcSystemSettings) << key << "not found in any catalog.";
        return false;
    }

    const QString type = parameter->definition.value(typeField).toString();
    const QString value = unquoted(text.trimmed());
    bool ok = false;
    QVariant convertedValue;
    if (type == QLatin1String("int")) {
        convertedValue = value.toInt(&ok);
    } else if (type == QLatin1String("double")) {
        convertedValue = value.toDouble(&ok);
    } else {
        LOG_ERROR(lcSystemSettings) << key << "invalid value type.";
        return false;
    }
    if (!ok) {
        LOG_ERROR(lcSystemSettings) << key << "value" << text << "is not a number.";
        return false;
    }
    parameter->value = convertedValue;
    parameter->inFile = true;
    return true;
}

bool SystemSettings::archiveFile(const QString& path, const QString& fileName)
{
    const QString& archive = Locations::oldStateDir();
    if (!QFileInfo::exists(archive) && !QDir().mkpath(archive)) {
        LOG_ERROR(lcSystemSettings) << "creating" << archive << "failed";
    }
    QProcess move;
    move.start(QStringLiteral("mv"), { path, Locations::join(archive, fileName) });
    if (!System::waitForProcess(move)) {
        LOG_ERROR(lcSystemSettings) << "Unable to move INI file!";
        return false;
    }
    return true;
}

QVariantMap SystemSettings::currentValues(const CatalogAccessor& access)
{
    QVariantMap values;
    const ParametersCatalog* master = access.catalog(masterCollectionKey, Q_FUNC_INFO);
    if (!master) {
        return values;
    }
    const QStringList names = master->parameterNames();
    for (const QString& name : names) {
        const EmbosserParameter* parameter = master->parameter(name);
        if (parameter && !parameter->value.isNull()) {
            values.insert(name, parameter->value);
        }
    }
    return values;
}

QList<QPair<QString, QVariantMap>> SystemSettings::currentConfigurationCmd() const
{
    return {
        { QStringLiteral("Architecture"), currentValues(m_architecture->accessor()) },
        { QStringLiteral("Embosserhead"), currentValues(m_embosserhead->accessor()) },
        { QStringLiteral("Firmware"), m_firmware->get() },
        { QStringLiteral("Parameters"), currentValues(m_parameters->accessor()) },
        { QStringLiteral("Page Counter"), currentValues(m_pageCounter->accessor()) },
        { QStringLiteral("Serial Com"), currentValues(m_serialCom->accessor()) },
        { QStringLiteral("Speech"), currentValues(m_speech->accessor()) },
    };
}
