#include "ConfigurationManager.h"

#include "CommandHandler.h"
#include "Locations.h"
#include "WireTypes.h"
#include "brailletable/BrailleTable.h"
#include "brailletable/TableSettings.h"
#include "document/DocumentManager.h"
#include "document/Embosser.h"
#include "escape/EscapeHandler.h"
#include "layout/BrlDimension.h"
#include "layout/DocSettingList.h"
#include "layout/Layout.h"
#include "layout/LayoutCommand.h"
#include "layout/LayoutParameters.h"
#include "layout/LayoutRestore.h"
#include "layout/LayoutSettings.h"
#include "layout/ParameterList.h"
#include "layout/ParameterValues.h"
#include "libcorvane/AtomicFile.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Command.h"
#include "ls/ConfigManagerCmdId.h"
#include "ls/EmbosserConfiguration.h"
#include "ls/ErrorId.h"
#include "ls/ICommand.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "ls/PFile.h"
#include "ls/ServiceId.h"
#include "paper/ModelPaper.h"
#include "paper/Paper.h"
#include "paper/PaperList.h"
#include "paper/PaperRegion.h"
#include "paper/PaperSettings.h"
#include "print/FileExtensions.h"
#include "print/OvdSettings.h"
#include "print/Print.h"
#include "print/PrintSettings.h"
#include "property/NetworkProperties.h"
#include "property/PropValueList.h"
#include "property/Property.h"
#include "property/TempProperties.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/DefaultParameters.h"
#include "proxy/DocumentManagerProxy.h"
#include "ssl/Ssl.h"
#include "ssl/SslSettings.h"
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
#include "systeminfo/SystemInfo.h"
#include "systeminfo/SystemSettings.h"
#include "systeminfo/UserSettings.h"
#include "systemoptions/SystemOptSettings.h"
#include "systemoptions/SystemOptions.h"

CM_LOGGING_CATEGORY(lcConfigurationManager, "ConfigurationManager")

ConfigurationManager::ConfigurationManager(QObject* parent)
    : QObject(parent)
{
}

ConfigurationManager::~ConfigurationManager() = default;

void ConfigurationManager::registerCommand(ls::ICommand* command)
{
    m_commands.append(command);
}

void ConfigurationManager::init()
{
    // A power cut in the middle of a write can leave its temporary file behind.
    for (const QString& directory : { Locations::stateDir(), Locations::slaveStateDir(), Locations::runDir(),
             Locations::dataDir(), Locations::configurationManagerStateDir() }) {
        libcorvane::AtomicFile::removeLeftovers(directory);
    }

    // One JSON reader/writer and one property-file object serve every settings object.
    auto* jsonFile = new ls::JFile(this);
    auto* propertyFile = new ls::PFile(this);
    const ls::IReader& reader = *jsonFile;
    const ls::IWriter& writer = *jsonFile;

    // The master collection: definitions, then defaults, then each topic's settings file and the
    // flash values as the settings objects are built.
    m_property = new Property(reader, writer, this);
    m_catalogsManager = std::make_unique<CatalogsManager>(*m_property);
    CatalogsManager& catalogs = *m_catalogsManager;
    new DefaultParameters(reader, writer, catalogs, this);
    auto* embosserConf = new EmbosserConf(reader, writer, catalogs, this);
    auto* architecture = new Architecture(reader, writer, catalogs, this);
    auto* embosserhead = new Embosserhead(reader, writer, catalogs, this);
    auto* firmware = new Firmware(this);
    auto* hammerDelta = new HammerDelta(reader, writer, catalogs, this);
    auto* pageCounter = new PageCounter(reader, writer, catalogs, this);
    auto* parameters = new Parameters(reader, writer, catalogs, this);
    auto* serialCom = new SerialCom(reader, writer, catalogs, this);
    auto* slaveConf = new SlaveConf(*propertyFile, this);
    auto* speech = new Speech(reader, writer, catalogs, this);
    auto* userSettings = new UserSettings(reader, writer, *m_property, catalogs, this);
    m_systemSettings = new SystemSettings(architecture, embosserConf, embosserhead, firmware, hammerDelta, pageCounter,
        parameters, serialCom, slaveConf, speech, userSettings, catalogs, *propertyFile, writer, this);

    const QString model = embosserConf->getModel(masterCollectionKey);
    pageCounter->setModel(model);

    m_tableSettings = new TableSettings(jsonFile, jsonFile, this);
    auto* modelPaper = new ModelPaper(model, reader, this);
    m_paperList = new PaperList(reader, this);
    auto* paperRegion = new PaperRegion(reader, this);
    auto* paperSettings = new PaperSettings(*modelPaper, *m_paperList, *paperRegion, this);
    m_embosser = new Embosser(*modelPaper, this);
    m_propValueList = new PropValueList(reader, this);
    catalogs.checker().setValueLists(m_propValueList);
    m_brlDimension = new BrlDimension(reader, *m_propValueList, this);
    m_ovdSettings = new OvdSettings(this);
    m_docSettingList = new DocSettingList(reader, this);
    auto* parameterList = new ParameterList(reader, writer, this);
    auto* layoutCommand = new LayoutCommand(*paperSettings, this);
    auto* layoutRestore = new LayoutRestore(model, this);
    m_layoutSettings = new LayoutSettings(*m_brlDimension, *m_docSettingList, *layoutCommand, *layoutRestore,
        *parameterList, *m_propValueList, *paperSettings, *m_tableSettings, *m_systemSettings, this);
    auto* layout = new Layout(*m_layoutSettings, this);
    auto* fileExtensions = new FileExtensions(reader, this);
    auto* printSettings = new PrintSettings(*fileExtensions, *m_ovdSettings, this);
    auto* brailleTable = new BrailleTable(*m_tableSettings, *m_layoutSettings, this);
    auto* paper = new Paper(*paperSettings, *m_layoutSettings, this);
    auto* print = new Print(*printSettings, this);
    auto* sslSettings = new SslSettings(*propertyFile, *parameters, this);
    auto* systemOptSettings = new SystemOptSettings(*embosserConf, this);
    auto* ssl = new Ssl(*sslSettings, this);
    // The document manager's client is not part of the service yet: a restore then only logs.
    // A configuration restored from a backup takes effect when the document manager restarts the
    // embosser's services.
    auto* documentManagerProxy = new detail::DocumentManagerProxy(this);
    auto* systemOptions = new SystemOptions(
        *systemOptSettings, [documentManagerProxy] { documentManagerProxy->restartServicesAfterReset(); }, this);
    LayoutSettings* layouts = m_layoutSettings;
    m_parameterValues = new ParameterValues(
        *m_propValueList, *parameterList, [layouts](int n) { return layouts->readLayout(n, false); }, this);
    m_wireTypes = new WireTypes(*m_property, *parameterList, this);
    m_networkProperties = new NetworkProperties(catalogs, this);
    m_tempProperties = new TempProperties(catalogs, this);
    m_layoutParameters = new LayoutParameters(*m_layoutSettings, *m_tempProperties, *parameters, catalogs, this);
    const WireTypes* types = m_wireTypes;
    auto* systemInfo = new SystemInfo(
        *m_systemSettings, *modelPaper,
        [types](const QString& name, const QVariant& value) { return types->typed(name, value); }, this);
    m_documentManager = new DocumentManager(*modelPaper, model, *m_layoutSettings, *m_propValueList, this);
    m_documentManager->load(reader);
    m_escapeHandler = new EscapeHandler(reader, catalogs, *m_systemSettings, *m_layoutSettings, *m_propValueList,
        *m_docSettingList, *m_layoutParameters, *m_networkProperties, *m_tempProperties, this);

    // The order below is the service's: the head's notifications are relayed from before the
    // one-time conversion of old settings files, the identity's and the user settings' only after
    // it, so that the conversion's own saves announce nothing but a head change.
    connect(embosserhead, &Embosserhead::notification, this, &ConfigurationManager::notification);
    connect(m_systemSettings, &SystemSettings::saveLayoutParametersToFile, m_layoutParameters,
        &LayoutParameters::saveToFile);
    m_systemSettings->convertParameterFiles();
    // Every change of the active layout reaches the catalogs the print side reads.
    LayoutParameters* layoutParameters = m_layoutParameters;
    connect(m_layoutSettings, &LayoutSettings::layoutChange, layoutParameters,
        [layoutParameters] { layoutParameters->setCurrentLayoutParameters(masterCollectionKey); });
    connect(m_layoutSettings, &LayoutSettings::setLayoutFromMap, layoutParameters,
        [layoutParameters](
            const QVariantMap& map) { layoutParameters->setParametersFromMap(map, masterCollectionKey); });
    connect(layout, &Layout::notification, this, &ConfigurationManager::notification);
    connect(embosserConf, &EmbosserConf::notification, this, &ConfigurationManager::notification);
    connect(userSettings, &UserSettings::notification, this, &ConfigurationManager::notification);
    connect(paper, &Paper::notification, this, &ConfigurationManager::notification);
    connect(print, &Print::notification, this, &ConfigurationManager::notification);
    connect(ssl, &Ssl::notification, this, &ConfigurationManager::notification);

    // An embosser configured for transport announces nothing on the network and looks for no
    // updates; only the memory changes, the stored values stay.
    if (embosserConf->getConfiguration(masterCollectionKey)
        == ls::EmbosserConfiguration::meta.keyToValue(ls::EmbosserConfiguration::TransportMode)) {
        parameters->setAnnounceNetwork(0, masterCollectionKey, false);
        parameters->setAutomaticUpdateCheck(0, masterCollectionKey, false);
    }
    // The search order of process().
    registerCommand(layout);
    registerCommand(brailleTable);
    registerCommand(paper);
    registerCommand(systemInfo);
    registerCommand(print);
    registerCommand(ssl);
    registerCommand(systemOptions);

    // Every layout file is brought up to date, and repaired, before any request reads one; the
    // converted settings files decide whether line spacing is adjustable.
    m_layoutSettings->initialize();
    m_layoutParameters->setCurrentLayoutParameters(masterCollectionKey);
    m_built = true;
}

QVariantMap ConfigurationManager::process(const QVariantMap& request)
{
    if (!request.contains(ls::commandIdKey) || !request.contains(ls::subCommandIdKey)
        || !request.contains(ls::senderIdKey)) {
        LOG_ERROR(lcConfigurationManager) << "Invalid command!";
        return CommandHandler::failure(ls::ErrorId::InvalidCmd);
    }
    const QString commandId = request.value(ls::commandIdKey).toString();
    if (ls::ConfigManagerCmdId::meta.keyToValue(commandId) == ls::MetaEnum::invalid()) {
        LOG_ERROR(lcConfigurationManager) << "Invalid command id!";
        return CommandHandler::failure(ls::ErrorId::InvalidCmd);
    }
    const QString senderId = request.value(ls::senderIdKey).toString();
    if (ls::ServiceId::meta.keyToValue(senderId) == ls::MetaEnum::invalid()) {
        LOG_ERROR(lcConfigurationManager) << "Invalid sender id!";
        return CommandHandler::failure(ls::ErrorId::InvalidSender);
    }
    LOG_DEBUG(lcConfigurationManager) << "process command -" << commandId << "from sender -" << senderId;

    for (ls::ICommand* command : qAsConst(m_commands)) {
        if (command->commandId() == commandId) {
            return command->process(ls::Command(request));
        }
    }
    LOG_ERROR(lcConfigurationManager) << commandId << "command n/a!";
    return CommandHandler::failure(ls::ErrorId::CmdNotFound);
}
