// The service's JSON readers on a file made of the input: the data files of the data directory
// (each read by its own class through the load-and-restore rule, then asked what the service
// asks of it), the topic settings files, the user settings file, the hammer batch files, a layout
// file and a user paper file. The machine's objects are built from the shipped root once, and
// every input puts back the files and catalogs it changed, so that an input gives the same run
// whatever came before it.
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

#include <algorithm>
#include <functional>

namespace {

const char caller[] = "void FuzzJsonLoader::run()";
const QString& master = masterCollectionKey;

// The machine as the service builds it at start, from the shipped files.
struct Machine {
    ls::JFile json;
    Property property { json, json };
    CatalogsManager catalogs { property };
    DefaultParameters defaults { json, json, catalogs };
    EmbosserConf embosserConf { json, json, catalogs };
    Architecture architecture { json, json, catalogs };
    Embosserhead embosserhead { json, json, catalogs };
    HammerDelta hammerDelta { json, json, catalogs };
    PageCounter pageCounter { json, json, catalogs };
    Parameters parameters { json, json, catalogs };
    SerialCom serialCom { json, json, catalogs };
    Speech speech { json, json, catalogs };
    UserSettings userSettings { json, json, property, catalogs };
    const QString model = embosserConf.getModel(master);
    PropValueList valueList { json };
    ParameterList parameterList { json, json };
    ParameterValues parameterValues { valueList, parameterList };
    PaperList paperList { json };
    PaperRegion paperRegion { json };
    ModelPaper modelPaper { model, json };
};

struct Reader {
    QString name;
    QStringList paths; // each gets the input; all are put back afterwards
    std::function<void(Machine&)> run;
};

Machine* machine = nullptr;
QList<Reader> readers;

// Asks for the answers; what they are does not matter, only that giving them holds up.
template <class... Answers> void ask(const Answers&...) { }

// Every value of an enumeration and one past each end.
template <class Enumeration> QList<Enumeration> allOf()
{
    const QMetaEnum meta = QMetaEnum::fromType<Enumeration>();
    QList<Enumeration> values { Enumeration(-1) };
    for (int i = 0; i < meta.keyCount(); ++i) {
        values.append(Enumeration(meta.value(i)));
    }
    return values << Enumeration(meta.value(meta.keyCount() - 1) + 1);
}

void askCatalogs(CatalogsManager& catalogs)
{
    for (const QString& name : catalogs.getCatalogNames(master)) {
        if (ParametersCatalog* catalog = catalogs.getCatalog(name, master)) {
            catalog->storedValues();
            for (const QString& parameter : catalog->parameterNames()) {
                catalog->parameter(parameter);
            }
        }
    }
    catalogs.duplicateCatalog(master, QStringLiteral("fuzz"));
    catalogs.getCatalogNames(QStringLiteral("fuzz"));
    catalogs.removeCatalogsCollection(QStringLiteral("fuzz"));
}

void askTopic(const TopicSettings& topic)
{
    const CatalogAccessor& access = topic.accessor();
    const ParametersCatalog* catalog = access.catalog(master, caller);
    for (const QString& name : catalog ? catalog->parameterNames() : QStringList()) {
        ask(access.getInt(name, master, caller), access.getDouble(name, master, caller),
            access.getString(name, master, caller));
    }
}

void askPaper(const PaperEntity& paper)
{
    ask(paper.isValid(), paper.getWidth(), paper.getHeight(), paper.getInchesWidth(), paper.getInchesHeight(),
        paper.getSizeUnitText(), paper.getFeedType(), paper.getModelMask());
}

void askModel(const ModelPaper& model)
{
    ask(model.getEmbosserType(), model.getFeedType(), model.getHeadType(), model.getModelMask(), model.getMinWidth(),
        model.getMaxWidth(), model.getMinHeight(), model.getMaxHeight(), model.getPaperDirection(), model.getPnpCid(),
        model.getShortID(), model.isDoubleSided());
}

// The layout parameters of a layout through the value lists and the parameter list.
void askLayout(const ParameterValues& values, const QStringList& parameters)
{
    for (const QString& parameter : parameters.mid(0, 64)) {
        ask(values.getIntValue(QStringLiteral("1"), parameter), values.getFloatValue(QStringLiteral("1"), parameter));
    }
}

void askDimensions(const BrlDimension& dimensions, const PropValueList& valueList)
{
    const QVariantMap sizes = dimensions.getDimensions();
    for (auto size = sizes.constBegin(); size != sizes.constEnd(); ++size) {
        for (const QString& key : size.value().toMap().keys()) {
            dimensions.getDouble(size.key(), key);
        }
        ask(dimensions.getCellToCell(size.key()), dimensions.getHorizontalDotToDot(size.key()),
            dimensions.getVerticalDotToDot(size.key()), dimensions.getIsInterline(size.key()),
            dimensions.getInterlineBackRowOffset(QStringLiteral("6 dots"), size.key()),
            dimensions.getInterlineBackRowOffset(QStringLiteral("8 dots"), size.key()));
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
        return valueList.getValues(list).value(0).toMap().value(QStringLiteral("description")).toString();
    };
    dimensions.getLineToLine(0.0, 1, -10, 10, first(lcm::RowValueList::BrailleCellSize),
        first(lcm::RowValueList::Duplexing), first(lcm::RowValueList::BrailleCellDots),
        first(lcm::RowValueList::BrailleLineSpacing));
}

// A data file. Without a backup copy in this root, an unreadable file ends in "Restore failed!" at
// once instead of in a second read of the shipped copy.
Reader dataFile(const QString& name, std::function<void(Machine&)> run)
{
    QFile::remove(DataFileLoader::backupFile(name));
    return { name, { DataFileLoader::dataFile(name) }, std::move(run) };
}

void addReaders(Machine& m)
{
    readers = {
        dataFile(QStringLiteral("propertyList.json"),
            [](Machine& m) {
                Property property(m.json, m.json);
                for (const QVariant& catalog : property.catalogs()) {
                    for (const QString& name : catalog.toMap().keys()) {
                        ask(property.definition(name), property.getProposition(name), property.getValueSentence(name),
                            property.getMinValue(name), property.getMaxValue(name), property.getPrecision(name));
                    }
                }
                CatalogsManager catalogs(property);
                DefaultParameters defaults(m.json, m.json, catalogs);
                askCatalogs(catalogs);
                UserSettings(m.json, m.json, property, catalogs).writeUserSettingsFile();
            }),
        dataFile(QStringLiteral("defaultParameters.json"),
            [](Machine& m) {
                CatalogsManager catalogs(m.property);
                DefaultParameters defaults(m.json, m.json, catalogs);
                askCatalogs(catalogs);
            }),
        dataFile(QStringLiteral("valueList.json"),
            [](Machine& m) {
                PropValueList valueList(m.json);
                for (lcm::RowValueList list : allOf<lcm::RowValueList>()) {
                    ask(valueList.getValues(list), valueList.getValueList(int(list)));
                }
                askDimensions(BrlDimension(m.json, valueList), valueList);
                askLayout(ParameterValues(valueList, m.parameterList), m.parameterList.getParameterList().keys());
            }),
        dataFile(QStringLiteral("brailleDimension.json"),
            [](Machine& m) { askDimensions(BrlDimension(m.json, m.valueList), m.valueList); }),
        dataFile(QStringLiteral("parameterList.json"),
            [](Machine& m) {
                ParameterList list(m.json, m.json);
                const QStringList names = list.getParameterList().keys();
                for (const QString& name : names) {
                    ask(list.getStored(name), list.getHideValueInactive(name), list.getEditable(name),
                        list.getIndex(name), list.getMinValue(name), list.getMaxValue(name), list.getPrecision(name),
                        list.getValueType(name), list.getRowValueList(name));
                }
                askLayout(ParameterValues(m.valueList, list), names);
            }),
        dataFile(QStringLiteral("paperList.json"),
            [](Machine& m) {
                PaperList paperList(m.json);
                PaperSettings settings(m.modelPaper, paperList, m.paperRegion);
                for (const QString& name : paperList.getPaperNames()) {
                    askPaper(paperList.toEntity(name));
                    askPaper(settings.getPaperEntity(name));
                    for (lcm::Region region : allOf<lcm::Region>()) {
                        settings.isPaperValid(region, name);
                    }
                }
            }),
        dataFile(QStringLiteral("paperRegions.json"),
            [](Machine& m) {
                PaperRegion regions(m.json);
                QStringList papers = m.paperList.getPaperNames();
                for (const QVariant& list : regions.getRegions()) {
                    papers += list.toStringList();
                }
                for (lcm::Region region : allOf<lcm::Region>()) {
                    regions.getPaper(region);
                    for (const QString& paper : qAsConst(papers)) {
                        regions.isValid(region, paper);
                    }
                }
            }),
        dataFile(QStringLiteral("embosserList.json"),
            [](Machine& m) {
                QVariantMap models;
                m.json.readToMap(DataFileLoader::dataFile(QStringLiteral("embosserList.json")), models);
                for (const QString& name : QStringList(m.model) + models.keys().mid(0, 16)) {
                    askModel(ModelPaper(name, m.json));
                }
            }),
        dataFile(QStringLiteral("docSettingList.json"),
            [](Machine& m) {
                DocSettingList list(m.json);
                const QVariantMap groups = list.getDocSettingList();
                for (auto group = groups.constBegin(); group != groups.constEnd(); ++group) {
                    QList<int> codes { -1, 0 };
                    for (const QVariant& code : group.value().toMap()) {
                        codes.append(code.toInt());
                    }
                    for (int code : qAsConst(codes)) {
                        list.returnDocSettingKey(group.key(), code);
                    }
                }
            }),
        { QStringLiteral("userSettings"), { Locations::userSettingsFile() },
            [](Machine& m) {
                m.userSettings.loadUserSettings();
                m.userSettings.writeUserSettingsFile();
            } },
        { QStringLiteral("layout"), { LayoutFile::path(1) },
            [](Machine& m) {
                QVariantMap layout;
                LayoutFile(1).read(layout);
                askLayout(m.parameterValues, layout.keys() + m.parameterList.getParameterList().keys());
            } },
        { QStringLiteral("userpaper"), { UserPaperFile::path(1) },
            [](Machine& m) {
                askPaper(UserPaperFile(1).toEntity());
                askPaper(m.paperList.toEntity(UserPaperFile::paperName(1)));
            } },
    };
    for (TopicSettings* topic : std::initializer_list<TopicSettings*> { &m.embosserConf, &m.architecture,
             &m.embosserhead, &m.hammerDelta, &m.pageCounter, &m.parameters, &m.serialCom, &m.speech }) {
        const QString path = topic->accessor().settingsFile();
        readers.append({ QFileInfo(path).fileName(), { path }, [topic](Machine&) {
                            topic->load();
                            askTopic(*topic);
                            topic->saveToFile();
                        } });
    }
    // Every hammer batch file takes the input, so whichever the stored batch names reads it.
    Reader batches { QStringLiteral("hammer_batch"), {}, [](Machine& m) {
                        m.embosserhead.readHammerBatch(master);
                        askTopic(m.embosserhead);
                    } };
    for (QDirIterator files(Locations::settingsDir(), QDir::Files, QDirIterator::Subdirectories); files.hasNext();) {
        const QString file = files.next();
        if (file.contains(QStringLiteral("/hammer_batch/"))) {
            batches.paths.append(file);
        }
    }
    readers.append(batches);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::initialize(FuzzEnvironment::Root::Shipped);
    machine = new Machine;
    addReaders(*machine);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), int(size));
    const int newline = input.indexOf('\n');
    const QString name = QString::fromUtf8(input.left(newline));
    const auto named = std::find_if(readers.cbegin(), readers.cend(), [&](const Reader& r) { return r.name == name; });
    const Reader& reader = named != readers.cend() ? *named : readers.at(int(qHash(name) % uint(readers.size())));

    QHash<QString, QByteArray> shipped; // of the files that existed
    QHash<QString, ParametersCatalog> catalogs;
    for (const QString& path : reader.paths) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            shipped.insert(path, file.readAll());
        }
        QDir().mkpath(QFileInfo(path).absolutePath());
        FuzzEnvironment::writeFile(path, newline < 0 ? QByteArray() : input.mid(newline + 1));
    }
    for (const QString& catalog : machine->catalogs.getCatalogNames(master)) {
        catalogs.insert(catalog, *machine->catalogs.getCatalog(catalog, master));
    }

    reader.run(*machine);

    for (const QString& path : reader.paths) {
        if (shipped.contains(path)) {
            FuzzEnvironment::writeFile(path, shipped.value(path));
        } else {
            QFile::remove(path);
        }
    }
    for (auto it = catalogs.constBegin(); it != catalogs.constEnd(); ++it) {
        *machine->catalogs.getCatalog(it.key(), master) = it.value();
    }
    return 0;
}
