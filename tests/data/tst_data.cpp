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

const QList<std::pair<const char*, const char*>> paperEnumFields
    = { { "eSizeUnit", "SizeUnit" }, { "eFormatOrientation", "Orientation" }, { "eLoadOrientation", "Orientation" },
          { "eModelMask", "ModelMask" }, { "eFeedType", "FeedType" } };

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

// The object of a JSON file; empty when it cannot be read (jsonFilesParse names the reason).
QJsonObject readObject(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
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

void addRows(const char* column, QStringList names)
{
    QTest::addColumn<QString>(column);
    names.removeDuplicates();
    for (const QString& name : names) {
        QTest::newRow(qPrintable(name)) << name;
    }
}

} // namespace

class TestData : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_data;
    // The service's readers of the fresh root, built on first use.
    ls::JFile m_reader;
    std::unique_ptr<PropValueList> m_valueLists;
    std::unique_ptr<ParameterList> m_parameterList;
    std::unique_ptr<BrlDimension> m_dimensions;
    std::unique_ptr<PaperList> m_papers;
    std::unique_ptr<PaperRegion> m_regions;
    std::unique_ptr<TableSettings> m_tables;
    QHash<QString, QJsonObject> m_config;

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
    QString shippedModel() const { return readObject(dataFile(machinePath("embosserConf"))).value("Model").toString(); }

    // The models a shipped layout serves: the working layouts the shipped model, a model folder
    // its model, and a common factory layout every model whose folder lacks that file (the
    // factory reset takes the model's own file first).
    QStringList modelsServedBy(const QString& relative)
    {
        const QStringList parts = relative.split('/');
        if (relative.startsWith(stateDir + '/')) {
            return { shippedModel() };
        }
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
    QString paperProblem(const QString& region, const QString& paper, const QString& model)
    {
        const QJsonObject record = config("paperList.json").value(paper).toObject();
        const QJsonObject machine = config("embosserList.json").value(model).toObject();
        const QString paperFeed = record.value(ls::eFeedTypeKey).toString();
        const int paperMask = enumValue("ModelMask", record.value("eModelMask").toString());
        const int modelMask = enumValue("ModelMask", machine.value("eModelMask").toString());
        const double width = record.value(ls::widthKey).toDouble();
        const double height = record.value(ls::heightKey).toDouble();
        if (record.isEmpty() || machine.isEmpty()) {
            return QStringLiteral("paper \"%1\" or model \"%2\" is not listed").arg(paper, model);
        } else if (region != "Undefined" && region != "World"
            && !config("paperRegions.json").value(region).toArray().contains(paper)) {
            return QStringLiteral("paper \"%1\" is not listed for region \"%2\"").arg(paper, region);
        } else if (paperFeed != "Any" && paperFeed != machine.value(ls::eFeedTypeKey).toString()) {
            return QStringLiteral("paper \"%1\" needs feed %2 (%3)").arg(paper, paperFeed, model);
        } else if (paperMask < 0 || modelMask < 0 || (paperMask & modelMask) == 0) {
            return QStringLiteral("paper \"%1\" is not for the model mask of %2").arg(paper, model);
        } else if (width < machine.value(ls::minPaperWidthKey).toDouble()
            || width > machine.value(ls::maxPaperWidthKey).toDouble()
            || height < machine.value(ls::minPaperHeightKey).toDouble()
            || height > machine.value(ls::maxPaperHeightKey).toDouble()) {
            return QStringLiteral("paper \"%1\" is outside the size limits of %2").arg(paper, model);
        }
        return {};
    }

    // Why a layout (parameter name -> value) does not hold exactly the stored parameters with
    // valid values; empty when it does.
    QStringList layoutValueProblems(const QJsonObject& layout)
    {
        QStringList problems;
        const QJsonObject parameters = config("parameterList.json");
        const QString dotsText = layout.value("Braille cell dots").toString();
        const int dots = entryOf(valueList("BrailleCellDots"), dotsText).value("intValue").toInt(-1);
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
            if (!valid) {
                problems.append(
                    QStringLiteral("\"%1\" = %2 (%3 of %4, layout of %5)")
                        .arg(it.key(), value.isUndefined() ? QStringLiteral("(absent)") : text, type, list, dotsText));
            }
        }
        for (const QString& key : layout.keys()) {
            if (!parameters.value(key).toObject().value("stored").toBool()) {
                problems.append(QStringLiteral("\"%1\" is not a stored layout parameter").arg(key));
            }
        }
        const QString folding = layout.value("Folding line").toString();
        const QString duplexing = layout.value("Duplexing").toString();
        if (entryOf(valueList("FoldingLine"), folding).value(ls::eValidateCommandKey).toString() == "DuplexingIsFolding"
            && !duplexing.contains("booklet") && !duplexing.contains("z-folding")) {
            problems.append(QStringLiteral("folding line \"%1\" without a folding duplexing mode").arg(folding));
        }
        return problems;
    }

private slots:
    void initTestCase()
    {
        m_root = std::make_unique<TestRoot>();
        QVERIFY2(m_root->isValid(), "scripts/make-root could not lay out a fresh root");
        m_data = TestRoot::sourceDir() + QStringLiteral("/data");
        QVERIFY2(QFileInfo(dataFile(configDir)).isDir(), qPrintable(m_data + " holds no data set"));
    }

    void jsonFilesParse_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& top : { m_data, m_root->path() }) {
            for (const QString& file : filesBelow(top)) {
                if (isJsonFile(file)) {
                    QTest::newRow(qPrintable((top == m_data ? "data/" : "root/") + file)) << top + '/' + file;
                }
            }
        }
    }

    void jsonFilesParse()
    {
        QFETCH(QString, path);
        QFile file(path);
        QJsonParseError error;
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(QJsonDocument::fromJson(file.readAll(), &error).isObject(),
            qPrintable(QStringLiteral("not an object: %1 at offset %2").arg(error.errorString()).arg(error.offset)));
    }

    void dataFilesEqualBackup_data()
    {
        addRows("name",
            QDir(dataFile(configDir)).entryList(QDir::Files)
                + QDir(dataFile(configDir + "/backup")).entryList(QDir::Files));
    }

    void dataFilesEqualBackup()
    {
        QFETCH(QString, name);
        QFile working(dataFile(configDir + '/' + name));
        QFile backup(dataFile(configDir + "/backup/" + name));
        QVERIFY2(working.open(QIODevice::ReadOnly) && backup.open(QIODevice::ReadOnly), "a copy is missing");
        QVERIFY2(working.readAll() == backup.readAll(), "the backup copy differs from the working copy");
    }

    // Every working file of the machine can be put back by a factory reset.
    void workingFilesHaveFactoryCopies()
    {
        const QStringList names = QDir(rootFile(stateDir)).entryList(QDir::Files) << QStringLiteral("arch");
        for (const QString& name : names) {
            QVERIFY2(QFileInfo(rootFile(factoryDir + '/' + name)).isFile(), qPrintable(name));
        }
    }

    // -- Parameter definitions, defaults and machine files ----------------------------------------

    void catalogDefaults_data()
    {
        QVERIFY(!config("propertyList.json").isEmpty());
        addRows("catalog", config("propertyList.json").keys() + config("defaultParameters.json").keys());
    }

    void catalogDefaults()
    {
        QFETCH(QString, catalog);
        const QJsonObject definitions = definitionsOf(catalog);
        const QJsonObject defaults = config("defaultParameters.json").value(catalog).toObject();
        QVERIFY2(config("propertyList.json").value(catalog).isObject(), "not a catalog of propertyList.json");
        QVERIFY2(config("defaultParameters.json").value(catalog).isObject(), "not a catalog of defaultParameters.json");
        for (auto it = definitions.begin(); it != definitions.end(); ++it) {
            const QJsonObject definition = it.value().toObject();
            QVERIFY2(definition.value("catalog").toString() == catalog, qPrintable(it.key() + ": \"catalog\""));
            QVERIFY2(fitsDefinition(definition, defaults.value(it.key())), qPrintable(it.key() + ": default"));
        }
        for (const QString& key : defaults.keys()) {
            QVERIFY2(definitions.contains(key), qPrintable(key + ": a default of no parameter"));
        }
        // The shipped model is checked with its layouts.
        QVERIFY2(catalog != "embosserConf" || config("embosserList.json").contains(defaults.value("Model").toString()),
            "the default model is not listed");
    }

    // The flat definitions map and the escape handler find a parameter by its name alone; a
    // flash field mirrors at most one parameter, or two would overwrite each other at every start.
    void definitionsAcrossCatalogs()
    {
        QSet<QString> names;
        QSet<QString> mirrored;
        for (const QJsonValue& catalog : config("propertyList.json")) {
            const QJsonObject definitions = catalog.toObject();
            for (auto it = definitions.begin(); it != definitions.end(); ++it) {
                QVERIFY2(!names.contains(it.key()), qPrintable(it.key() + " is defined twice"));
                names.insert(it.key());
                const QString field = it.value().toObject().value("systemInfoParam").toString("null");
                if (field.compare("null", Qt::CaseInsensitive) != 0) {
                    QVERIFY2(eepromKeys.contains(field) && !mirrored.contains(field), qPrintable(it.key()));
                    mirrored.insert(field);
                }
            }
        }
        QVERIFY(!mirrored.isEmpty());
    }

    // The framework's id families name catalog parameters of a fixed catalog and type.
    void idFamiliesNameParameters()
    {
        const QList<std::tuple<QStringList, const char*, const char*>> families
            = { { ls::IntValueParamId::meta.keys(), "embosserhead", "int" },
                  { ls::DoubleValueParamId::meta.keys(), "embosserhead", "double" },
                  { ls::IntValueDeltaParamId::meta.keys(), "hammerDelta", "int" },
                  { ls::ReleaseTimeId::meta.keys(), "parameters", "int" },
                  { ls::SensorStateId::meta.keys(), "parameters", "QString" } };
        for (const auto& [ids, catalog, type] : families) {
            QVERIFY(!ids.isEmpty());
            for (const QString& id : ids) {
                QVERIFY2(definitionsOf(catalog).value(id).toObject().value("type").toString() == type, qPrintable(id));
            }
        }
    }

    // The machine settings files and the hammer batches hold parameters of their catalog.
    void machineFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("catalog");
        for (const char* catalog : { "arch", "counters", "embosserConf", "embosserhead", "hammerDelta", "parameters",
                 "serialCom", "speech", "network" }) {
            QTest::newRow(catalog) << machinePath(catalog) << catalog;
        }
        for (const QString& file : filesBelow(m_data, hammerBatchRoot)) {
            if (isJsonFile(file)) {
                QTest::newRow(qPrintable(file)) << file << "embosserhead";
            }
        }
    }

    void machineFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, catalog);
        const QJsonObject values = readObject(dataFile(file));
        QVERIFY2(!values.isEmpty() && !definitionsOf(catalog).isEmpty(), "no values or no catalog");
        for (auto it = values.begin(); it != values.end(); ++it) {
            QVERIFY2(
                fitsDefinition(definitionsOf(catalog).value(it.key()).toObject(), it.value()), qPrintable(it.key()));
        }
    }

    // -- Parameter list and value lists -----------------------------------------------------------

    void parameterListRecords_data()
    {
        QStringList parameters = config("parameterList.json").keys();
        parameters.removeAll(metadataKey);
        QVERIFY(!parameters.isEmpty());
        addRows("parameter", parameters);
    }

    void parameterListRecords()
    {
        QFETCH(QString, parameter);
        const QJsonObject record = config("parameterList.json").value(parameter).toObject();
        const QString type = record.value("eValueType").toString();
        const QString list = record.value("eValueList").toString();
        QVERIFY2(enumValue("ValueType", type) >= 0, qPrintable(type));
        QVERIFY2(enumValue("RowValueList", list) >= 0, qPrintable(list));
        QVERIFY2(list != "None" || (type != "TableRow" && type != "Listing"), "a list parameter names no list");
        QVERIFY2(list == "None" || config("valueList.json").value(list).isArray(),
            qPrintable(list + " is not a list of valueList.json"));
        if (type == "Numeric") {
            QVERIFY2(record.value("minValue").toDouble(NAN) <= record.value("maxValue").toDouble(NAN), "no range");
            QVERIFY2(record.value("precision").toInt(-1) >= 0, "no \"precision\"");
        }
    }

    // A layout's values are held by the "layout" catalog, its paper's by the "paper" catalog.
    void storedParametersFormLayoutCatalog()
    {
        const QJsonObject parameters = config("parameterList.json");
        QStringList stored;
        for (auto it = parameters.begin(); it != parameters.end(); ++it) {
            if (it.key() != metadataKey && it.value().toObject().value("stored").toBool()) {
                stored.append(it.key());
            }
        }
        QVERIFY(!stored.isEmpty());
        QCOMPARE(definitionsOf("layout").keys(), stored); // both sorted
        for (const QString& paperParameter : definitionsOf("paper").keys()) {
            QVERIFY2(parameters.contains(paperParameter), qPrintable(paperParameter));
        }
    }

    void valueLists_data()
    {
        QVERIFY(!config("valueList.json").isEmpty());
        addRows("list", config("valueList.json").keys());
    }

    void valueLists()
    {
        QFETCH(QString, list);
        QVERIFY2(enumValue("RowValueList", list) >= 0, "the list name is no RowValueList key");
        QVERIFY2(config("valueList.json").value(list).isArray(), "the list is not an array");
        QSet<QString> descriptions;
        for (const QJsonValue& item : valueList(list)) {
            const QJsonObject entry = item.toObject();
            const QString description = entry.value("description").toString();
            QVERIFY2(
                !description.isEmpty() && !descriptions.contains(description), qPrintable("\"" + description + "\""));
            descriptions.insert(description);
            QVERIFY2(isWholeNumber(entry.value("intValue").toDouble(NAN)), qPrintable(description + ": intValue"));
            QVERIFY2(enumValue("ValidateCommand", entry.value(ls::eValidateCommandKey).toString()) > 0,
                qPrintable(description + ": no validation command"));
            for (const auto& [key, enumeration] :
                { std::make_pair(ls::eFeedTypeKey, "FeedType"), std::make_pair(ls::eHeadTypeKey, "HeadType") }) {
                for (const QString& part : entry.value(key).toString().split('|')) {
                    QVERIFY2(!entry.contains(key) || enumValue(enumeration, part) >= 0,
                        qPrintable(description + ": " + part));
                }
            }
            // A layout names its paper through the paper size list.
            QVERIFY2(list != "PaperSize" || config("paperList.json").contains(description), qPrintable(description));
        }
    }

    // The layout rules turn the position of an entry into an enumerator (valueAt) and look
    // entries up by "intValue": both must agree for the lists that follow an enumeration.
    // Regions are moreover stored by their key names.
    void valueListsFollowEnumerations_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("enumeration");
        const QList<std::pair<const char*, const char*>> pairs = { { "Duplexing", "Duplex" },
            { "BrailleLineSpacing", "LineSpacing" }, { "PageNumber", "PageNumber" }, { "TopMargin", "TopMargin" },
            { "BindingMargin", "BindingMargin" }, { "FoldingLine", "FoldingLine" },
            { "BrailleCellSize", "BrailleDimension" }, { "Region", "Region" }, { "BrailleCellDots", "BrailleType" } };
        for (const auto& pair : pairs) {
            QTest::newRow(pair.first) << pair.first << pair.second;
        }
    }

    void valueListsFollowEnumerations()
    {
        QFETCH(QString, list);
        QFETCH(QString, enumeration);
        const QByteArray enumName = enumeration.toLatin1();
        const QJsonArray entries = valueList(list);
        QVERIFY2(!entries.isEmpty(), "the list is empty");
        QVERIFY2(entries.size() <= lcm::EnumDetail::metaEnum(enumName.constData()).keyCount(), "too many entries");
        for (int position = 0; position < entries.size(); ++position) {
            const QJsonObject entry = entries.at(position).toObject();
            const int expected = lcm::EnumDetail::valueAt(enumName.constData(), position);
            const QString description = entry.value("description").toString();
            QVERIFY2(entry.value("intValue").toInt(-1) == expected, qPrintable(description));
            QVERIFY2(list != "Region" || enumValue("Region", description) == expected, qPrintable(description));
        }
    }

    // -- Regions and models -----------------------------------------------------------------------

    void paperRegions_data()
    {
        QStringList names = config("paperRegions.json").keys();
        const QMetaEnum regions = lcm::EnumDetail::metaEnum("Region");
        for (int i = 0; i < regions.keyCount(); ++i) {
            names.append(regions.key(i));
        }
        addRows("region", names);
    }

    // A region offers papers with well-formed records. Its first paper is what a layout falls back to when its region
    // changes, whatever the model, so it must be usable on every model.
    void paperRegions()
    {
        QFETCH(QString, region);
        QVERIFY2(enumValue("Region", region) >= 0, "the region is no Region key");
        const QJsonArray papers = config("paperRegions.json").value(region).toArray();
        QVERIFY2(!papers.isEmpty(), "paperRegions.json has no paper list for the region");
        for (const QJsonValue& paper : papers) {
            const QJsonObject record = config("paperList.json").value(paper.toString()).toObject();
            for (const auto& [field, enumeration] : paperEnumFields) {
                QVERIFY2(enumValue(enumeration, record.value(field).toString()) >= 0,
                    qPrintable(paper.toString() + ": " + field));
            }
            for (const char* key : { "inchesWidth", "inchesHeight", "stepLength", "stepLengthFraction" }) {
                QVERIFY2(isWholeNumber(record.value(key).toDouble(NAN)), qPrintable(paper.toString() + ": " + key));
            }
            QVERIFY2(record.value(ls::widthKey).toDouble() > 0 && record.value(ls::heightKey).toDouble() > 0
                    && record.value("printingHeadOffset").isDouble(),
                qPrintable(paper.toString() + ": size or head offset"));
        }
        for (const QString& model : config("embosserList.json").keys()) {
            const QString problem = paperProblem(region, papers.first().toString(), model);
            QVERIFY2(problem.isEmpty(), qPrintable(problem));
        }
    }

    void embosserModels_data()
    {
        QVERIFY(!config("embosserList.json").isEmpty());
        addRows("model", config("embosserList.json").keys());
    }

    // A model's paper limits admit at least one paper some region offers.
    void embosserModels()
    {
        QFETCH(QString, model);
        const QJsonObject record = config("embosserList.json").value(model).toObject();
        for (const auto& limits : { std::make_pair(ls::minPaperWidthKey, ls::maxPaperWidthKey),
                 std::make_pair(ls::minPaperHeightKey, ls::maxPaperHeightKey) }) {
            const double minimum = record.value(limits.first).toDouble(-1);
            QVERIFY2(minimum > 0 && minimum <= record.value(limits.second).toDouble(-1), qPrintable(limits.first));
        }
        bool admitsOne = false;
        for (const QJsonValue& papers : config("paperRegions.json")) {
            for (const QJsonValue& paper : papers.toArray()) {
                admitsOne = admitsOne || paperProblem("Undefined", paper.toString(), model).isEmpty();
            }
        }
        QVERIFY2(admitsOne, "the model takes no paper of the paper list");
    }

    // -- Layouts ----------------------------------------------------------------------------------

    // Every shipped layout, and the defaults of the layout catalog, form a valid layout.
    void layoutValues_data()
    {
        QTest::addColumn<QJsonObject>("layout");
        const QStringList layouts = shippedLayoutFiles();
        QVERIFY(!layouts.isEmpty());
        for (const QString& file : layouts) {
            // A layout of an older firmware has no name; layoutsPassTheService checks it once migrated.
            if (readObject(dataFile(file)).contains("Layout name")) {
                QTest::newRow(qPrintable(file)) << readObject(dataFile(file));
            }
        }
        QTest::newRow("layout defaults") << config("defaultParameters.json").value("layout").toObject();
    }

    void layoutValues()
    {
        QFETCH(QJsonObject, layout);
        QVERIFY(!layout.isEmpty());
        const QStringList problems = layoutValueProblems(layout);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n    ")));
    }

    void layoutsFitTheirModels_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("model");
        for (const QString& file : shippedLayoutFiles()) {
            for (const QString& model : modelsServedBy(file)) {
                QTest::newRow(qPrintable(file + " on " + model)) << file << model;
            }
        }
    }

    void layoutsFitTheirModels()
    {
        QFETCH(QString, file);
        QFETCH(QString, model);
        const QJsonObject machine = config("embosserList.json").value(model).toObject();
        const QJsonObject layout = readObject(dataFile(file));
        const QString paper
            = paperProblem(layout.value("Region").toString(), layout.value(ls::paperSizeKey).toString(), model);
        QVERIFY2(paper.isEmpty(), qPrintable(paper));
        const QJsonObject entry = entryOf(valueList("Duplexing"), layout.value("Duplexing").toString());
        // A "|"-separated requirement of a duplexing mode admits "Any" model or the named ones.
        const auto admits = [&](const QString& key) {
            const QStringList parts = entry.value(key).toString().split('|');
            return !entry.contains(key) || parts.contains("Any") || parts.contains(machine.value(key).toString());
        };
        QVERIFY2(admits(ls::eFeedTypeKey) && admits(ls::eHeadTypeKey), "the duplexing mode needs another feed or head");
        QVERIFY2(entry.value(ls::eValidateCommandKey).toString() != "ModelIsDoubleSided"
                || enumValue("EmbosserType", machine.value("eEmbosserType").toString()) != 11,
            "a double-sided duplexing mode on the one single-sided type (11)");
    }

    // The service's own rules over every shipped layout on each model it serves, after the
    // migration of the start-up: the layout validates, and its page takes its lines and
    // characters. Old layouts among them must migrate into valid ones.
    void layoutsPassTheService_data() { layoutsFitTheirModels_data(); }

    void layoutsPassTheService()
    {
        QFETCH(QString, file);
        QFETCH(QString, model);
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
        QVERIFY(m_reader.readToMap(dataFile(file), data));
        LayoutEntity layout(context, data);
        layout.update();
        QVERIFY2(layout.validate(), "the layout fails the service's validation (see the log line above)");
        const QVariantMap page = layout.supplyExtraProperties();
        QVERIFY2(page.value("Max lines").toInt() >= 1 && page.value("Max characters").toInt() >= 1, "no page");
        QVERIFY2(layout.getInt("Line per page") <= page.value("Max lines").toInt()
                && layout.getInt("Characters per line") <= page.value("Max characters").toInt(),
            qPrintable(QStringLiteral("%1 lines of %2 on a page of %3 of %4")
                           .arg(layout.getInt("Line per page"))
                           .arg(layout.getInt("Characters per line"))
                           .arg(page.value("Max lines").toInt())
                           .arg(page.value("Max characters").toInt())));
    }

    // -- Braille tables of a fresh root, and escape parameters -------------------------------------

    // Every liblouis table has a dot count and a status, a replaced one an active successor; both
    // lists have an active table to offer, besides the two user table slots.
    void liblouisTables()
    {
        const QStringList languages = QDir(rootFile(liblouisMetadataDir)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY2(!languages.isEmpty(), "a fresh root has no liblouis metadata");
        QSet<QString> activeDots;
        for (const QString& language : languages) {
            const QJsonObject tables = liblouisLanguage(language);
            QVERIFY2(!tables.isEmpty(), qPrintable(language + " has no table"));
            for (auto it = tables.begin(); it != tables.end(); ++it) {
                const QJsonObject entry = it.value().toObject();
                const QString status = entry.value("status:").toString();
                const QString dots = entry.value("dots:").toString();
                const QString table = language + '/' + it.key();
                QVERIFY2(dots == "6" || dots == "8", qPrintable(table + ": dots " + dots));
                QVERIFY2(status == "active" || status == "not defined" || status == "replaced",
                    qPrintable(table + ": status " + status));
                QVERIFY2(status != "replaced"
                        || liblouisEntry(entry.value("replaced-by:").toString()).value("status:").toString()
                            == "active",
                    qPrintable(table + " is replaced by a table that is not active"));
                if (status == "active") {
                    activeDots.insert(dots);
                }
            }
        }
        QVERIFY2(activeDots.contains("6"), "no active 6-dot liblouis table");
        QVERIFY2(activeDots.contains("8"), "no active 8-dot liblouis table");
        QCOMPARE(liblouisEntry("UserDefined/grade0_6dot").value("dots:").toString(), QStringLiteral("6"));
        QCOMPARE(liblouisEntry("UserDefined/grade0_8dot").value("dots:").toString(), QStringLiteral("8"));
    }

    // Each legacy table has an active metadata entry whose dot count is the one its header reads
    // as, and each entry a file; both lists have a table to offer.
    void legacyTables()
    {
        QSet<int> allDots;
        const QDir top(rootFile(legacyTablesDir));
        for (const QString& language : top.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QJsonObject metadata = readObject(top.filePath(language + '/' + language + ".json"));
            const QStringList files = QDir(top.filePath(language)).entryList({ "*.ebc" }, QDir::Files, QDir::Name);
            QCOMPARE(metadata.keys(), files);
            for (const QString& file : files) {
                const QJsonObject entry = metadata.value(file).toObject();
                const int dots = legacyTableDots(top.filePath(language + '/' + file));
                QVERIFY2(entry.value("dots:").toString() == QString::number(dots)
                        && entry.value(ls::tableFileKey).toString() == language + '/' + file
                        && entry.value("status:").toString() == "active",
                    qPrintable(file));
                allDots.insert(dots);
            }
        }
        QVERIFY(allDots.contains(6) && allDots.contains(8));
    }

    // The document settings groups map codes to tables that exist, one code per table.
    void docSettingGroups_data()
    {
        QVERIFY(!config("docSettingList.json").isEmpty());
        addRows("group", config("docSettingList.json").keys());
    }

    void docSettingGroups()
    {
        QFETCH(QString, group);
        const QJsonObject record = config("parameterList.json").value(group).toObject();
        QVERIFY2(record.value("eValueType").toString() == "Listing", "the group is no table parameter of the layouts");
        const bool legacy = record.value("eValueList").toString() == "BrailleLanguage";
        const QJsonObject entries = config("docSettingList.json").value(group).toObject();
        QVERIFY2(!entries.isEmpty(), "the group is empty");
        QSet<int> codes;
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            const int code = it.value().toInt(-1);
            QVERIFY2(code >= 0 && !codes.contains(code), qPrintable(it.key() + ": code negative or taken"));
            codes.insert(code);
            QVERIFY2(legacy ? legacyTableDots(rootFile(legacyTablesDir + '/' + it.key())) > 0
                            : liblouisEntry(it.key()).value("status:").toString() == "active",
                qPrintable(it.key() + " is not a table of a fresh root"));
        }
    }

    // Every identifier of an escape family maps to exactly one parameter of the catalog it names.
    void escapeParameters()
    {
        for (const auto& [escapeType, identifiers] : { std::make_pair(ls::EscapeTypes::ESC_C, ls::ESC_C::meta.keys()),
                 std::make_pair(ls::EscapeTypes::ESC_D, ls::ESC_D::meta.keys()) }) {
            const QJsonObject entries = config("escapeParameters.json").value(escapeType).toObject();
            QVERIFY2(!entries.isEmpty(), qPrintable(QString(escapeType)));
            QStringList used;
            for (auto it = entries.begin(); it != entries.end(); ++it) {
                const QJsonObject entry = it.value().toObject();
                const QString identifier = entry.value("ESCIdentifier").toString();
                QVERIFY2(entry.value("ESCParamName").toString() == it.key()
                        && definitionsOf(entry.value("catalog").toString()).contains(it.key()),
                    qPrintable(it.key() + " is not named after a parameter of its catalog"));
                QVERIFY2(identifiers.contains(identifier) && !used.contains(identifier),
                    qPrintable(it.key() + ": identifier \"" + identifier + "\" is not of the family, or taken"));
                used.append(identifier);
            }
            QCOMPARE(used.size(), identifiers.size());
        }
    }
};

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
