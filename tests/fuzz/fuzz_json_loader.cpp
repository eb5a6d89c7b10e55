// The service's JSON readers on a file made of the input: the data files of the data directory
// (each read by its own class through the load-and-restore rule, then asked what the service
// asks of it), the topic settings files, the user settings file, the hammer batch files, a layout
// file and a user paper file. The root is laid out once; the machine's objects are built from its
// shipped files once, and every input puts back what it changed, so that an input gives the same
// run whatever came before it.
//
// Input: the name of a file (first line, e.g. "paperList.json" or "parameters"), then its
// content. A name that is not listed picks a file by its hash.
#include "DataFileLoader.h"
#include "FuzzEnvironment.h"
#include "Locations.h"
#include "layout/BrlDimension.h"
#include "layout/DocSettingList.h"
#include "layout/LayoutFile.h"
#include "layout/ParameterList.h"
#include "layout/ParameterValues.h"
#include "ls/JFile.h"
#include "paper/ModelPaper.h"
#include "paper/PaperList.h"
#include "paper/PaperRegion.h"
#include "paper/PaperSettings.h"
#include "paper/UserPaperFile.h"
#include "property/PropValueList.h"
#include "property/Property.h"
#include "property/manager/CatalogsManager.h"
#include "property/manager/DefaultParameters.h"
#include "systeminfo/Architecture.h"
#include "systeminfo/EmbosserConf.h"
#include "systeminfo/Embosserhead.h"
#include "systeminfo/HammerDelta.h"
#include "systeminfo/PageCounter.h"
#include "systeminfo/Parameters.h"
#include "systeminfo/SerialCom.h"
#include "systeminfo/Speech.h"
#include "systeminfo/UserSettings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMetaEnum>

#include <functional>
#include <memory>
#include <vector>

namespace {

const char caller[] = "void FuzzJsonLoader::run()";

// The machine as the service builds it at start, from the shipped files.
struct Machine {
    ls::JFile json;
    std::unique_ptr<Property> property;
    std::unique_ptr<CatalogsManager> catalogs;
    std::unique_ptr<DefaultParameters> defaults;
    std::vector<std::unique_ptr<TopicSettings>> topics;
    EmbosserConf* embosserConf = nullptr;
    Embosserhead* embosserhead = nullptr;
    std::unique_ptr<UserSettings> userSettings;
    std::unique_ptr<PropValueList> valueList;
    std::unique_ptr<ParameterList> parameterList;
    std::unique_ptr<ParameterValues> parameterValues;
    std::unique_ptr<PaperList> paperList;
    std::unique_ptr<PaperRegion> paperRegion;
    std::unique_ptr<ModelPaper> modelPaper;
    QString model;
};
Machine* machine = nullptr;

// The files one input may change, with their shipped content (empty: the file did not exist).
class Restorer {
public:
    explicit Restorer(QStringList paths)
        : m_paths(std::move(paths))
    {
        for (const QString& path : qAsConst(m_paths)) {
            m_contents.append(QFile::exists(path) ? FuzzEnvironment::readFile(path) : QByteArray());
            m_existed.append(QFile::exists(path));
        }
        const QStringList names = machine->catalogs->getCatalogNames(masterCollectionKey);
        for (const QString& name : names) {
            m_catalogs.insert(name, *machine->catalogs->getCatalog(name, masterCollectionKey));
        }
    }

    ~Restorer()
    {
        for (int i = 0; i < m_paths.size(); ++i) {
            if (m_existed.at(i)) {
                FuzzEnvironment::writeFile(m_paths.at(i), m_contents.at(i));
            } else {
                QFile::remove(m_paths.at(i));
            }
        }
        for (auto it = m_catalogs.constBegin(); it != m_catalogs.constEnd(); ++it) {
            *machine->catalogs->getCatalog(it.key(), masterCollectionKey) = it.value();
        }
    }

private:
    QStringList m_paths;
    QList<QByteArray> m_contents;
    QList<bool> m_existed;
    QHash<QString, ParametersCatalog> m_catalogs;
};

template <class Enumeration> QList<int> enumeratorValues()
{
    const QMetaEnum meta = QMetaEnum::fromType<Enumeration>();
    QList<int> values { -1 };
    for (int i = 0; i < meta.keyCount(); ++i) {
        values.append(meta.value(i));
    }
    values.append(values.last() + 1);
    return values;
}

void askDefinitions(const Property& property)
{
    const QVariantMap catalogs = property.catalogs();
    for (auto catalog = catalogs.constBegin(); catalog != catalogs.constEnd(); ++catalog) {
        const QStringList names = catalog.value().toMap().keys();
        for (const QString& name : names) {
            property.definition(name);
            property.getProposition(name);
            property.getValueSentence(name);
            property.getMinValue(name);
            property.getMaxValue(name);
            property.getPrecision(name);
        }
    }
}

void askCatalogs(CatalogsManager& catalogs)
{
    const QStringList names = catalogs.getCatalogNames(masterCollectionKey);
    for (const QString& name : names) {
        if (ParametersCatalog* catalog = catalogs.getCatalog(name, masterCollectionKey)) {
            catalog->storedValues();
            const QStringList parameters = catalog->parameterNames();
            for (const QString& parameter : parameters) {
                catalog->parameter(parameter);
            }
        }
    }
    catalogs.duplicateCatalog(masterCollectionKey, QStringLiteral("fuzz"));
    catalogs.getCatalogNames(QStringLiteral("fuzz"));
    catalogs.removeCatalogsCollection(QStringLiteral("fuzz"));
}

void askTopic(const TopicSettings& topic)
{
    const CatalogAccessor& access = topic.accessor();
    const ParametersCatalog* catalog = access.catalog(masterCollectionKey, caller);
    const QStringList names = catalog ? catalog->parameterNames() : QStringList();
    for (const QString& name : names) {
        access.getInt(name, masterCollectionKey, caller);
        access.getDouble(name, masterCollectionKey, caller);
        access.getString(name, masterCollectionKey, caller);
    }
}

void askPaper(const PaperEntity& paper)
{
    paper.isValid();
    paper.getWidth();
    paper.getHeight();
    paper.getInchesWidth();
    paper.getInchesHeight();
    paper.getSizeUnitText();
    paper.getFeedType();
    paper.getModelMask();
}

void askModel(const ModelPaper& model)
{
    model.getEmbosserType();
    model.getFeedType();
    model.getHeadType();
    model.getModelMask();
    model.getMinWidth();
    model.getMaxWidth();
    model.getMinHeight();
    model.getMaxHeight();
    model.getPaperDirection();
    model.getPnpCid();
    model.getShortID();
    model.isDoubleSided();
}

// The layout parameters of a layout through the value lists and the parameter list.
void askLayout(const ParameterValues& values, const QStringList& parameters)
{
    for (const QString& parameter : parameters.mid(0, 64)) {
        values.getIntValue(QStringLiteral("1"), parameter);
        values.getFloatValue(QStringLiteral("1"), parameter);
    }
}

void askDimensions(const BrlDimension& dimensions, const PropValueList& valueList)
{
    const QVariantMap sizes = dimensions.getDimensions();
    for (auto size = sizes.constBegin(); size != sizes.constEnd(); ++size) {
        const QStringList keys = size.value().toMap().keys();
        for (const QString& key : keys) {
            dimensions.getDouble(size.key(), key);
        }
        dimensions.getCellToCell(size.key());
        dimensions.getHorizontalDotToDot(size.key());
        dimensions.getVerticalDotToDot(size.key());
        dimensions.getInterlineBackRowOffset(QStringLiteral("6 dots"), size.key());
        dimensions.getInterlineBackRowOffset(QStringLiteral("8 dots"), size.key());
        dimensions.getIsInterline(size.key());
    }
    for (int type = -1; type <= 3; ++type) {
        dimensions.getCellToCell(type);
        for (int duplex = -1; duplex <= 3; ++duplex) {
            for (int spacing = 0; spacing <= 3; ++spacing) {
                dimensions.getLineToLine(1, duplex, 6, spacing, type, 0.5, -10, 10);
                dimensions.getLineToLine(2, duplex, 8, spacing, type, 100, 0, 5);
            }
        }
    }
    // The text form: the first description of each list that the layout texts come from.
    const auto first = [&valueList](lcm::RowValueList list) {
        const QVariantList values = valueList.getValues(list);
        return values.isEmpty() ? QString() : values.first().toMap().value(QStringLiteral("description")).toString();
    };
    dimensions.getLineToLine(0.0, 1, -10, 10, first(lcm::RowValueList::BrailleCellSize),
        first(lcm::RowValueList::Duplexing), first(lcm::RowValueList::BrailleCellDots),
        first(lcm::RowValueList::BrailleLineSpacing));
}

using Run = std::function<void(const QString& path)>;

struct Reader {
    QString name;
    QStringList paths; // the input goes to the first; all are put back afterwards
    Run run;
};

QList<Reader> readers;

// Data files: no backup copy in this root, so an unreadable file ends in "Restore failed!"
// straight away instead of a second read of the shipped copy.
void addDataFile(const QString& name, const Run& run)
{
    QFile::remove(DataFileLoader::backupFile(name));
    readers.append({ name, { DataFileLoader::dataFile(name) }, run });
}

void addTopic(TopicSettings* topic)
{
    const QString path = topic->accessor().settingsFile();
    readers.append({ QFileInfo(path).fileName(), { path }, [topic](const QString&) {
                        topic->load();
                        askTopic(*topic);
                        topic->saveToFile();
                    } });
}

void buildMachine()
{
    machine = new Machine;
    Machine& m = *machine;
    m.property = std::make_unique<Property>(m.json, m.json);
    m.catalogs = std::make_unique<CatalogsManager>(*m.property);
    m.defaults = std::make_unique<DefaultParameters>(m.json, m.json, *m.catalogs);
    auto embosserConf = std::make_unique<EmbosserConf>(m.json, m.json, *m.catalogs);
    m.embosserConf = embosserConf.get();
    m.topics.push_back(std::move(embosserConf));
    m.topics.push_back(std::make_unique<Architecture>(m.json, m.json, *m.catalogs));
    auto embosserhead = std::make_unique<Embosserhead>(m.json, m.json, *m.catalogs);
    m.embosserhead = embosserhead.get();
    m.topics.push_back(std::move(embosserhead));
    m.topics.push_back(std::make_unique<HammerDelta>(m.json, m.json, *m.catalogs));
    m.topics.push_back(std::make_unique<PageCounter>(m.json, m.json, *m.catalogs));
    m.topics.push_back(std::make_unique<Parameters>(m.json, m.json, *m.catalogs));
    m.topics.push_back(std::make_unique<SerialCom>(m.json, m.json, *m.catalogs));
    m.topics.push_back(std::make_unique<Speech>(m.json, m.json, *m.catalogs));
    m.userSettings = std::make_unique<UserSettings>(m.json, m.json, *m.property, *m.catalogs);
    m.model = m.embosserConf->getModel(masterCollectionKey);
    m.valueList = std::make_unique<PropValueList>(m.json);
    m.parameterList = std::make_unique<ParameterList>(m.json, m.json);
    m.parameterValues = std::make_unique<ParameterValues>(*m.valueList, *m.parameterList);
    m.paperList = std::make_unique<PaperList>(m.json);
    m.paperRegion = std::make_unique<PaperRegion>(m.json);
    m.modelPaper = std::make_unique<ModelPaper>(m.model, m.json);
}

void addReaders()
{
    Machine& m = *machine;
    ls::JFile& json = m.json;

    addDataFile(QStringLiteral("propertyList.json"), [&json](const QString&) {
        Property property(json, json);
        askDefinitions(property);
        CatalogsManager catalogs(property);
        DefaultParameters defaults(json, json, catalogs);
        askCatalogs(catalogs);
        UserSettings userSettings(json, json, property, catalogs);
        userSettings.writeUserSettingsFile();
    });
    addDataFile(QStringLiteral("defaultParameters.json"), [&m, &json](const QString&) {
        CatalogsManager catalogs(*m.property);
        DefaultParameters defaults(json, json, catalogs);
        askCatalogs(catalogs);
    });
    addDataFile(QStringLiteral("valueList.json"), [&m, &json](const QString&) {
        PropValueList valueList(json);
        for (int list : enumeratorValues<lcm::RowValueList>()) {
            valueList.getValues(static_cast<lcm::RowValueList>(list));
            valueList.getValueList(list);
        }
        BrlDimension dimensions(json, valueList);
        askDimensions(dimensions, valueList);
        ParameterValues values(valueList, *m.parameterList);
        askLayout(values, m.parameterList->getParameterList().keys());
    });
    addDataFile(QStringLiteral("brailleDimension.json"), [&m, &json](const QString&) {
        BrlDimension dimensions(json, *m.valueList);
        askDimensions(dimensions, *m.valueList);
    });
    addDataFile(QStringLiteral("parameterList.json"), [&m, &json](const QString&) {
        ParameterList parameterList(json, json);
        const QStringList names = parameterList.getParameterList().keys();
        for (const QString& name : names) {
            parameterList.getStored(name);
            parameterList.getHideValueInactive(name);
            parameterList.getEditable(name);
            parameterList.getIndex(name);
            parameterList.getMinValue(name);
            parameterList.getMaxValue(name);
            parameterList.getPrecision(name);
            parameterList.getValueType(name);
            parameterList.getRowValueList(name);
        }
        ParameterValues values(*m.valueList, parameterList);
        askLayout(values, names);
    });
    addDataFile(QStringLiteral("paperList.json"), [&m, &json](const QString&) {
        PaperList paperList(json);
        PaperSettings settings(*m.modelPaper, paperList, *m.paperRegion);
        const QStringList names = paperList.getPaperNames();
        for (const QString& name : names) {
            askPaper(paperList.toEntity(name));
            askPaper(settings.getPaperEntity(name));
            for (int region : enumeratorValues<lcm::Region>()) {
                settings.isPaperValid(static_cast<lcm::Region>(region), name);
            }
        }
    });
    addDataFile(QStringLiteral("paperRegions.json"), [&m, &json](const QString&) {
        PaperRegion regions(json);
        QStringList papers = m.paperList->getPaperNames();
        const QVariantMap lists = regions.getRegions();
        for (const QVariant& list : lists) {
            papers += list.toStringList();
        }
        for (int region : enumeratorValues<lcm::Region>()) {
            regions.getPaper(static_cast<lcm::Region>(region));
            for (const QString& paper : qAsConst(papers)) {
                regions.isValid(static_cast<lcm::Region>(region), paper);
            }
        }
    });
    addDataFile(QStringLiteral("embosserList.json"), [&m, &json](const QString& path) {
        askModel(ModelPaper(m.model, json));
        QVariantMap models;
        json.readToMap(path, models);
        const QStringList names = models.keys();
        for (const QString& name : names.mid(0, 16)) {
            askModel(ModelPaper(name, json));
        }
    });
    addDataFile(QStringLiteral("docSettingList.json"), [&json](const QString&) {
        DocSettingList list(json);
        const QVariantMap groups = list.getDocSettingList();
        for (auto group = groups.constBegin(); group != groups.constEnd(); ++group) {
            QList<int> codes { -1, 0 };
            const QVariantMap entries = group.value().toMap();
            for (const QVariant& code : entries) {
                codes.append(code.toInt());
            }
            for (int code : qAsConst(codes)) {
                list.returnDocSettingKey(group.key(), code);
            }
        }
    });

    for (const auto& topic : m.topics) {
        addTopic(topic.get());
    }
    readers.append({ QStringLiteral("userSettings"), { Locations::userSettingsFile() }, [&m](const QString&) {
                        m.userSettings->loadUserSettings();
                        m.userSettings->writeUserSettingsFile();
                    } });

    // Every hammer batch file takes the input, so whichever the stored batch matches reads it.
    QStringList batches;
    QDirIterator files(Locations::settingsDir(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        if (file.contains(QStringLiteral("/hammer_batch/"))) {
            batches.append(file);
        }
    }
    readers.append({ QStringLiteral("hammer_batch"), batches, [&m](const QString&) {
                        m.embosserhead->readHammerBatch(masterCollectionKey);
                        askTopic(*m.embosserhead);
                    } });

    readers.append({ QStringLiteral("layout"), { LayoutFile::path(1) }, [&m](const QString&) {
                        QVariantMap layout;
                        LayoutFile(1).read(layout);
                        askLayout(*m.parameterValues, layout.keys() + m.parameterList->getParameterList().keys());
                    } });
    readers.append({ QStringLiteral("userpaper"), { UserPaperFile::path(1) }, [&m](const QString&) {
                        askPaper(UserPaperFile(1).toEntity());
                        askPaper(m.paperList->toEntity(UserPaperFile::paperName(1)));
                    } });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::initialize(FuzzEnvironment::Root::Private);
    buildMachine();
    addReaders();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), int(size));
    const int newline = input.indexOf('\n');
    const QString name = QString::fromUtf8(newline < 0 ? input : input.left(newline));
    const QByteArray content = newline < 0 ? QByteArray() : input.mid(newline + 1);

    const Reader* reader = nullptr;
    for (const Reader& candidate : qAsConst(readers)) {
        if (candidate.name == name) {
            reader = &candidate;
        }
    }
    if (!reader) {
        reader = &readers.at(int(qHash(name) % uint(readers.size())));
    }
    const Restorer restorer(reader->paths);
    for (const QString& path : reader->paths) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        FuzzEnvironment::writeFile(path, content);
    }
    reader->run(reader->paths.value(0));
    return 0;
}
