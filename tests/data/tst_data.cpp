// The shipped data set and the generated parts of a fresh root: every file parses, and the files
// agree with each other, with the protocol enumerations of lcm::EnumDetail and with the id
// families of the framework. The tests check relations, never particular values, so that a
// changed data set passes as long as it stays consistent.
#include "TestRoot.h"
#include "lcm/EnumDetail.h"
#include "ls/DoubleValueParamId.h"
#include "ls/ESC_C.h"
#include "ls/ESC_D.h"
#include "ls/EscapeTypes.h"
#include "ls/IntValueDeltaParamId.h"
#include "ls/IntValueParamId.h"
#include "ls/Keys.h"
#include "ls/ReleaseTimeId.h"
#include "ls/SensorStateId.h"
#include "ls/SensorValueId.h"

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

// The flash memory fields the service can mirror a parameter into (the EEPROM field table of
// the system utilities).
const QStringList eepromKeys = {
    QStringLiteral("printer.hw.model"),
    QStringLiteral("printer.hw.serial"),
    QStringLiteral("printer.hw.hammerBatch"),
    QStringLiteral("printer.hw.adjustOuterClosedPos"),
    QStringLiteral("printer.hw.adjustInnerClosedPos"),
    QStringLiteral("printer.hw.adjustOuterOpenPos"),
    QStringLiteral("printer.hw.adjustInnerOpenPos"),
    QStringLiteral("printer.hw.printHeadSensorExists"),
    QStringLiteral("printer.hw.archForSlave"),
    QStringLiteral("system.update-manager.last-update"),
    QStringLiteral("printer.slave.tray.maxCurrent"),
};

// The catalogs whose values live in a topic settings file of the same name; "arch" lives in the
// slave directory, the others in the state directory.
const QStringList fileBackedCatalogs = {
    QStringLiteral("arch"),
    QStringLiteral("counters"),
    QStringLiteral("embosserConf"),
    QStringLiteral("embosserhead"),
    QStringLiteral("hammerDelta"),
    QStringLiteral("parameters"),
    QStringLiteral("serialCom"),
    QStringLiteral("speech"),
};

// Parameters of "parameters" stored as a yes/no text rather than a number.
const QStringList yesNoParameters = {
    QStringLiteral("Use adjustable linespacing"),
    QStringLiteral("Wait before printing next document"),
};

// A legacy table is a fixed-size file; its type field (the eighth 50-byte text field after the
// 4-byte word) says "8 DOT" for 8-dot tables. The service reads a file into a zeroed buffer of
// the full size, so a short file reads as far as it goes.
constexpr int legacyTableSize = 3108;
constexpr int legacyTypeValueOffset = 4 + 8 * 50;
constexpr int legacyFieldSize = 50;

// Embosser type 11 is the one single-sided model.
constexpr int singleSidedEmbosserType = 11;

QString machinePath(const QString& catalog)
{
    return catalog == QLatin1String("arch") ? QStringLiteral("var/lib/slave/arch")
                                            : stateDir + QLatin1Char('/') + catalog;
}

// Files of the tree that are JSON by their role, whatever their name.
bool isJsonFile(const QString& relative)
{
    static const QStringList jsonTrees
        = { stateDir + QLatin1Char('/'), QStringLiteral("backup/embosser/"), distributorDir + QLatin1Char('/') };
    if (relative.endsWith(QLatin1String(".json")) || relative == machinePath(QStringLiteral("arch"))) {
        return true;
    }
    for (const QString& tree : jsonTrees) {
        if (relative.startsWith(tree)) {
            return true;
        }
    }
    return relative.startsWith(hammerBatchRoot + QLatin1Char('/'))
        && relative.contains(QLatin1String("/hammer_batch/"));
}

QStringList filesBelow(const QString& top, const QString& subDir = QString())
{
    QStringList files;
    const QDir topDir(top);
    QDirIterator it(subDir.isEmpty() ? top : top + QLatin1Char('/') + subDir, QDir::Files | QDir::Hidden,
        QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(topDir.relativeFilePath(it.next()));
    }
    files.sort();
    return files;
}

QJsonObject readObject(const QString& path, QString* problem = nullptr)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem) {
            *problem = QStringLiteral("cannot open %1").arg(path);
        }
        return {};
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        if (problem) {
            *problem = QStringLiteral("%1 at offset %2").arg(error.errorString()).arg(error.offset);
        }
        return {};
    }
    if (!document.isObject()) {
        if (problem) {
            *problem = QStringLiteral("the top level is not an object");
        }
        return {};
    }
    return document.object();
}

// The value of `key` in the named enumeration of lcm::EnumDetail; `ok` says whether it is one.
int enumValue(const char* enumeration, const QString& key, bool* ok)
{
    *ok = false;
    const QMetaEnum meta = lcm::EnumDetail::metaEnum(enumeration);
    if (!meta.isValid() || key.isEmpty()) {
        return -1;
    }
    return meta.keyToValue(key.toLatin1().constData(), ok);
}

bool isEnumKey(const char* enumeration, const QString& key)
{
    bool ok = false;
    enumValue(enumeration, key, &ok);
    return ok;
}

QString show(const QJsonValue& value)
{
    if (value.isString()) {
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    }
    if (value.isUndefined()) {
        return QStringLiteral("(absent)");
    }
    return QString::fromUtf8(QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

bool isWholeNumber(double value)
{
    return std::isfinite(value) && std::trunc(value) == value;
}

// Why `value` does not fit the definition of a catalog parameter ("type" and the optional
// "minValue"/"maxValue"); empty when it fits. The two global switches of the temporary catalog
// are the only "bool" parameters.
QString catalogValueProblem(const QJsonObject& definition, const QJsonValue& value)
{
    const QString type = definition.value(QLatin1String("type")).toString();
    bool fits = false;
    if (type == QLatin1String("int")) {
        fits = value.isDouble() && isWholeNumber(value.toDouble());
    } else if (type == QLatin1String("double")) {
        fits = value.isDouble();
    } else if (type == QLatin1String("QString")) {
        fits = value.isString();
    } else if (type == QLatin1String("bool")) {
        fits = value.isBool();
    } else {
        return QStringLiteral("unknown type %1").arg(show(definition.value(QLatin1String("type"))));
    }
    if (!fits) {
        return QStringLiteral("%1 is not of type %2").arg(show(value), type);
    }
    if (value.isDouble()) {
        const QJsonValue minimum = definition.value(QLatin1String("minValue"));
        const QJsonValue maximum = definition.value(QLatin1String("maxValue"));
        if ((minimum.isDouble() && value.toDouble() < minimum.toDouble())
            || (maximum.isDouble() && value.toDouble() > maximum.toDouble())) {
            return QStringLiteral("%1 is outside [%2, %3]").arg(show(value), show(minimum), show(maximum));
        }
    }
    return {};
}

QString joinProblems(const QStringList& problems)
{
    return problems.join(QLatin1String("\n    "));
}

// The entry of a value list whose "description" is `description`; empty when none.
QJsonObject entryOf(const QJsonArray& list, const QString& description)
{
    for (const QJsonValue& entry : list) {
        if (entry.toObject().value(QLatin1String("description")).toString() == description) {
            return entry.toObject();
        }
    }
    return {};
}

// A "|"-separated requirement of a duplexing entry admits a model when it is absent or names
// "Any" or the model's own key.
bool requirementAdmits(const QJsonObject& entry, const QString& key, const QString& modelValue)
{
    if (!entry.contains(key)) {
        return true;
    }
    const QStringList parts = entry.value(key).toString().split(QLatin1Char('|'));
    return parts.contains(QLatin1String("Any")) || parts.contains(modelValue);
}

bool isFoldingMode(const QString& duplexing)
{
    return duplexing.contains(QLatin1String("booklet")) || duplexing.contains(QLatin1String("z-folding"));
}

QString modelFolder(const QString& model)
{
    return QString(model).replace(QLatin1Char(' '), QLatin1Char('_'));
}

// The dot count a legacy table reads as, -1 when it cannot be read.
int legacyTableDots(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    QByteArray buffer(legacyTableSize, '\0');
    const QByteArray content = file.read(legacyTableSize);
    buffer.replace(0, content.size(), content);
    QByteArray field = buffer.mid(legacyTypeValueOffset, legacyFieldSize);
    const int end = field.indexOf('\0');
    if (end >= 0) {
        field.truncate(end);
    }
    return field == "8 DOT" ? 8 : 6;
}

} // namespace

class TestData : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestRoot> m_root;
    QString m_data;
    QHash<QString, QJsonObject> m_config;

    QString dataFile(const QString& relative) const { return m_data + QLatin1Char('/') + relative; }
    QString rootFile(const QString& relative) const { return m_root->path() + QLatin1Char('/') + relative; }

    // A data file of the configuration directory, parsed once; empty when it does not parse
    // (jsonFilesParse names the reason).
    const QJsonObject& config(const QString& name)
    {
        auto it = m_config.find(name);
        if (it == m_config.end()) {
            it = m_config.insert(name, readObject(dataFile(configDir + QLatin1Char('/') + name)));
        }
        return it.value();
    }

    QJsonObject definitionsOf(const QString& catalog)
    {
        return config(QStringLiteral("propertyList.json")).value(catalog).toObject();
    }

    QJsonArray valueList(const QString& name) { return config(QStringLiteral("valueList.json")).value(name).toArray(); }

    QString shippedModel() const
    {
        return readObject(dataFile(machinePath(QStringLiteral("embosserConf"))))
            .value(QLatin1String("Model"))
            .toString();
    }

    QString modelOfFolder(const QString& folder)
    {
        const QJsonObject models = config(QStringLiteral("embosserList.json"));
        for (auto it = models.begin(); it != models.end(); ++it) {
            if (modelFolder(it.key()) == folder) {
                return it.key();
            }
        }
        return {};
    }

    // The models a shipped layout file is meant for: the working layouts serve the shipped
    // model, a model folder its model, and a common factory layout every model whose folder
    // lacks that number (the factory reset takes the model's own file first).
    QStringList modelsServedBy(const QString& relative)
    {
        const QStringList parts = relative.split(QLatin1Char('/'));
        if (relative.startsWith(stateDir + QLatin1Char('/'))) {
            return { shippedModel() };
        }
        if (relative.startsWith(factoryDir + QLatin1Char('/')) && parts.size() == 4) {
            QStringList models;
            const QJsonObject all = config(QStringLiteral("embosserList.json"));
            for (auto it = all.begin(); it != all.end(); ++it) {
                if (!QFileInfo::exists(dataFile(
                        factoryDir + QLatin1Char('/') + modelFolder(it.key()) + QLatin1Char('/') + parts.last()))) {
                    models.append(it.key());
                }
            }
            return models;
        }
        const int folderIndex = relative.startsWith(factoryDir + QLatin1Char('/')) ? 3 : 4;
        const QString model = modelOfFolder(parts.value(folderIndex));
        return { model.isEmpty() ? QStringLiteral("(no model for folder %1)").arg(parts.value(folderIndex)) : model };
    }

    QStringList shippedLayoutFiles() const
    {
        QStringList layouts;
        for (const QString& tree : { stateDir, factoryDir, distributorDir }) {
            for (const QString& file : filesBelow(m_data, tree)) {
                if (QFileInfo(file).fileName().startsWith(QLatin1String("layout."))) {
                    layouts.append(file);
                }
            }
        }
        return layouts;
    }

    // The liblouis metadata entry of "<language>/<table>" in the fresh root; empty when none.
    QJsonObject liblouisEntry(const QString& table) const
    {
        const QStringList parts = table.split(QLatin1Char('/'));
        if (parts.size() != 2) {
            return {};
        }
        return readObject(rootFile(QStringLiteral("%1/%2/%2.json").arg(liblouisMetadataDir, parts.first())))
            .value(parts.last())
            .toObject();
    }

    // Why `paper` cannot be used in `region` on `model` (the paper validity rule of the paper
    // settings, plus the model's paper size limits); empty when it can.
    QString paperProblem(const QString& region, const QString& paper, const QString& model)
    {
        const QJsonObject record = config(QStringLiteral("paperList.json")).value(paper).toObject();
        const QJsonObject machine = config(QStringLiteral("embosserList.json")).value(model).toObject();
        if (record.isEmpty()) {
            return QStringLiteral("paper \"%1\" is not in paperList.json").arg(paper);
        }
        if (machine.isEmpty()) {
            return QStringLiteral("model \"%1\" is not in embosserList.json").arg(model);
        }
        if (region != QLatin1String("Undefined") && region != QLatin1String("World")
            && !config(QStringLiteral("paperRegions.json")).value(region).toArray().contains(paper)) {
            return QStringLiteral("paper \"%1\" is not listed for region \"%2\"").arg(paper, region);
        }
        const QString paperFeed = record.value(ls::eFeedTypeKey).toString();
        const QString modelFeed = machine.value(ls::eFeedTypeKey).toString();
        if (paperFeed != QLatin1String("Any") && paperFeed != modelFeed) {
            return QStringLiteral("paper \"%1\" needs feed %2, %3 has %4").arg(paper, paperFeed, model, modelFeed);
        }
        bool paperOk = false;
        bool modelOk = false;
        const int paperMask = enumValue("ModelMask", record.value(QLatin1String("eModelMask")).toString(), &paperOk);
        const int modelMask = enumValue("ModelMask", machine.value(QLatin1String("eModelMask")).toString(), &modelOk);
        if (!paperOk || !modelOk || (paperMask & modelMask) == 0) {
            return QStringLiteral("paper \"%1\" (mask %2) is not for %3 (mask %4)")
                .arg(paper, record.value(QLatin1String("eModelMask")).toString(), model,
                    machine.value(QLatin1String("eModelMask")).toString());
        }
        const double width = record.value(ls::widthKey).toDouble();
        const double height = record.value(ls::heightKey).toDouble();
        if (width < machine.value(ls::minPaperWidthKey).toDouble()
            || width > machine.value(ls::maxPaperWidthKey).toDouble()
            || height < machine.value(ls::minPaperHeightKey).toDouble()
            || height > machine.value(ls::maxPaperHeightKey).toDouble()) {
            return QStringLiteral("paper \"%1\" (%2 x %3 mm) is outside the size limits of %4")
                .arg(paper)
                .arg(width)
                .arg(height)
                .arg(model);
        }
        return {};
    }

    // Why a layout (parameter name -> value) does not hold exactly the stored parameters with
    // valid values; empty when it does.
    QStringList layoutValueProblems(const QJsonObject& layout)
    {
        QStringList problems;
        const QJsonObject parameters = config(QStringLiteral("parameterList.json"));
        const QString dotsText = layout.value(QLatin1String("Braille cell dots")).toString();
        const int dots = entryOf(valueList(QStringLiteral("BrailleCellDots")), dotsText)
                             .value(QLatin1String("intValue"))
                             .toInt(-1);
        for (auto it = parameters.begin(); it != parameters.end(); ++it) {
            const QJsonObject record = it.value().toObject();
            if (it.key() == metadataKey || !record.value(QLatin1String("stored")).toBool()) {
                continue;
            }
            const QJsonValue value = layout.value(it.key());
            if (value.isUndefined()) {
                problems.append(QStringLiteral("stored parameter \"%1\" is missing").arg(it.key()));
                continue;
            }
            const QString type = record.value(QLatin1String("eValueType")).toString();
            const QString list = record.value(QLatin1String("eValueList")).toString();
            if (type == QLatin1String("TableRow")) {
                if (entryOf(valueList(list), value.toString()).isEmpty() || !value.isString()) {
                    problems.append(
                        QStringLiteral("\"%1\" = %2 is not in value list %3").arg(it.key(), show(value), list));
                } else if (list == QLatin1String("PaperSize")
                    && !config(QStringLiteral("paperList.json")).contains(value.toString())) {
                    problems.append(QStringLiteral("paper %1 is not in paperList.json").arg(show(value)));
                }
            } else if (type == QLatin1String("Listing") && list == QLatin1String("BrailleLanguage")) {
                const int tableDots = legacyTableDots(rootFile(legacyTablesDir + QLatin1Char('/') + value.toString()));
                if (tableDots < 0) {
                    problems.append(QStringLiteral("legacy table %1 does not exist").arg(show(value)));
                } else if (tableDots != dots) {
                    problems.append(QStringLiteral("legacy table %1 has %2 dots, the layout %3")
                                        .arg(show(value))
                                        .arg(tableDots)
                                        .arg(dotsText));
                }
            } else if (type == QLatin1String("Listing") && list == QLatin1String("LiblouisTable")) {
                const QJsonObject entry = liblouisEntry(value.toString());
                if (entry.value(QLatin1String("status:")).toString() != QLatin1String("active")) {
                    problems.append(QStringLiteral("liblouis table %1 is not an active table").arg(show(value)));
                } else if (entry.value(QLatin1String("dots:")).toString().toInt() != dots) {
                    problems.append(QStringLiteral("liblouis table %1 has %2 dots, the layout %3")
                                        .arg(show(value), entry.value(QLatin1String("dots:")).toString(), dotsText));
                }
            } else if (type == QLatin1String("Numeric")) {
                bool ok = value.isDouble();
                const double number = ok ? value.toDouble() : value.toString().toDouble(&ok);
                const double minimum = record.value(QLatin1String("minValue")).toDouble();
                const double maximum = record.value(QLatin1String("maxValue")).toDouble();
                if (!ok) {
                    problems.append(QStringLiteral("\"%1\" = %2 is not a number").arg(it.key(), show(value)));
                } else if (number < minimum || number > maximum) {
                    problems.append(QStringLiteral("\"%1\" = %2 is outside [%3, %4]")
                                        .arg(it.key(), show(value))
                                        .arg(minimum)
                                        .arg(maximum));
                } else if (record.value(QLatin1String("precision")).toInt() == 0 && !isWholeNumber(number)) {
                    problems.append(
                        QStringLiteral("\"%1\" = %2 is not whole (precision 0)").arg(it.key(), show(value)));
                }
            } else if (type == QLatin1String("String") && !value.isString()) {
                problems.append(QStringLiteral("\"%1\" = %2 is not a text").arg(it.key(), show(value)));
            }
        }
        for (auto it = layout.begin(); it != layout.end(); ++it) {
            if (!parameters.value(it.key()).toObject().value(QLatin1String("stored")).toBool()) {
                problems.append(QStringLiteral("\"%1\" is not a stored layout parameter").arg(it.key()));
            }
        }
        const QString folding = layout.value(QLatin1String("Folding line")).toString();
        const QJsonObject foldingEntry = entryOf(valueList(QStringLiteral("FoldingLine")), folding);
        if (foldingEntry.value(ls::eValidateCommandKey).toString() == QLatin1String("DuplexingIsFolding")
            && !isFoldingMode(layout.value(QLatin1String("Duplexing")).toString())) {
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
        QVERIFY2(QFileInfo(dataFile(configDir)).isDir(), qPrintable(m_data + QStringLiteral(" holds no data set")));
    }

    // -- Files ------------------------------------------------------------------------------

    void jsonFilesParse_data()
    {
        QTest::addColumn<QString>("path");
        for (const QString& file : filesBelow(m_data)) {
            if (isJsonFile(file)) {
                QTest::newRow(qPrintable(QStringLiteral("data/") + file)) << dataFile(file);
            }
        }
        for (const QString& file : filesBelow(m_root->path())) {
            if (isJsonFile(file)) {
                QTest::newRow(qPrintable(QStringLiteral("root/") + file)) << rootFile(file);
            }
        }
    }

    void jsonFilesParse()
    {
        QFETCH(QString, path);
        QString problem;
        readObject(path, &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void dataFilesEqualBackup_data()
    {
        QTest::addColumn<QString>("name");
        QSet<QString> names;
        for (const QString& dir : { configDir, configDir + QStringLiteral("/backup") }) {
            for (const QFileInfo& file : QDir(dataFile(dir)).entryInfoList(QDir::Files)) {
                names.insert(file.fileName());
            }
        }
        QStringList sorted = names.values();
        sorted.sort();
        for (const QString& name : sorted) {
            QTest::newRow(qPrintable(name)) << name;
        }
    }

    void dataFilesEqualBackup()
    {
        QFETCH(QString, name);
        QFile working(dataFile(configDir + QLatin1Char('/') + name));
        QFile backup(dataFile(configDir + QStringLiteral("/backup/") + name));
        QVERIFY2(working.open(QIODevice::ReadOnly), "no working copy in the data directory");
        QVERIFY2(backup.open(QIODevice::ReadOnly), "no copy in the backup directory");
        QVERIFY2(working.readAll() == backup.readAll(), "the backup copy differs from the working copy");
    }

    // Every working file of the machine can be put back by a factory reset.
    void workingFilesHaveFactoryCopies_data()
    {
        QTest::addColumn<QString>("name");
        for (const QFileInfo& file : QDir(rootFile(stateDir)).entryInfoList(QDir::Files)) {
            QTest::newRow(qPrintable(file.fileName())) << file.fileName();
        }
        QTest::newRow("arch") << QStringLiteral("arch");
    }

    void workingFilesHaveFactoryCopies()
    {
        QFETCH(QString, name);
        QVERIFY2(QFileInfo(rootFile(factoryDir + QLatin1Char('/') + name)).isFile(),
            qPrintable(QStringLiteral("a fresh root has no %1/%2").arg(factoryDir, name)));
    }

    // -- Parameter definitions and defaults -------------------------------------------------------

    void catalogDefaults_data()
    {
        QTest::addColumn<QString>("catalog");
        QStringList catalogs = config(QStringLiteral("propertyList.json")).keys();
        for (const QString& catalog : config(QStringLiteral("defaultParameters.json")).keys()) {
            if (!catalogs.contains(catalog)) {
                catalogs.append(catalog);
            }
        }
        QVERIFY(!catalogs.isEmpty());
        for (const QString& catalog : catalogs) {
            QTest::newRow(qPrintable(catalog)) << catalog;
        }
    }

    void catalogDefaults()
    {
        QFETCH(QString, catalog);
        const QJsonObject definitions = definitionsOf(catalog);
        const QJsonValue defaultsValue = config(QStringLiteral("defaultParameters.json")).value(catalog);
        const QJsonObject defaults = defaultsValue.toObject();
        QVERIFY2(config(QStringLiteral("propertyList.json")).value(catalog).isObject(),
            "the catalog is not an object of propertyList.json");
        QVERIFY2(defaultsValue.isObject(), "the catalog is not an object of defaultParameters.json");
        QStringList problems;
        for (auto it = definitions.begin(); it != definitions.end(); ++it) {
            const QJsonObject definition = it.value().toObject();
            if (!it.value().isObject()) {
                problems.append(QStringLiteral("\"%1\": the definition is not an object").arg(it.key()));
                continue;
            }
            if (definition.value(QLatin1String("catalog")).toString() != catalog) {
                problems.append(QStringLiteral("\"%1\": \"catalog\" is %2")
                                    .arg(it.key(), show(definition.value(QLatin1String("catalog")))));
            }
            if (!defaults.contains(it.key())) {
                problems.append(QStringLiteral("\"%1\": no default").arg(it.key()));
                continue;
            }
            const QString problem = catalogValueProblem(definition, defaults.value(it.key()));
            if (!problem.isEmpty()) {
                problems.append(QStringLiteral("\"%1\": default %2").arg(it.key(), problem));
            }
        }
        for (auto it = defaults.begin(); it != defaults.end(); ++it) {
            if (!definitions.contains(it.key())) {
                problems.append(
                    QStringLiteral("\"%1\": a default for a parameter the catalog does not define").arg(it.key()));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // The flat definitions map and the escape handler find a parameter by its name alone.
    void parameterNamesAreUnique()
    {
        const QJsonObject catalogs = config(QStringLiteral("propertyList.json"));
        QHash<QString, QString> owner;
        QStringList problems;
        for (auto catalog = catalogs.begin(); catalog != catalogs.end(); ++catalog) {
            const QJsonObject definitions = catalog.value().toObject();
            for (auto it = definitions.begin(); it != definitions.end(); ++it) {
                if (owner.contains(it.key())) {
                    problems.append(QStringLiteral("\"%1\" is defined in %2 and %3")
                                        .arg(it.key(), owner.value(it.key()), catalog.key()));
                }
                owner.insert(it.key(), catalog.key());
            }
        }
        QVERIFY(!owner.isEmpty());
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    void systemInfoParams_data()
    {
        QTest::addColumn<QString>("catalog");
        for (const QString& catalog : config(QStringLiteral("propertyList.json")).keys()) {
            QTest::newRow(qPrintable(catalog)) << catalog;
        }
    }

    void systemInfoParams()
    {
        QFETCH(QString, catalog);
        const QJsonObject definitions = definitionsOf(catalog);
        QStringList problems;
        for (auto it = definitions.begin(); it != definitions.end(); ++it) {
            const QJsonValue key = it.value().toObject().value(QLatin1String("systemInfoParam"));
            if (key.isUndefined() || key.toString().compare(QLatin1String("null"), Qt::CaseInsensitive) == 0) {
                continue;
            }
            if (!key.isString() || !eepromKeys.contains(key.toString())) {
                problems.append(
                    QStringLiteral("\"%1\": \"systemInfoParam\" %2 is no EEPROM field key").arg(it.key(), show(key)));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // One flash field mirrors one parameter: two would overwrite each other at every start.
    void eepromFieldsMirrorOneParameter()
    {
        const QJsonObject catalogs = config(QStringLiteral("propertyList.json"));
        QHash<QString, QString> mirrored;
        QStringList problems;
        for (auto catalog = catalogs.begin(); catalog != catalogs.end(); ++catalog) {
            const QJsonObject definitions = catalog.value().toObject();
            for (auto it = definitions.begin(); it != definitions.end(); ++it) {
                const QString key = it.value().toObject().value(QLatin1String("systemInfoParam")).toString();
                if (!eepromKeys.contains(key)) {
                    continue;
                }
                if (mirrored.contains(key)) {
                    problems.append(
                        QStringLiteral("%1 mirrors both \"%2\" and \"%3\"").arg(key, mirrored.value(key), it.key()));
                }
                mirrored.insert(key, it.key());
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // The framework's id families name catalog parameters of a fixed catalog and type.
    void idFamiliesNameParameters_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("type");
        QTest::newRow("IntValueParamId") << ls::IntValueParamId::meta.keys() << "embosserhead"
                                         << "int";
        QTest::newRow("DoubleValueParamId") << ls::DoubleValueParamId::meta.keys() << "embosserhead"
                                            << "double";
        QTest::newRow("IntValueDeltaParamId") << ls::IntValueDeltaParamId::meta.keys() << "hammerDelta"
                                              << "int";
        QTest::newRow("ReleaseTimeId") << ls::ReleaseTimeId::meta.keys() << "parameters"
                                       << "int";
        QTest::newRow("SensorStateId") << ls::SensorStateId::meta.keys() << "parameters"
                                       << "QString";
    }

    void idFamiliesNameParameters()
    {
        QFETCH(QStringList, ids);
        QFETCH(QString, catalog);
        QFETCH(QString, type);
        QVERIFY(!ids.isEmpty());
        const QJsonObject definitions = definitionsOf(catalog);
        QStringList problems;
        for (const QString& id : ids) {
            if (!definitions.contains(id)) {
                problems.append(QStringLiteral("\"%1\" is not a parameter of %2").arg(id, catalog));
            } else if (definitions.value(id).toObject().value(QLatin1String("type")).toString() != type) {
                problems.append(QStringLiteral("\"%1\" is not of type %2").arg(id, type));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // Sensor states read "off" only for the off text, the two yes/no switches "no" only for the
    // no text: every stored form must be one of the two texts.
    void switchTexts_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QJsonObject>("values");
        QTest::newRow("defaultParameters.json")
            << "defaultParameters.json"
            << config(QStringLiteral("defaultParameters.json")).value(QLatin1String("parameters")).toObject();
        QTest::newRow("parameters") << "parameters" << readObject(dataFile(machinePath(QStringLiteral("parameters"))));
        QTest::newRow("userSettings") << "userSettings"
                                      << readObject(dataFile(stateDir + QStringLiteral("/userSettings")));
    }

    void switchTexts()
    {
        QFETCH(QJsonObject, values);
        QVERIFY(!values.isEmpty());
        QStringList problems;
        auto check = [&](const QString& name, const QStringList& texts) {
            if (values.contains(name) && !texts.contains(values.value(name).toString())) {
                problems.append(QStringLiteral("\"%1\" = %2 is not one of %3")
                                    .arg(name, show(values.value(name)), texts.join(QLatin1Char('/'))));
            }
        };
        for (const QString& sensor : ls::SensorStateId::meta.keys()) {
            check(sensor, { ls::SensorValueId::OnValueKey, ls::SensorValueId::OffValueKey });
        }
        for (const QString& name : yesNoParameters) {
            check(name, { ls::SensorValueId::YesValueKey, ls::SensorValueId::NoValueKey });
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // -- Machine settings files -------------------------------------------------------------------

    void machineFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("catalog");
        for (const QString& catalog : fileBackedCatalogs) {
            QTest::newRow(qPrintable(machinePath(catalog))) << machinePath(catalog) << catalog;
        }
        // Not read by the service at start-up, but shipped in catalog form all the same.
        QTest::newRow("var/lib/embosser/network") << QStringLiteral("var/lib/embosser/network") << "network";
    }

    void machineFiles()
    {
        QFETCH(QString, file);
        QFETCH(QString, catalog);
        QString problem;
        const QJsonObject values = readObject(dataFile(file), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const QJsonObject definitions = definitionsOf(catalog);
        QVERIFY2(
            !definitions.isEmpty(), qPrintable(QStringLiteral("propertyList.json has no catalog %1").arg(catalog)));
        QStringList problems;
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (!definitions.contains(it.key())) {
                problems.append(QStringLiteral("\"%1\" is not a parameter of %2").arg(it.key(), catalog));
                continue;
            }
            const QString valueProblem = catalogValueProblem(definitions.value(it.key()).toObject(), it.value());
            if (!valueProblem.isEmpty()) {
                problems.append(QStringLiteral("\"%1\": %2").arg(it.key(), valueProblem));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // The user settings file holds, as texts, exactly the parameters marked as user settings;
    // a missing one is reported at every restore.
    void userSettingsFile()
    {
        QString problem;
        const QJsonObject values = readObject(dataFile(stateDir + QStringLiteral("/userSettings")), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QStringList problems;
        QSet<QString> marked;
        for (const QString& catalog : fileBackedCatalogs) {
            const QJsonObject definitions = definitionsOf(catalog);
            for (auto it = definitions.begin(); it != definitions.end(); ++it) {
                const QJsonObject definition = it.value().toObject();
                if (!definition.value(QLatin1String("saveUserSettings")).toBool()) {
                    continue;
                }
                marked.insert(it.key());
                const QJsonValue value = values.value(it.key());
                const QString type = definition.value(QLatin1String("type")).toString();
                bool ok = value.isString();
                if (ok && type == QLatin1String("int")) {
                    value.toString().toInt(&ok);
                } else if (ok && type == QLatin1String("double")) {
                    value.toString().toDouble(&ok);
                }
                if (!ok) {
                    problems.append(
                        QStringLiteral("\"%1\" = %2 is not the text of a %3").arg(it.key(), show(value), type));
                }
            }
        }
        QVERIFY2(!marked.isEmpty(), "no parameter is marked \"saveUserSettings\"");
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (!marked.contains(it.key())) {
                problems.append(QStringLiteral("\"%1\" is not a user setting").arg(it.key()));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    void hammerBatchFiles_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString& file : filesBelow(m_data, hammerBatchRoot)) {
            if (file.contains(QLatin1String("/hammer_batch/"))) {
                QTest::newRow(qPrintable(file)) << file;
            }
        }
    }

    void hammerBatchFiles()
    {
        QFETCH(QString, file);
        QString problem;
        const QJsonObject values = readObject(dataFile(file), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY2(!values.isEmpty(), "the batch sets no value");
        const QJsonObject definitions = definitionsOf(QStringLiteral("embosserhead"));
        QStringList problems;
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (!ls::IntValueParamId::meta.contains(it.key()) || !definitions.contains(it.key())) {
                problems.append(QStringLiteral("\"%1\" is not an integer head parameter").arg(it.key()));
                continue;
            }
            const QString valueProblem = catalogValueProblem(definitions.value(it.key()).toObject(), it.value());
            if (!valueProblem.isEmpty()) {
                problems.append(QStringLiteral("\"%1\": %2").arg(it.key(), valueProblem));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // -- Parameter list and value lists -------------------------------------------------------------

    void parameterListRecords_data()
    {
        QTest::addColumn<QString>("parameter");
        const QJsonObject parameters = config(QStringLiteral("parameterList.json"));
        QVERIFY(!parameters.isEmpty());
        for (const QString& parameter : parameters.keys()) {
            if (parameter != metadataKey) {
                QTest::newRow(qPrintable(parameter)) << parameter;
            }
        }
    }

    void parameterListRecords()
    {
        QFETCH(QString, parameter);
        const QJsonObject record = config(QStringLiteral("parameterList.json")).value(parameter).toObject();
        const QString type = record.value(QLatin1String("eValueType")).toString();
        const QString list = record.value(QLatin1String("eValueList")).toString();
        QVERIFY2(isEnumKey("ValueType", type),
            qPrintable(QStringLiteral("\"eValueType\" %1 is no ValueType key")
                           .arg(show(record.value(QLatin1String("eValueType"))))));
        QVERIFY2(isEnumKey("RowValueList", list),
            qPrintable(QStringLiteral("\"eValueList\" %1 is no RowValueList key")
                           .arg(show(record.value(QLatin1String("eValueList"))))));
        if (type == QLatin1String("TableRow") || type == QLatin1String("Listing")) {
            QVERIFY2(list != QLatin1String("None"), "a list parameter names no value list");
        }
        if (list != QLatin1String("None")) {
            QVERIFY2(config(QStringLiteral("valueList.json")).value(list).isArray(),
                qPrintable(QStringLiteral("value list %1 is not an array of valueList.json").arg(list)));
        }
        if (type == QLatin1String("Numeric")) {
            const QJsonValue minimum = record.value(QLatin1String("minValue"));
            const QJsonValue maximum = record.value(QLatin1String("maxValue"));
            const QJsonValue precision = record.value(QLatin1String("precision"));
            QVERIFY2(minimum.isDouble() && maximum.isDouble() && minimum.toDouble() <= maximum.toDouble(),
                qPrintable(QStringLiteral("no range: [%1, %2]").arg(show(minimum), show(maximum))));
            QVERIFY2(precision.isDouble() && precision.toInt() >= 0, "no \"precision\"");
        }
        for (const char* flag : { "stored", "editable", "hideValueInactive" }) {
            QVERIFY2(record.value(QLatin1String(flag)).isBool(),
                qPrintable(QStringLiteral("\"%1\" is not a bool").arg(QLatin1String(flag))));
        }
    }

    // A layout's values are held by the "layout" catalog, its paper's by the "paper" catalog.
    void storedParametersFormLayoutCatalog()
    {
        const QJsonObject parameters = config(QStringLiteral("parameterList.json"));
        QStringList stored;
        for (auto it = parameters.begin(); it != parameters.end(); ++it) {
            if (it.key() != metadataKey && it.value().toObject().value(QLatin1String("stored")).toBool()) {
                stored.append(it.key());
            }
        }
        QStringList layoutCatalog = definitionsOf(QStringLiteral("layout")).keys();
        stored.sort();
        layoutCatalog.sort();
        QVERIFY(!stored.isEmpty());
        QCOMPARE(layoutCatalog, stored);
        for (const QString& paperParameter : definitionsOf(QStringLiteral("paper")).keys()) {
            QVERIFY2(parameters.contains(paperParameter),
                qPrintable(QStringLiteral("paper parameter \"%1\" is not in parameterList.json").arg(paperParameter)));
        }
    }

    void valueLists_data()
    {
        QTest::addColumn<QString>("list");
        const QJsonObject lists = config(QStringLiteral("valueList.json"));
        QVERIFY(!lists.isEmpty());
        for (const QString& list : lists.keys()) {
            QTest::newRow(qPrintable(list)) << list;
        }
    }

    void valueLists()
    {
        QFETCH(QString, list);
        QVERIFY2(isEnumKey("RowValueList", list), "the list name is no RowValueList key");
        const QJsonValue value = config(QStringLiteral("valueList.json")).value(list);
        QVERIFY2(value.isArray(), "the list is not an array");
        QStringList problems;
        QSet<QString> descriptions;
        for (const QJsonValue& item : value.toArray()) {
            const QJsonObject entry = item.toObject();
            const QString description = entry.value(QLatin1String("description")).toString();
            if (!entry.value(QLatin1String("description")).isString() || description.isEmpty()) {
                problems.append(QStringLiteral("entry %1 has no description").arg(show(item)));
                continue;
            }
            if (descriptions.contains(description)) {
                problems.append(QStringLiteral("\"%1\" occurs twice").arg(description));
            }
            descriptions.insert(description);
            const QJsonValue intValue = entry.value(QLatin1String("intValue"));
            if (!intValue.isDouble() || !isWholeNumber(intValue.toDouble())) {
                problems.append(
                    QStringLiteral("\"%1\": \"intValue\" %2 is not an int").arg(description, show(intValue)));
            }
            bool ok = false;
            const int command = enumValue("ValidateCommand", entry.value(ls::eValidateCommandKey).toString(), &ok);
            if (!ok || command == 0) {
                problems.append(QStringLiteral("\"%1\": %2 is no validation command")
                                    .arg(description, show(entry.value(ls::eValidateCommandKey))));
            }
            for (const auto& requirement :
                { std::make_pair(ls::eFeedTypeKey, "FeedType"), std::make_pair(ls::eHeadTypeKey, "HeadType") }) {
                if (!entry.contains(requirement.first)) {
                    continue;
                }
                for (const QString& part : entry.value(requirement.first).toString().split(QLatin1Char('|'))) {
                    if (!isEnumKey(requirement.second, part)) {
                        problems.append(
                            QStringLiteral("\"%1\": %2 \"%3\" is no %4 key")
                                .arg(description, requirement.first, part, QLatin1String(requirement.second)));
                    }
                }
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // The layout rules turn the position of an entry into an enumerator (valueAt) and look
    // entries up by "intValue": both must agree for the lists that follow an enumeration.
    void valueListsFollowEnumerations_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("enumeration");
        QTest::newRow("Duplexing") << "Duplexing"
                                   << "Duplex";
        QTest::newRow("BrailleLineSpacing") << "BrailleLineSpacing"
                                            << "LineSpacing";
        QTest::newRow("PageNumber") << "PageNumber"
                                    << "PageNumber";
        QTest::newRow("TopMargin") << "TopMargin"
                                   << "TopMargin";
        QTest::newRow("BindingMargin") << "BindingMargin"
                                       << "BindingMargin";
        QTest::newRow("FoldingLine") << "FoldingLine"
                                     << "FoldingLine";
        QTest::newRow("BrailleCellSize") << "BrailleCellSize"
                                         << "BrailleDimension";
        QTest::newRow("Region") << "Region"
                                << "Region";
        QTest::newRow("BrailleCellDots") << "BrailleCellDots"
                                         << "BrailleType";
    }

    void valueListsFollowEnumerations()
    {
        QFETCH(QString, list);
        QFETCH(QString, enumeration);
        const QByteArray enumName = enumeration.toLatin1();
        const QMetaEnum meta = lcm::EnumDetail::metaEnum(enumName.constData());
        QVERIFY(meta.isValid());
        const QJsonArray entries = valueList(list);
        QVERIFY2(!entries.isEmpty(), "the list is empty");
        QVERIFY2(entries.size() <= meta.keyCount(), "the list has more entries than the enumeration");
        QStringList problems;
        for (int position = 0; position < entries.size(); ++position) {
            const QJsonObject entry = entries.at(position).toObject();
            const int expected = lcm::EnumDetail::valueAt(enumName.constData(), position);
            if (entry.value(QLatin1String("intValue")).toInt(-1) != expected) {
                problems.append(QStringLiteral("position %1 (%2): \"intValue\" %3, the enumerator there is %4 (%5)")
                                    .arg(position)
                                    .arg(show(entry.value(QLatin1String("description"))),
                                        show(entry.value(QLatin1String("intValue"))))
                                    .arg(expected)
                                    .arg(QLatin1String(meta.key(position))));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // Regions are stored as their key names; cell dots as the framework's dot texts.
    void valueListTexts()
    {
        const QJsonArray regions = valueList(QStringLiteral("Region"));
        QVERIFY(!regions.isEmpty());
        for (const QJsonValue& entry : regions) {
            const QString description = entry.toObject().value(QLatin1String("description")).toString();
            bool ok = false;
            const int value = enumValue("Region", description, &ok);
            QVERIFY2(ok, qPrintable(QStringLiteral("region \"%1\" is no Region key").arg(description)));
            QCOMPARE(value, entry.toObject().value(QLatin1String("intValue")).toInt(-1));
        }
        const QJsonArray dots = valueList(QStringLiteral("BrailleCellDots"));
        QVERIFY2(!entryOf(dots, ls::sixDotKey).isEmpty() && !entryOf(dots, ls::eightDotKey).isEmpty(),
            "the cell dots list lacks the framework's 6-dot or 8-dot text");
        QCOMPARE(entryOf(dots, ls::sixDotKey).value(QLatin1String("intValue")).toInt(), int(lcm::BrailleType::SixDot));
        QCOMPARE(
            entryOf(dots, ls::eightDotKey).value(QLatin1String("intValue")).toInt(), int(lcm::BrailleType::EightDot));
    }

    // Every cell size a layout can name has dimensions; a text cell size's record is found by
    // the type its list position converts to.
    void brailleDimensions_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("position");
        for (const QString& list : { QStringLiteral("BrailleCellSize"), QStringLiteral("GraphicCellSize") }) {
            const QJsonArray entries = valueList(list);
            for (int position = 0; position < entries.size(); ++position) {
                const QString description
                    = entries.at(position).toObject().value(QLatin1String("description")).toString();
                QTest::newRow(qPrintable(list + QLatin1Char('/') + description)) << list << position;
            }
        }
    }

    void brailleDimensions()
    {
        QFETCH(QString, list);
        QFETCH(int, position);
        static const QStringList numberKeys = { "horizontalDotToDot", "verticalDotToDot", "cellToCell", "lineToLine",
            "lineToLineDoubleSpacing", "lineToLine4Dot", "lineToLine4DotDoubleSpacing", "lineToLineSS",
            "lineToLineDoubleSpacingSS", "lineToLine4DotSS", "lineToLine4DotDoubleSpacingSS", "dotDiameter",
            "dotHeight", "interLineBackRowOffset3Dot", "interLineBackRowOffset4Dot" };
        const QString size = valueList(list).at(position).toObject().value(QLatin1String("description")).toString();
        const QJsonObject dimensions = config(QStringLiteral("brailleDimension.json"));
        const QJsonObject record = dimensions.value(size).toObject();
        QVERIFY2(!record.isEmpty(), "no record in brailleDimension.json");
        for (const QString& key : numberKeys) {
            QVERIFY2(record.value(key).isDouble() && record.value(key).toDouble() >= 0,
                qPrintable(QStringLiteral("\"%1\" is %2").arg(key, show(record.value(key)))));
        }
        QVERIFY2(record.value(QLatin1String("cellToCell")).toDouble() > 0, "\"cellToCell\" is not positive");
        QVERIFY2(record.value(QLatin1String("interLine")).isBool(), "\"interLine\" is not a bool");
        bool ok = false;
        const int type
            = enumValue("BrailleDimension", record.value(QLatin1String("eBrailleDimensionType")).toString(), &ok);
        QVERIFY2(ok, "\"eBrailleDimensionType\" is no BrailleDimension key");
        QCOMPARE(record.value(QLatin1String("index")).toInt(-1), type);
        int sameIndex = 0;
        for (const QJsonValue& other : dimensions) {
            sameIndex += other.toObject().value(QLatin1String("index")).toInt(-1) == type ? 1 : 0;
        }
        QVERIFY2(sameIndex == 1, "another record has the same \"index\"");
        if (list == QLatin1String("BrailleCellSize")) {
            QCOMPARE(type, lcm::EnumDetail::valueAt("BrailleDimension", position));
        }
    }

    // -- Papers and regions ---------------------------------------------------------------------

    void papers_data()
    {
        QTest::addColumn<QString>("paper");
        const QJsonObject papers = config(QStringLiteral("paperList.json"));
        QVERIFY(!papers.isEmpty());
        for (const QString& paper : papers.keys()) {
            QTest::newRow(qPrintable(paper)) << paper;
        }
    }

    void papers()
    {
        QFETCH(QString, paper);
        const QJsonObject record = config(QStringLiteral("paperList.json")).value(paper).toObject();
        const QList<std::pair<const char*, const char*>> enumFields
            = { { "eSizeUnit", "SizeUnit" }, { "eFormatOrientation", "Orientation" },
                  { "eLoadOrientation", "Orientation" }, { "eModelMask", "ModelMask" }, { "eFeedType", "FeedType" } };
        for (const auto& field : enumFields) {
            QVERIFY2(isEnumKey(field.second, record.value(QLatin1String(field.first)).toString()),
                qPrintable(QStringLiteral("\"%1\" %2 is no %3 key")
                               .arg(QLatin1String(field.first), show(record.value(QLatin1String(field.first))),
                                   QLatin1String(field.second))));
        }
        for (const QString& key : { ls::widthKey, ls::heightKey }) {
            QVERIFY2(record.value(key).toDouble() > 0,
                qPrintable(QStringLiteral("\"%1\" is %2").arg(key, show(record.value(key)))));
        }
        for (const QString& key : { ls::inchesWidthKey, ls::inchesHeightKey, QStringLiteral("stepLength"),
                 QStringLiteral("stepLengthFraction") }) {
            QVERIFY2(record.value(key).isDouble() && isWholeNumber(record.value(key).toDouble()),
                qPrintable(QStringLiteral("\"%1\" %2 is not an int").arg(key, show(record.value(key)))));
        }
        QVERIFY2(
            record.value(QLatin1String("printingHeadOffset")).isDouble(), "\"printingHeadOffset\" is not a number");
    }

    // A layout names its paper through the paper size list.
    void paperSizeListNamesPapers()
    {
        const QJsonArray entries = valueList(QStringLiteral("PaperSize"));
        QVERIFY(!entries.isEmpty());
        for (const QJsonValue& entry : entries) {
            const QString paper = entry.toObject().value(QLatin1String("description")).toString();
            QVERIFY2(config(QStringLiteral("paperList.json")).contains(paper),
                qPrintable(QStringLiteral("paper size \"%1\" is not in paperList.json").arg(paper)));
        }
    }

    void paperRegions_data()
    {
        QTest::addColumn<QString>("region");
        const QMetaEnum regions = lcm::EnumDetail::metaEnum("Region");
        QStringList names = config(QStringLiteral("paperRegions.json")).keys();
        for (int i = 0; i < regions.keyCount(); ++i) {
            if (!names.contains(QLatin1String(regions.key(i)))) {
                names.append(QLatin1String(regions.key(i)));
            }
        }
        for (const QString& region : names) {
            QTest::newRow(qPrintable(region)) << region;
        }
    }

    // A region's first paper is what a layout falls back to when its region changes, whatever
    // the model, so it must be usable on every model.
    void paperRegions()
    {
        QFETCH(QString, region);
        QVERIFY2(isEnumKey("Region", region), "the region is no Region key");
        const QJsonValue papers = config(QStringLiteral("paperRegions.json")).value(region);
        QVERIFY2(papers.isArray() && !papers.toArray().isEmpty(), "paperRegions.json has no paper list for the region");
        QStringList problems;
        for (const QJsonValue& paper : papers.toArray()) {
            if (!config(QStringLiteral("paperList.json")).contains(paper.toString())) {
                problems.append(QStringLiteral("%1 is not in paperList.json").arg(show(paper)));
            }
        }
        const QString first = papers.toArray().first().toString();
        for (const QString& model : config(QStringLiteral("embosserList.json")).keys()) {
            const QString problem = paperProblem(region, first, model);
            if (!problem.isEmpty()) {
                problems.append(QStringLiteral("first paper: %1").arg(problem));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // -- Embosser models ------------------------------------------------------------------------------

    void embosserModels_data()
    {
        QTest::addColumn<QString>("model");
        const QJsonObject models = config(QStringLiteral("embosserList.json"));
        QVERIFY(!models.isEmpty());
        for (const QString& model : models.keys()) {
            QTest::newRow(qPrintable(model)) << model;
        }
    }

    void embosserModels()
    {
        QFETCH(QString, model);
        const QJsonObject record = config(QStringLiteral("embosserList.json")).value(model).toObject();
        const QList<std::pair<QString, const char*>> enumFields
            = { { QStringLiteral("eEmbosserType"), "EmbosserType" }, { ls::eFeedTypeKey, "FeedType" },
                  { ls::eHeadTypeKey, "HeadType" }, { QStringLiteral("eModelMask"), "ModelMask" } };
        for (const auto& field : enumFields) {
            QVERIFY2(isEnumKey(field.second, record.value(field.first).toString()),
                qPrintable(QStringLiteral("\"%1\" %2 is no %3 key")
                               .arg(field.first, show(record.value(field.first)), QLatin1String(field.second))));
        }
        for (const auto& limits : { std::make_pair(ls::minPaperWidthKey, ls::maxPaperWidthKey),
                 std::make_pair(ls::minPaperHeightKey, ls::maxPaperHeightKey) }) {
            const QJsonValue minimum = record.value(limits.first);
            const QJsonValue maximum = record.value(limits.second);
            QVERIFY2(minimum.isDouble() && maximum.isDouble() && minimum.toDouble() > 0
                    && minimum.toDouble() <= maximum.toDouble(),
                qPrintable(
                    QStringLiteral("%1 %2, %3 %4").arg(limits.first, show(minimum), limits.second, show(maximum))));
        }
        QVERIFY2(record.value(QLatin1String("paperDirection")).isDouble(), "\"paperDirection\" is not an int");
        // Count only papers a user can pick: those some region offers.
        QSet<QString> offered;
        const QJsonObject regions = config(QStringLiteral("paperRegions.json"));
        for (const QJsonValue& papers : regions) {
            for (const QJsonValue& paper : papers.toArray()) {
                offered.insert(paper.toString());
            }
        }
        QStringList admitted;
        for (const QString& paper : offered) {
            if (paperProblem(QStringLiteral("Undefined"), paper, model).isEmpty()) {
                admitted.append(paper);
            }
        }
        QVERIFY2(!admitted.isEmpty(), "the model takes no paper of the paper list");
    }

    void everyEmbosserTypeOccurs()
    {
        const QMetaEnum types = lcm::EnumDetail::metaEnum("EmbosserType");
        QSet<int> listed;
        for (const QJsonValue& record : config(QStringLiteral("embosserList.json"))) {
            bool ok = false;
            listed.insert(
                enumValue("EmbosserType", record.toObject().value(QLatin1String("eEmbosserType")).toString(), &ok));
        }
        QStringList missing;
        for (int i = 0; i < types.keyCount(); ++i) {
            if (types.value(i) != 0 && !listed.contains(types.value(i))) {
                missing.append(QStringLiteral("%1 (%2)").arg(QLatin1String(types.key(i))).arg(types.value(i)));
            }
        }
        QVERIFY2(
            missing.isEmpty(), qPrintable(QStringLiteral("no model of type ") + missing.join(QLatin1String(", "))));
    }

    // The shipped machine and the model default are models of the list.
    void configuredModelsAreListed()
    {
        const QJsonObject models = config(QStringLiteral("embosserList.json"));
        const QString fileModel = shippedModel();
        const QString defaultModel = config(QStringLiteral("defaultParameters.json"))
                                         .value(QLatin1String("embosserConf"))
                                         .toObject()
                                         .value(QLatin1String("Model"))
                                         .toString();
        QVERIFY2(models.contains(fileModel),
            qPrintable(QStringLiteral("shipped model \"%1\" is not listed").arg(fileModel)));
        QVERIFY2(models.contains(defaultModel),
            qPrintable(QStringLiteral("default model \"%1\" is not listed").arg(defaultModel)));
    }

    // -- Layouts ----------------------------------------------------------------------------------

    void layoutValues_data()
    {
        QTest::addColumn<QString>("file");
        const QStringList layouts = shippedLayoutFiles();
        QVERIFY(!layouts.isEmpty());
        for (const QString& file : layouts) {
            QTest::newRow(qPrintable(file)) << file;
        }
    }

    void layoutValues()
    {
        QFETCH(QString, file);
        QString problem;
        const QJsonObject layout = readObject(dataFile(file), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const QStringList problems = layoutValueProblems(layout);
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // The defaults of the layout catalog form a layout of their own.
    void layoutCatalogDefaults()
    {
        const QJsonObject defaults
            = config(QStringLiteral("defaultParameters.json")).value(QLatin1String("layout")).toObject();
        QVERIFY(!defaults.isEmpty());
        const QStringList problems = layoutValueProblems(defaults);
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    void layoutsFitTheirModels_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("model");
        for (const QString& file : shippedLayoutFiles()) {
            for (const QString& model : modelsServedBy(file)) {
                QTest::newRow(qPrintable(QStringLiteral("%1 on %2").arg(file, model))) << file << model;
            }
        }
    }

    void layoutsFitTheirModels()
    {
        QFETCH(QString, file);
        QFETCH(QString, model);
        const QJsonObject machine = config(QStringLiteral("embosserList.json")).value(model).toObject();
        QVERIFY2(!machine.isEmpty(), "the model is not in embosserList.json");
        const QJsonObject layout = readObject(dataFile(file));
        QStringList problems;
        const QString paper = paperProblem(
            layout.value(QLatin1String("Region")).toString(), layout.value(ls::paperSizeKey).toString(), model);
        if (!paper.isEmpty()) {
            problems.append(paper);
        }
        const QString duplexing = layout.value(QLatin1String("Duplexing")).toString();
        const QJsonObject entry = entryOf(valueList(QStringLiteral("Duplexing")), duplexing);
        bool ok = false;
        const int type = enumValue("EmbosserType", machine.value(QLatin1String("eEmbosserType")).toString(), &ok);
        if (!requirementAdmits(entry, ls::eFeedTypeKey, machine.value(ls::eFeedTypeKey).toString())
            || !requirementAdmits(entry, ls::eHeadTypeKey, machine.value(ls::eHeadTypeKey).toString())) {
            problems.append(
                QStringLiteral("duplexing \"%1\" needs feed %2 and head %3; the model has %4 and %5")
                    .arg(duplexing, entry.value(ls::eFeedTypeKey).toString(), entry.value(ls::eHeadTypeKey).toString(),
                        machine.value(ls::eFeedTypeKey).toString(), machine.value(ls::eHeadTypeKey).toString()));
        }
        if (entry.value(ls::eValidateCommandKey).toString() == QLatin1String("ModelIsDoubleSided")
            && type == singleSidedEmbosserType) {
            problems.append(QStringLiteral("duplexing \"%1\" on a single-sided model").arg(duplexing));
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // -- Braille tables of a fresh root -------------------------------------------------------------

    void liblouisLanguages_data()
    {
        QTest::addColumn<QString>("language");
        const QStringList languages = QDir(rootFile(liblouisMetadataDir)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY2(!languages.isEmpty(), "a fresh root has no liblouis metadata");
        for (const QString& language : languages) {
            QTest::newRow(qPrintable(language)) << language;
        }
    }

    void liblouisLanguages()
    {
        QFETCH(QString, language);
        QString problem;
        const QJsonObject tables
            = readObject(rootFile(QStringLiteral("%1/%2/%2.json").arg(liblouisMetadataDir, language)), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QVERIFY2(!tables.isEmpty(), "the language has no table");
        QStringList problems;
        for (auto it = tables.begin(); it != tables.end(); ++it) {
            const QJsonObject entry = it.value().toObject();
            const QString status = entry.value(QLatin1String("status:")).toString();
            const QString dots = entry.value(QLatin1String("dots:")).toString();
            if (dots != QLatin1String("6") && dots != QLatin1String("8")) {
                problems.append(
                    QStringLiteral("%1: \"dots:\" %2").arg(it.key(), show(entry.value(QLatin1String("dots:")))));
            }
            if (status == QLatin1String("replaced")) {
                const QString successor = entry.value(QLatin1String("replaced-by:")).toString();
                if (liblouisEntry(successor).value(QLatin1String("status:")).toString() != QLatin1String("active")) {
                    problems.append(QStringLiteral("%1 is replaced by %2, which is not an active table")
                                        .arg(it.key(), show(entry.value(QLatin1String("replaced-by:")))));
                }
            } else if (status != QLatin1String("active") && status != QLatin1String("not defined")) {
                problems.append(
                    QStringLiteral("%1: \"status:\" %2").arg(it.key(), show(entry.value(QLatin1String("status:")))));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // Both table lists have something to offer, and the two user table slots exist.
    void liblouisTableSet()
    {
        QSet<QString> activeDots;
        for (const QString& language :
            QDir(rootFile(liblouisMetadataDir)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QJsonValue& entry :
                readObject(rootFile(QStringLiteral("%1/%2/%2.json").arg(liblouisMetadataDir, language)))) {
                if (entry.toObject().value(QLatin1String("status:")).toString() == QLatin1String("active")) {
                    activeDots.insert(entry.toObject().value(QLatin1String("dots:")).toString());
                }
            }
        }
        QVERIFY2(activeDots.contains(QStringLiteral("6")), "no active 6-dot liblouis table");
        QVERIFY2(activeDots.contains(QStringLiteral("8")), "no active 8-dot liblouis table");
        QCOMPARE(liblouisEntry(QStringLiteral("UserDefined/grade0_6dot")).value(QLatin1String("dots:")).toString(),
            QStringLiteral("6"));
        QCOMPARE(liblouisEntry(QStringLiteral("UserDefined/grade0_8dot")).value(QLatin1String("dots:")).toString(),
            QStringLiteral("8"));
    }

    void legacyTables_data()
    {
        QTest::addColumn<QString>("table");
        const QDir top(rootFile(legacyTablesDir));
        for (const QString& language : top.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QString& file :
                QDir(top.filePath(language)).entryList({ QStringLiteral("*.ebc") }, QDir::Files)) {
                QTest::newRow(qPrintable(language + QLatin1Char('/') + file)) << language + QLatin1Char('/') + file;
            }
        }
    }

    // A legacy table's metadata agrees with its header: the dot count the service reads from the
    // file is the one the lists show.
    void legacyTables()
    {
        QFETCH(QString, table);
        const QString language = table.section(QLatin1Char('/'), 0, 0);
        const QString file = table.section(QLatin1Char('/'), 1);
        QVERIFY2(QFileInfo(rootFile(legacyTablesDir + QLatin1Char('/') + table)).size() <= legacyTableSize,
            "the file is longer than a legacy table");
        QString problem;
        const QJsonObject metadata
            = readObject(rootFile(QStringLiteral("%1/%2/%2.json").arg(legacyTablesDir, language)), &problem);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        const QJsonObject entry = metadata.value(file).toObject();
        QVERIFY2(!entry.isEmpty(), "the language's metadata has no entry for the file");
        QCOMPARE(entry.value(QLatin1String("dots:")).toString(),
            QString::number(legacyTableDots(rootFile(legacyTablesDir + QLatin1Char('/') + table))));
        QCOMPARE(entry.value(ls::tableFileKey).toString(), table);
        QCOMPARE(entry.value(QLatin1String("status:")).toString(), QStringLiteral("active"));
    }

    void legacyTableSet()
    {
        const QDir top(rootFile(legacyTablesDir));
        QSet<int> dots;
        int full = 0;
        QStringList shortFiles;
        QStringList problems;
        for (const QString& language : top.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const QDir dir(top.filePath(language));
            for (const QFileInfo& file : dir.entryInfoList({ QStringLiteral("*.ebc") }, QDir::Files)) {
                dots.insert(legacyTableDots(file.filePath()));
                if (file.size() == legacyTableSize) {
                    ++full;
                } else if (file.size() < legacyTableSize) {
                    shortFiles.append(language + QLatin1Char('/') + file.fileName());
                }
            }
            // Every entry of the metadata names a file that exists.
            const QJsonObject metadata = readObject(dir.filePath(language + QStringLiteral(".json")));
            for (auto it = metadata.begin(); it != metadata.end(); ++it) {
                if (!dir.exists(it.key())) {
                    problems.append(QStringLiteral("%1.json lists %2, which does not exist").arg(language, it.key()));
                }
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
        QVERIFY2(dots.contains(6), "no 6-dot legacy table");
        QVERIFY2(dots.contains(8), "no 8-dot legacy table");
        QVERIFY2(full > 0, "no legacy table of the full size");
        QVERIFY2(shortFiles.size() == 1,
            qPrintable(QStringLiteral("short legacy tables: ") + shortFiles.join(QLatin1String(", "))));
    }

    // The document settings groups map codes to tables that exist, one code per table.
    void docSettingGroups_data()
    {
        QTest::addColumn<QString>("group");
        const QJsonObject groups = config(QStringLiteral("docSettingList.json"));
        QVERIFY(!groups.isEmpty());
        for (const QString& group : groups.keys()) {
            QTest::newRow(qPrintable(group)) << group;
        }
    }

    void docSettingGroups()
    {
        QFETCH(QString, group);
        const QJsonObject record = config(QStringLiteral("parameterList.json")).value(group).toObject();
        const QString list = record.value(QLatin1String("eValueList")).toString();
        QVERIFY2(record.value(QLatin1String("eValueType")).toString() == QLatin1String("Listing"),
            "the group is not named after a table parameter of the layouts");
        const QJsonObject entries = config(QStringLiteral("docSettingList.json")).value(group).toObject();
        QVERIFY2(!entries.isEmpty(), "the group is empty");
        QStringList problems;
        QHash<int, QString> codes;
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            const int code = it.value().toInt(-1);
            if (!it.value().isDouble() || code < 0) {
                problems.append(QStringLiteral("%1: code %2").arg(it.key(), show(it.value())));
            } else if (codes.contains(code)) {
                problems.append(QStringLiteral("%1 and %2 share code %3").arg(codes.value(code), it.key()).arg(code));
            }
            codes.insert(code, it.key());
            const bool exists = list == QLatin1String("BrailleLanguage")
                ? legacyTableDots(rootFile(legacyTablesDir + QLatin1Char('/') + it.key())) > 0
                : liblouisEntry(it.key()).value(QLatin1String("status:")).toString() == QLatin1String("active");
            if (!exists) {
                problems.append(QStringLiteral("%1 is not a table of a fresh root").arg(it.key()));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }

    // -- Escape parameters --------------------------------------------------------------------------

    void escapeParameters_data()
    {
        QTest::addColumn<QString>("escapeType");
        QTest::addColumn<QStringList>("identifiers");
        QTest::newRow("ESC_C") << QString(ls::EscapeTypes::ESC_C) << ls::ESC_C::meta.keys();
        QTest::newRow("ESC_D") << QString(ls::EscapeTypes::ESC_D) << ls::ESC_D::meta.keys();
    }

    // Every identifier of the family maps to exactly one parameter of the catalog it names.
    void escapeParameters()
    {
        QFETCH(QString, escapeType);
        QFETCH(QStringList, identifiers);
        const QJsonObject entries = config(QStringLiteral("escapeParameters.json")).value(escapeType).toObject();
        QVERIFY2(!entries.isEmpty(), "escapeParameters.json has no such group");
        QStringList problems;
        QHash<QString, QString> used;
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            const QJsonObject entry = it.value().toObject();
            const QString identifier = entry.value(QLatin1String("ESCIdentifier")).toString();
            const QString name = entry.value(QLatin1String("ESCParamName")).toString();
            const QString catalog = entry.value(QLatin1String("catalog")).toString();
            if (name != it.key()) {
                problems.append(QStringLiteral("%1: \"ESCParamName\" is %2")
                                    .arg(it.key(), show(entry.value(QLatin1String("ESCParamName")))));
            }
            if (!definitionsOf(catalog).contains(name)) {
                problems.append(QStringLiteral("%1: not a parameter of catalog %2")
                                    .arg(it.key(), show(entry.value(QLatin1String("catalog")))));
            }
            if (!identifiers.contains(identifier)) {
                problems.append(QStringLiteral("%1: identifier %2 is not of the family")
                                    .arg(it.key(), show(entry.value(QLatin1String("ESCIdentifier")))));
            } else if (used.contains(identifier)) {
                problems.append(QStringLiteral("identifier %1 is used by %2 and %3")
                                    .arg(identifier, used.value(identifier), it.key()));
            }
            used.insert(identifier, it.key());
        }
        for (const QString& identifier : identifiers) {
            if (!used.contains(identifier)) {
                problems.append(QStringLiteral("identifier %1 has no entry").arg(identifier));
            }
        }
        QVERIFY2(problems.isEmpty(), qPrintable(joinProblems(problems)));
    }
};

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
