// The shipped data set and the generated parts of a fresh root: every file parses, and the files
// agree with each other, with the protocol enumerations of lcm::EnumDetail and with the id
// families of the framework. The tests check relations, never particular values, so that a
// changed data set passes as long as it stays consistent. Paper records, cell dimensions, the
// user settings file and the legacy tables are read through the service by their own suites.
#include "TestRoot.h"
#include "brailletable/TableSettings.h"
#include "layout/BrlDimension.h"
#include "layout/LayoutCommand.h"
#include "layout/LayoutEntity.h"
#include "layout/ParameterList.h"
#include "lcm/EnumDetail.h"
#include "ls/DoubleValueParamId.h"
#include "ls/ESC_C.h"
#include "ls/ESC_D.h"
#include "ls/EscapeTypes.h"
#include "ls/IntValueDeltaParamId.h"
#include "ls/IntValueParamId.h"
#include "ls/JFile.h"
#include "ls/Keys.h"
#include "ls/ReleaseTimeId.h"
#include "ls/SensorStateId.h"
#include "paper/ModelPaper.h"
#include "paper/PaperList.h"
#include "paper/PaperRegion.h"
#include "paper/PaperSettings.h"
#include "property/PropValueList.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QSet>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

const QString configDir = QStringLiteral("usr/share/configuration-manager");
const QString stateDir = QStringLiteral("var/lib/embosser");
const QString factoryDir = QStringLiteral("backup/embosser/factory");
const QString distributorDir = QStringLiteral("usr/share/embosser/layouts");
const QString hammerBatchRoot = QStringLiteral("usr/share/embosser/settings");
const QString liblouisMetadataDir = QStringLiteral("usr/share/embosser/liblouis");
const QString legacyTablesDir = QStringLiteral("usr/share/embosser/tables");
const QString metadataKey = QStringLiteral("Metadata");

// The flash memory fields the service can mirror a parameter into.
const QStringList eepromKeys = { "printer.hw.model", "printer.hw.serial", "printer.hw.hammerBatch",
    "printer.hw.adjustOuterClosedPos", "printer.hw.adjustInnerClosedPos", "printer.hw.adjustOuterOpenPos",
    "printer.hw.adjustInnerOpenPos", "printer.hw.printHeadSensorExists", "printer.hw.archForSlave",
    "system.update-manager.last-update", "printer.slave.tray.maxCurrent" };

// The value lists that follow an enumeration.
const std::pair<const char*, const char*> listEnumerations[]
    = { { "Duplexing", "Duplex" }, { "BrailleLineSpacing", "LineSpacing" }, { "PageNumber", "PageNumber" },
          { "TopMargin", "TopMargin" }, { "BindingMargin", "BindingMargin" }, { "FoldingLine", "FoldingLine" },
          { "BrailleCellSize", "BrailleDimension" }, { "Region", "Region" }, { "BrailleCellDots", "BrailleType" } };

// A legacy table is read into a zeroed buffer of the full size; its type field (the eighth
// 50-byte text after the 4-byte word) says "8 DOT" for 8-dot tables.
constexpr int legacyTableSize = 3108;
constexpr int legacyTypeValueOffset = 4 + 8 * 50;

QString machinePath(const QString& catalog)
{
    return catalog == "arch" ? QStringLiteral("var/lib/slave/arch") : stateDir + '/' + catalog;
}

// Files of the tree that are JSON by their role, whatever their name.
bool isJsonFile(const QString& relative)
{
    return relative.endsWith(".json") || relative == machinePath("arch") || relative.startsWith(stateDir + '/')
        || relative.startsWith("backup/embosser/") || relative.startsWith(distributorDir + '/')
        || (relative.startsWith(hammerBatchRoot + '/') && relative.contains("/hammer_batch/"));
}

QStringList filesBelow(const QString& top, const QString& subDir = QString())
{
    QStringList files;
    QDirIterator it(top + '/' + subDir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(QDir(top).relativeFilePath(it.next()));
    }
    files.sort();
    return files;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The object of a JSON file; empty when it cannot be read (filesParse names the reason).
QJsonObject readObject(const QString& path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}

// The value of `key` in the named enumeration of lcm::EnumDetail; -1 when it is none.
int enumValue(const char* enumeration, const QString& key)
{
    bool ok = false;
    const QMetaEnum meta = lcm::EnumDetail::metaEnum(enumeration);
    const int value = meta.isValid() && !key.isEmpty() ? meta.keyToValue(key.toLatin1().constData(), &ok) : -1;
    return ok ? value : -1;
}

bool isWholeNumber(double value)
{
    return std::isfinite(value) && std::trunc(value) == value;
}

// Whether `value` fits a catalog definition ("type", optional "minValue"/"maxValue").
bool fitsDefinition(const QJsonObject& definition, const QJsonValue& value)
{
    const QString type = definition.value("type").toString();
    const bool typed = (type == "int" && value.isDouble() && isWholeNumber(value.toDouble()))
        || (type == "double" && value.isDouble()) || (type == "QString" && value.isString())
        || (type == "bool" && value.isBool());
    return typed
        && (!value.isDouble()
            || (value.toDouble() >= definition.value("minValue").toDouble(-INFINITY)
                && value.toDouble() <= definition.value("maxValue").toDouble(INFINITY)));
}

// The entry of a value list whose "description" is `description`; empty when none.
QJsonObject entryOf(const QJsonArray& list, const QString& description)
{
    for (const QJsonValue& entry : list) {
        if (entry.toObject().value("description").toString() == description) {
            return entry.toObject();
        }
    }
    return {};
}

// The dot count a legacy table reads as, -1 when it cannot be read.
int legacyTableDots(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray field = file.read(legacyTableSize).mid(legacyTypeValueOffset, 50);
    return field.left(field.indexOf('\0')) == "8 DOT" ? 8 : 6;
}

} // namespace

// Each test collects every offender of its rules with expect(); cleanup() fails the test with
// all of them named.
class TestData : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_data;
    QHash<QString, QJsonObject> m_config;
    // The service's readers of the fresh root, built on first use.
    ls::JFile m_reader;
    std::unique_ptr<PropValueList> m_valueLists;
    std::unique_ptr<ParameterList> m_parameterList;
    std::unique_ptr<BrlDimension> m_dimensions;
    std::unique_ptr<PaperList> m_papers;
    std::unique_ptr<PaperRegion> m_regions;
    std::unique_ptr<TableSettings> m_tables;
    QStringList m_problems;

    void expect(bool ok, const QString& problem)
    {
        if (!ok) {
            m_problems << problem;
        }
    }

    QString dataFile(const QString& relative) const { return m_data + '/' + relative; }
    QString rootFile(const QString& relative) const { return m_root->path() + '/' + relative; }

    // A file of the configuration directory, parsed once.
    const QJsonObject& config(const QString& name)
    {
        auto it = m_config.find(name);
        if (it == m_config.end()) {
            it = m_config.insert(name, readObject(dataFile(configDir + '/' + name)));
        }
        return it.value();
    }

    QJsonObject definitionsOf(const QString& catalog) { return config("propertyList.json").value(catalog).toObject(); }
    QJsonArray valueList(const QString& name) { return config("valueList.json").value(name).toArray(); }
    QJsonObject model(const QString& name) { return config("embosserList.json").value(name).toObject(); }

    // The models a shipped layout serves: the working layouts the shipped model, a model folder
    // its model, and a common factory layout every model whose folder lacks that file (the
    // factory reset takes the model's own file first).
    QStringList modelsServedBy(const QString& relative)
    {
        if (relative.startsWith(stateDir + '/')) {
            return { readObject(dataFile(machinePath("embosserConf"))).value("Model").toString() };
        }
        const QStringList parts = relative.split('/');
        const bool factory = relative.startsWith(factoryDir + '/');
        const QString folder = parts.value(factory ? 3 : 4);
        QStringList models;
        for (const QString& model : config("embosserList.json").keys()) {
            const QString modelFolder = QString(model).replace(' ', '_');
            if (factory && parts.size() == 4
                    ? !QFileInfo::exists(dataFile(factoryDir + '/' + modelFolder + '/' + parts.last()))
                    : modelFolder == folder) {
                models.append(model);
            }
        }
        return models.isEmpty() ? QStringList { "(no model for folder " + folder + ')' } : models;
    }

    // What the service's own rules say of a shipped layout on a model, after the migration of the
    // start-up: empty when it validates and its page takes its lines and characters.
    QString serviceProblem(const QString& file, const QString& model)
    {
        if (!m_valueLists) {
            m_valueLists = std::make_unique<PropValueList>(m_reader);
            m_parameterList = std::make_unique<ParameterList>(m_reader, m_reader);
            m_dimensions = std::make_unique<BrlDimension>(m_reader, *m_valueLists);
            m_papers = std::make_unique<PaperList>(m_reader);
            m_regions = std::make_unique<PaperRegion>(m_reader);
            m_tables = std::make_unique<TableSettings>(&m_reader, &m_reader);
        }
        const ModelPaper modelPaper(model, m_reader);
        const PaperSettings paperSettings(modelPaper, *m_papers, *m_regions);
        const LayoutCommand commands(paperSettings);
        const LayoutEntity::Context context { m_parameterList.get(), m_valueLists.get(), &paperSettings, m_tables.get(),
            m_dimensions.get(), &commands, QStringLiteral("data-test") };
        QVariantMap data;
        m_reader.readToMap(dataFile(file), data);
        LayoutEntity layout(context, data);
        layout.update();
        if (!layout.validate()) {
            return "fails the service's validation (see the log line above)";
        }
        const QVariantMap page = layout.supplyExtraProperties();
        const int lines = page.value("Max lines").toInt();
        const int characters = page.value("Max characters").toInt();
        if (lines < 1 || characters < 1 || layout.getInt("Line per page") > lines
            || layout.getInt("Characters per line") > characters) {
            return QStringLiteral("%1 lines of %2 on a page of %3 of %4")
                .arg(layout.getInt("Line per page"))
                .arg(layout.getInt("Characters per line"))
                .arg(lines)
                .arg(characters);
        }
        return QString();
    }

    QStringList shippedLayoutFiles() const
    {
        QStringList layouts;
        for (const QString& tree : { stateDir, factoryDir, distributorDir }) {
            for (const QString& file : filesBelow(m_data, tree)) {
                if (QFileInfo(file).fileName().startsWith("layout.")) {
                    layouts.append(file);
                }
            }
        }
        return layouts;
    }

    QJsonObject liblouisLanguage(const QString& language) const
    {
        return readObject(rootFile(QStringLiteral("%1/%2/%2.json").arg(liblouisMetadataDir, language)));
    }

    // The liblouis metadata entry of "<language>/<table>" in the fresh root; empty when none.
    QJsonObject liblouisEntry(const QString& table) const
    {
        const QStringList parts = table.split('/');
        return parts.size() == 2 ? liblouisLanguage(parts.first()).value(parts.last()).toObject() : QJsonObject();
    }

    // Why `paper` cannot be used in `region` on `model` (the paper validity rule of the paper
    // settings, plus the model's paper size limits); empty when it can.
    QString paperProblem(const QString& region, const QString& paper, const QString& modelName)
    {
        const QJsonObject record = config("paperList.json").value(paper).toObject();
        const QJsonObject machine = model(modelName);
        const QString paperFeed = record.value(ls::eFeedTypeKey).toString();
        const int paperMask = enumValue("ModelMask", record.value("eModelMask").toString());
        const int modelMask = enumValue("ModelMask", machine.value("eModelMask").toString());
        const double width = record.value(ls::widthKey).toDouble();
        const double height = record.value(ls::heightKey).toDouble();
        const QString what = QStringLiteral("paper \"%1\" on %2 in %3: ").arg(paper, modelName, region);
        if (record.isEmpty() || machine.isEmpty()) {
            return what + "paper or model not listed";
        } else if (region != "Undefined" && region != "World"
            && !config("paperRegions.json").value(region).toArray().contains(paper)) {
            return what + "not listed for the region";
        } else if (paperFeed != "Any" && paperFeed != machine.value(ls::eFeedTypeKey).toString()) {
            return what + "needs feed " + paperFeed;
        } else if (paperMask < 0 || modelMask < 0 || (paperMask & modelMask) == 0) {
            return what + "not for the model mask";
        } else if (width < machine.value(ls::minPaperWidthKey).toDouble()
            || width > machine.value(ls::maxPaperWidthKey).toDouble()
            || height < machine.value(ls::minPaperHeightKey).toDouble()
            || height > machine.value(ls::maxPaperHeightKey).toDouble()) {
            return what + "outside the size limits";
        }
        return {};
    }

    // Expects a layout (parameter name -> value) to hold exactly the stored parameters, each
    // with a valid value.
    void expectValidLayout(const QJsonObject& layout, const QString& name)
    {
        const QJsonObject parameters = config("parameterList.json");
        const QString dotsText = layout.value("Braille cell dots").toString();
        const int dots = entryOf(valueList("BrailleCellDots"), dotsText).value("intValue").toInt(-1);
        expect(!layout.isEmpty(), name + " is empty");
        for (auto it = parameters.begin(); it != parameters.end(); ++it) {
            const QJsonObject record = it.value().toObject();
            if (it.key() == metadataKey || !record.value("stored").toBool()) {
                continue;
            }
            const QJsonValue value = layout.value(it.key());
            const QString text = value.toString();
            const QString type = record.value("eValueType").toString();
            const QString list = record.value("eValueList").toString();
            bool ok = value.isDouble();
            const double number = ok ? value.toDouble() : text.toDouble(&ok);
            bool valid = !value.isUndefined();
            if (type == "TableRow") {
                valid = valid && value.isString() && !entryOf(valueList(list), text).isEmpty()
                    && (list != "PaperSize" || config("paperList.json").contains(text));
            } else if (type == "Listing" && list == "BrailleLanguage") {
                valid = valid && legacyTableDots(rootFile(legacyTablesDir + '/' + text)) == dots;
            } else if (type == "Listing" && list == "LiblouisTable") {
                const QJsonObject entry = liblouisEntry(text);
                valid = valid && entry.value("status:").toString() == "active"
                    && entry.value("dots:").toString().toInt() == dots;
            } else if (type == "Numeric") {
                valid = valid && ok && number >= record.value("minValue").toDouble()
                    && number <= record.value("maxValue").toDouble()
                    && (record.value("precision").toInt() > 0 || isWholeNumber(number));
            } else if (type == "String") {
                valid = valid && value.isString();
            }
            expect(valid,
                QStringLiteral("%1: \"%2\" = %3 (%4 of %5, layout of %6)")
                    .arg(
                        name, it.key(), value.isUndefined() ? QStringLiteral("(absent)") : text, type, list, dotsText));
        }
        for (const QString& key : layout.keys()) {
            expect(parameters.value(key).toObject().value("stored").toBool(),
                name + ": \"" + key + "\" is not a stored layout parameter");
        }
        const QString folding = layout.value("Folding line").toString();
        const QString duplexing = layout.value("Duplexing").toString();
        expect(
            entryOf(valueList("FoldingLine"), folding).value(ls::eValidateCommandKey).toString() != "DuplexingIsFolding"
                || duplexing.contains("booklet") || duplexing.contains("z-folding"),
            name + ": folding line \"" + folding + "\" without a folding duplexing mode");
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY2(m_root->isValid(), "scripts/make-root could not lay out a fresh root");
        m_data = TestRoot::sourceDir() + QStringLiteral("/data");
        QVERIFY2(QFileInfo(dataFile(configDir)).isDir(), qPrintable(m_data + " holds no data set"));
    }

    void init() { m_problems.clear(); }
    void cleanup() { QVERIFY2(m_problems.isEmpty(), qPrintable("\n    " + m_problems.join("\n    "))); }

    // Every JSON file of the data set and of a fresh root is an object; the data files equal
    // their backups; every working file of the machine can be put back by a factory reset.
    void filesParseAndHaveTheirCopies()
    {
        for (const QString& top : { m_data, m_root->path() }) {
            for (const QString& file : filesBelow(top)) {
                QJsonParseError error {};
                expect(!isJsonFile(file) || QJsonDocument::fromJson(readBytes(top + '/' + file), &error).isObject(),
                    QStringLiteral("%1/%2: not an object: %3 at offset %4")
                        .arg(top, file, error.errorString())
                        .arg(error.offset));
            }
        }
        const QDir folder(dataFile(configDir));
        QStringList names = folder.entryList(QDir::Files) + QDir(folder.filePath("backup")).entryList(QDir::Files);
        names.removeDuplicates();
        for (const QString& name : names) {
            expect(folder.exists(name) && folder.exists("backup/" + name)
                    && readBytes(folder.filePath(name)) == readBytes(folder.filePath("backup/" + name)),
                name + ": the backup copy is missing or differs from the working copy");
        }
        for (const QString& name : QDir(rootFile(stateDir)).entryList(QDir::Files) + QStringList { "arch" }) {
            expect(QFileInfo(rootFile(factoryDir + '/' + name)).isFile(), name + " has no factory copy");
        }
    }

    // Every catalog has definitions and defaults, and each default fits its definition. The flat
    // definitions map and the escape handler find a parameter by its name alone, so a name is
    // defined once; a flash field mirrors at most one parameter, or two would overwrite each
    // other at every start.
    void definitionsAndDefaults()
    {
        const QJsonObject catalogs = config("propertyList.json");
        const QJsonObject defaults = config("defaultParameters.json");
        QVERIFY(!catalogs.isEmpty());
        for (const QString& catalog : catalogs.keys() + defaults.keys()) {
            expect(catalogs.value(catalog).isObject() && defaults.value(catalog).isObject(),
                catalog + ": not a catalog of both propertyList.json and defaultParameters.json");
            for (const QString& key : defaults.value(catalog).toObject().keys()) {
                expect(definitionsOf(catalog).contains(key), catalog + '/' + key + ": a default of no parameter");
            }
        }
        QSet<QString> names;
        QSet<QString> mirrored;
        for (const QString& catalog : catalogs.keys()) {
            const QJsonObject definitions = definitionsOf(catalog);
            for (auto it = definitions.begin(); it != definitions.end(); ++it) {
                const QJsonObject definition = it.value().toObject();
                const QString name = catalog + '/' + it.key();
                expect(definition.value("catalog").toString() == catalog, name + ": \"catalog\"");
                expect(
                    fitsDefinition(definition, defaults.value(catalog).toObject().value(it.key())), name + ": default");
                expect(!names.contains(it.key()), name + " is defined twice");
                names.insert(it.key());
                const QString field = definition.value("systemInfoParam").toString("null");
                if (field.compare("null", Qt::CaseInsensitive) != 0) {
                    expect(eepromKeys.contains(field) && !mirrored.contains(field), name + ": flash field " + field);
                    mirrored.insert(field);
                }
            }
        }
        expect(!mirrored.isEmpty(), "no parameter mirrors a flash field");
        // The shipped model is checked with its layouts.
        expect(!model(defaults.value("embosserConf").toObject().value("Model").toString()).isEmpty(),
            "the default model is not listed");
    }

    // The framework's id families name catalog parameters of a fixed catalog and type; the machine
    // settings files and the hammer batches hold parameters of their catalog with fitting values.
    void idFamiliesAndMachineFiles()
    {
        const std::tuple<QStringList, const char*, const char*> families[]
            = { { ls::IntValueParamId::meta.keys(), "embosserhead", "int" },
                  { ls::DoubleValueParamId::meta.keys(), "embosserhead", "double" },
                  { ls::IntValueDeltaParamId::meta.keys(), "hammerDelta", "int" },
                  { ls::ReleaseTimeId::meta.keys(), "parameters", "int" },
                  { ls::SensorStateId::meta.keys(), "parameters", "QString" } };
        for (const auto& [ids, catalog, type] : families) {
            expect(!ids.isEmpty(), QStringLiteral("an empty id family of %1").arg(catalog));
            for (const QString& id : ids) {
                expect(definitionsOf(catalog).value(id).toObject().value("type").toString() == type, id);
            }
        }
        QList<std::pair<QString, QString>> files;
        for (const char* catalog : { "arch", "counters", "embosserConf", "embosserhead", "hammerDelta", "parameters",
                 "serialCom", "speech", "network" }) {
            files.append({ machinePath(catalog), catalog });
        }
        for (const QString& file : filesBelow(m_data, hammerBatchRoot)) {
            if (isJsonFile(file)) {
                files.append({ file, "embosserhead" });
            }
        }
        for (const auto& [file, catalog] : files) {
            const QJsonObject values = readObject(dataFile(file));
            expect(!values.isEmpty() && !definitionsOf(catalog).isEmpty(), file + ": no values or no catalog");
            for (auto it = values.begin(); it != values.end(); ++it) {
                expect(fitsDefinition(definitionsOf(catalog).value(it.key()).toObject(), it.value()),
                    file + ": " + it.key());
            }
        }
    }

    // A parameter names a value type and list of the enumerations, a list parameter a list of
    // valueList.json, a number its range and precision. The stored parameters are exactly the
    // "layout" catalog (a layout's values); the "paper" catalog's are all listed.
    void parameterList()
    {
        const QJsonObject parameters = config("parameterList.json");
        QStringList stored;
        for (auto it = parameters.begin(); it != parameters.end(); ++it) {
            const QJsonObject record = it.value().toObject();
            const QString type = record.value("eValueType").toString();
            const QString list = record.value("eValueList").toString();
            const QString name = it.key() + ": ";
            if (it.key() == metadataKey) {
                continue;
            }
            expect(
                enumValue("ValueType", type) >= 0 && enumValue("RowValueList", list) >= 0, name + type + ", " + list);
            expect(
                list != "None" || (type != "TableRow" && type != "Listing"), name + "a list parameter names no list");
            expect(list == "None" || config("valueList.json").value(list).isArray(),
                name + list + " is not a list of valueList.json");
            expect(type != "Numeric"
                    || (record.value("minValue").toDouble(NAN) <= record.value("maxValue").toDouble(NAN)
                        && record.value("precision").toInt(-1) >= 0),
                name + "no range or no \"precision\"");
            if (record.value("stored").toBool()) {
                stored.append(it.key());
            }
        }
        QVERIFY(!stored.isEmpty());
        QCOMPARE(definitionsOf("layout").keys(), stored); // both sorted
        for (const QString& paperParameter : definitionsOf("paper").keys()) {
            expect(parameters.contains(paperParameter), paperParameter + " is not in the parameter list");
        }
    }

    // Entries have unique descriptions, whole numbers, a validation command and feed and head types
    // of the enumerations; a paper size names a paper of the paper list. The layout rules turn the
    // position of an entry into an enumerator (valueAt) and look entries up by "intValue": both
    // must agree for the lists that follow an enumeration. Regions are moreover stored by their
    // key names.
    void valueLists()
    {
        const QJsonObject lists = config("valueList.json");
        QVERIFY(!lists.isEmpty());
        QHash<QString, const char*> enumerationOf;
        for (const auto& [list, enumeration] : listEnumerations) {
            enumerationOf.insert(list, enumeration);
            expect(!valueList(list).isEmpty(), QStringLiteral("the list %1 is empty").arg(list));
        }
        for (const QString& list : lists.keys()) {
            const QJsonArray entries = valueList(list);
            const char* enumeration = enumerationOf.value(list);
            expect(enumValue("RowValueList", list) >= 0 && lists.value(list).isArray(),
                list + " is no RowValueList key or no array");
            expect(!enumeration || entries.size() <= lcm::EnumDetail::metaEnum(enumeration).keyCount(),
                list + " has more entries than its enumeration");
            QSet<QString> descriptions;
            for (int position = 0; position < entries.size(); ++position) {
                const QJsonObject entry = entries.at(position).toObject();
                const QString description = entry.value("description").toString();
                const QString name = list + " \"" + description + "\": ";
                expect(!description.isEmpty() && !descriptions.contains(description), name + "empty or repeated");
                descriptions.insert(description);
                expect(isWholeNumber(entry.value("intValue").toDouble(NAN)), name + "intValue");
                expect(enumValue("ValidateCommand", entry.value(ls::eValidateCommandKey).toString()) > 0,
                    name + "no validation command");
                for (const auto& [key, type] :
                    { std::make_pair(ls::eFeedTypeKey, "FeedType"), std::make_pair(ls::eHeadTypeKey, "HeadType") }) {
                    for (const QString& part : entry.value(key).toString().split('|')) {
                        expect(!entry.contains(key) || enumValue(type, part) >= 0, name + part);
                    }
                }
                expect(list != "PaperSize" || config("paperList.json").contains(description), name + "no paper");
                if (enumeration) {
                    const int expected = lcm::EnumDetail::valueAt(enumeration, position);
                    expect(entry.value("intValue").toInt(-1) == expected, name + "not the enumerator at its position");
                    expect(list != "Region" || enumValue("Region", description) == expected, name + "not its key");
                }
            }
        }
    }

    // A region offers papers with well-formed records. Its first paper is what a layout falls back
    // to when its region changes, whatever the model, so it must be usable on every model. A
    // model's paper limits admit at least one paper some region offers.
    void regionsAndModels()
    {
        QStringList regions = config("paperRegions.json").keys();
        const QMetaEnum regionEnum = lcm::EnumDetail::metaEnum("Region");
        for (int i = 0; i < regionEnum.keyCount(); ++i) {
            regions.append(regionEnum.key(i));
        }
        regions.removeDuplicates();
        QVERIFY(!config("embosserList.json").isEmpty());
        for (const QString& region : regions) {
            const QJsonArray papers = config("paperRegions.json").value(region).toArray();
            expect(
                enumValue("Region", region) >= 0 && !papers.isEmpty(), region + " is no Region key or has no papers");
            for (const QJsonValue& value : papers) {
                const QString paper = value.toString();
                const QJsonObject record = config("paperList.json").value(paper).toObject();
                for (const auto& [field, enumeration] :
                    { std::make_pair("eSizeUnit", "SizeUnit"), std::make_pair("eFormatOrientation", "Orientation"),
                        std::make_pair("eLoadOrientation", "Orientation"), std::make_pair("eModelMask", "ModelMask"),
                        std::make_pair("eFeedType", "FeedType") }) {
                    expect(enumValue(enumeration, record.value(field).toString()) >= 0, paper + ": " + field);
                }
                for (const char* key : { "inchesWidth", "inchesHeight", "stepLength", "stepLengthFraction" }) {
                    expect(isWholeNumber(record.value(key).toDouble(NAN)), paper + ": " + key);
                }
                expect(record.value(ls::widthKey).toDouble() > 0 && record.value(ls::heightKey).toDouble() > 0
                        && record.value("printingHeadOffset").isDouble(),
                    paper + ": size or head offset");
            }
            for (const QString& model : papers.isEmpty() ? QStringList() : config("embosserList.json").keys()) {
                const QString problem = paperProblem(region, papers.first().toString(), model);
                expect(problem.isEmpty(), "the first paper of a region: " + problem);
            }
        }
        for (const QString& name : config("embosserList.json").keys()) {
            const QJsonObject record = model(name);
            for (const auto& [low, high] : { std::make_pair(ls::minPaperWidthKey, ls::maxPaperWidthKey),
                     std::make_pair(ls::minPaperHeightKey, ls::maxPaperHeightKey) }) {
                const double minimum = record.value(low).toDouble(-1);
                expect(minimum > 0 && minimum <= record.value(high).toDouble(-1), name + ": " + low);
            }
            bool admitsOne = false;
            for (const QJsonValue& papers : config("paperRegions.json")) {
                for (const QJsonValue& paper : papers.toArray()) {
                    admitsOne = admitsOne || paperProblem("Undefined", paper.toString(), name).isEmpty();
                }
            }
            expect(admitsOne, name + " takes no paper of the paper list");
        }
    }

    // Every shipped layout and the defaults of the layout catalog form a valid layout, and a layout
    // fits each model it serves: its paper, and its duplexing mode, whose "|"-separated feed and
    // head requirements admit "Any" model or the named ones; no double-sided mode on the one
    // single-sided type (11). On each of those models the service's own rules take it, after the
    // migration of the start-up: a layout of an older firmware (it has no name) must migrate into a
    // valid one.
    void layouts()
    {
        const QStringList files = shippedLayoutFiles();
        QVERIFY(!files.isEmpty());
        expectValidLayout(config("defaultParameters.json").value("layout").toObject(), "the layout defaults");
        for (const QString& file : files) {
            const QJsonObject layout = readObject(dataFile(file));
            if (layout.contains("Layout name")) {
                expectValidLayout(layout, file);
            }
            const QJsonObject entry = entryOf(valueList("Duplexing"), layout.value("Duplexing").toString());
            for (const QString& name : modelsServedBy(file)) {
                const QJsonObject machine = model(name);
                const QString paper
                    = paperProblem(layout.value("Region").toString(), layout.value(ls::paperSizeKey).toString(), name);
                expect(paper.isEmpty(), file + ": " + paper);
                const auto admits = [&](const QString& key) {
                    const QStringList parts = entry.value(key).toString().split('|');
                    return !entry.contains(key) || parts.contains("Any")
                        || parts.contains(machine.value(key).toString());
                };
                expect(admits(ls::eFeedTypeKey) && admits(ls::eHeadTypeKey),
                    file + " on " + name + ": the duplexing mode needs another feed or head");
                expect(entry.value(ls::eValidateCommandKey).toString() != "ModelIsDoubleSided"
                        || enumValue("EmbosserType", machine.value("eEmbosserType").toString()) != 11,
                    file + " on " + name + ": a double-sided duplexing mode on a single-sided model");
                const QString rules = serviceProblem(file, name);
                expect(rules.isEmpty(), file + " on " + name + ": " + rules);
            }
        }
    }

    // Every liblouis table has a dot count and a status, a replaced one an active successor; each
    // legacy table an active metadata entry whose dot count is the one its header reads as, and each
    // entry a file. Both kinds have an active table of each dot count to offer, besides the two user
    // table slots.
    void brailleTables()
    {
        const QStringList languages = QDir(rootFile(liblouisMetadataDir)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY2(!languages.isEmpty(), "a fresh root has no liblouis metadata");
        QSet<QString> activeDots;
        for (const QString& language : languages) {
            const QJsonObject tables = liblouisLanguage(language);
            expect(!tables.isEmpty(), language + " has no table");
            for (auto it = tables.begin(); it != tables.end(); ++it) {
                const QJsonObject entry = it.value().toObject();
                const QString status = entry.value("status:").toString();
                const QString dots = entry.value("dots:").toString();
                const QString table = language + '/' + it.key();
                expect(dots == "6" || dots == "8", table + ": dots " + dots);
                expect(status == "active" || status == "not defined" || status == "replaced", table + ": " + status);
                expect(status != "replaced"
                        || liblouisEntry(entry.value("replaced-by:").toString()).value("status:").toString()
                            == "active",
                    table + " is replaced by a table that is not active");
                if (status == "active") {
                    activeDots.insert(dots);
                }
            }
        }
        QCOMPARE(activeDots, (QSet<QString> { "6", "8" }));
        QCOMPARE(liblouisEntry("UserDefined/grade0_6dot").value("dots:").toString(), QStringLiteral("6"));
        QCOMPARE(liblouisEntry("UserDefined/grade0_8dot").value("dots:").toString(), QStringLiteral("8"));

        QSet<int> legacyDots;
        const QDir top(rootFile(legacyTablesDir));
        for (const QString& language : top.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QJsonObject metadata = readObject(top.filePath(language + '/' + language + ".json"));
            const QStringList files = QDir(top.filePath(language)).entryList({ "*.ebc" }, QDir::Files, QDir::Name);
            expect(metadata.keys() == files, language + ": the metadata does not list the table files");
            for (const QString& file : files) {
                const QJsonObject entry = metadata.value(file).toObject();
                const int dots = legacyTableDots(top.filePath(language + '/' + file));
                expect(entry.value("dots:").toString() == QString::number(dots)
                        && entry.value(ls::tableFileKey).toString() == language + '/' + file
                        && entry.value("status:").toString() == "active",
                    file);
                legacyDots.insert(dots);
            }
        }
        QCOMPARE(legacyDots, (QSet<int> { 6, 8 }));
    }

    // The document settings groups map codes to tables that exist, one code per table. Every
    // identifier of an escape family maps to exactly one parameter of the catalog it names, with a
    // function the escape handler knows, and the ordering rules name identifiers of the family.
    void docSettingsAndEscapes()
    {
        const QJsonObject groups = config("docSettingList.json");
        QVERIFY(!groups.isEmpty());
        for (const QString& group : groups.keys()) {
            const QJsonObject record = config("parameterList.json").value(group).toObject();
            const QJsonObject entries = groups.value(group).toObject();
            expect(record.value("eValueType").toString() == "Listing" && !entries.isEmpty(),
                group + " is empty or no table parameter of the layouts");
            const bool legacy = record.value("eValueList").toString() == "BrailleLanguage";
            QSet<int> codes;
            for (auto it = entries.begin(); it != entries.end(); ++it) {
                const int code = it.value().toInt(-1);
                expect(code >= 0 && !codes.contains(code), group + '/' + it.key() + ": code negative or taken");
                codes.insert(code);
                expect(legacy ? legacyTableDots(rootFile(legacyTablesDir + '/' + it.key())) > 0
                              : liblouisEntry(it.key()).value("status:").toString() == "active",
                    group + '/' + it.key() + " is not a table of a fresh root");
            }
        }
        // What the escape handler's tables know.
        const QStringList escapeFunctions { "null", "convertValueList", "convertDocSettingsList", "convertOnOff",
            "convertSpeed", "convertPaperValueList", "setPaperParameters", "setSerialNo", "validateHammerBatch",
            "configureSlave" };
        for (const auto& [escapeType, identifiers] : { std::make_pair(ls::EscapeTypes::ESC_C, ls::ESC_C::meta.keys()),
                 std::make_pair(ls::EscapeTypes::ESC_D, ls::ESC_D::meta.keys()) }) {
            const QJsonObject entries = config("escapeParameters.json").value(escapeType).toObject();
            QStringList used;
            for (auto it = entries.begin(); it != entries.end(); ++it) {
                const QJsonObject entry = it.value().toObject();
                const QString identifier = entry.value("ESCIdentifier").toString();
                expect(entry.value("ESCParamName").toString() == it.key()
                        && definitionsOf(entry.value("catalog").toString()).contains(it.key()),
                    it.key() + " is not named after a parameter of its catalog");
                expect(identifiers.contains(identifier) && !used.contains(identifier),
                    it.key() + ": identifier \"" + identifier + "\" is not of the family, or taken");
                expect(escapeFunctions.contains(entry.value("ESCFunction").toString())
                        && QStringList({ "int", "double", "QString" }).contains(entry.value("ESCValueType").toString()),
                    it.key() + ": unknown escape function or value type");
                used.append(identifier);
            }
            const QVariantMap& rules = escapeType == ls::EscapeTypes::ESC_C ? ls::ESC_C::rules : ls::ESC_D::rules;
            for (auto rule = rules.begin(); rule != rules.end(); ++rule) {
                for (const QVariant& entry : rule.value().toList()) {
                    const QVariantMap map = entry.toMap();
                    bool applicable = false;
                    bool rank = false;
                    QMetaEnum::fromType<lcm::EnumDetail::Applicable>().keyToValue(
                        map.value("Applicable").toByteArray(), &applicable);
                    QMetaEnum::fromType<lcm::EnumDetail::RelativeRank>().keyToValue(
                        map.value("RelativeRank").toByteArray(), &rank);
                    expect(identifiers.contains(rule.key()) && identifiers.contains(map.value("identifier").toString())
                            && applicable && rank,
                        rule.key() + ": a rule names an unknown identifier, condition or rank");
                }
            }
            expect(!entries.isEmpty() && used.size() == identifiers.size(),
                QString(escapeType) + ": not every identifier has its parameter");
        }
    }
};

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
