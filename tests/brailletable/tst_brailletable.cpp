#include "LegacyTableBuffer.h"
#include "LogCapture.h"
#include "Locations.h"
#include "TableNames.h"
#include "TableSettings.h"
#include "TestRoot.h"

#include "ls/JFile.h"
#include "ls/Keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QSet>
#include <QtTest>

#include <memory>

using lcm::BrailleType;
using lcm::LegacyTable;

namespace {

QVariantMap readJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QVariantMap();
    }
    return QJsonDocument::fromJson(file.readAll()).object().toVariantMap();
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

bool writeJson(const QString& path, const QVariantMap& content)
{
    return writeBytes(path, QJsonDocument(QJsonObject::fromVariantMap(content)).toJson());
}

// A legacy table image with the text fields given in file order.
QByteArray legacyImage(quint32 word, const QStringList& fieldsInFileOrder, int size = LegacyTableBuffer::FileSize)
{
    QByteArray image(LegacyTableBuffer::FileSize, '\0');
    for (int byte = 0; byte < 4; ++byte) {
        image[byte] = char((word >> (24 - 8 * byte)) & 0xff);
    }
    for (int slot = 0; slot < fieldsInFileOrder.size(); ++slot) {
        const QByteArray text = fieldsInFileOrder.at(slot).toLatin1().left(LegacyTableBuffer::FieldSize);
        image.replace(4 + slot * LegacyTableBuffer::FieldSize, text.size(), text);
    }
    return image.left(size);
}

QString liblouisRoot()
{
    return Locations::embosserLiblouisDir();
}

QString liblouisLanguageFile(const QString& language)
{
    return TableSettings::languageMetadataFile(liblouisRoot(), language);
}

QString legacyLanguageFile(const QString& language)
{
    return TableSettings::languageMetadataFile(Locations::legacyTablesDir(), language);
}

QStringList legacyFields(const QString& text)
{
    QStringList fields;
    for (int slot = 0; slot < LegacyTableBuffer::FieldCount; ++slot) {
        fields << text;
    }
    return fields;
}

QString userTableFile(const QString& name)
{
    return Locations::join(Locations::liblouisTablesDir(), name);
}

} // namespace

class TestBrailleTable : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Legacy tables
    void legacyImageLayout();
    void legacyTypeValue_data();
    void legacyTypeValue();
    void legacyShippedTables_data();
    void legacyShippedTables();
    void legacyShortFile();
    void legacyLists();
    void legacyNothingToList();
    void legacyMetadataGenerated();

    // liblouis lists
    void liblouisListFile();
    void replacedTableNeverListed();
    void updateLiblouisTable_data();
    void updateLiblouisTable();
    void updateWithoutActiveAlternative();
    void metadataFollowsOneReplacement();
    void derivedDisplayName_data();
    void derivedDisplayName();
    void missingDisplayNamesDerived();
    void deletedListRebuilt();
    void listReplacedOnDiskIsReadAgain();
    void noLanguagesToList();
    void metadataNotJson_data();
    void metadataNotJson();

    // User tables
    void tblHeaderImported();
    void tblWithoutHeader_data();
    void tblWithoutHeader();
    void userSlotAddedAndRemoved();
    void addUserTableBySuffix_data();
    void addUserTableBySuffix();
    void setJsonSettingsKeepsUnreadableFile();

    // Names from requests
    void malformedTableNames_data();
    void malformedTableNames();
    void hostileNames_data();
    void hostileNames();
    void hostileUserTableNames_data();
    void hostileUserTableNames();
    void symbolicLinkOutsideRefused();

private:
    // Keeps the original content of a file (or its absence) until cleanup().
    void keep(const QString& path);

    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_json;
    std::unique_ptr<TableSettings> m_tables;
    QMap<QString, QByteArray> m_kept;
    QStringList m_absent;
};

void TestBrailleTable::initTestCase()
{
    m_root = std::make_unique<TestRoot>();
    QVERIFY(m_root->isValid());
    QVERIFY(QFileInfo::exists(liblouisLanguageFile(QStringLiteral("English (U.S.)"))));
    QVERIFY(QFileInfo::exists(TableSettings::userDefinedMetadataFile()));
    QVERIFY(QFileInfo::exists(legacyLanguageFile(QStringLiteral("Swedish"))));
}

void TestBrailleTable::init()
{
    // Every test starts from a fresh boot: no generated lists, nothing cached.
    QDir(Locations::runDir()).removeRecursively();
    m_tables = std::make_unique<TableSettings>(&m_json, &m_json);
}

void TestBrailleTable::cleanup()
{
    for (auto it = m_kept.cbegin(); it != m_kept.cend(); ++it) {
        QFile::remove(it.key());
        writeBytes(it.key(), it.value());
    }
    for (const QString& path : qAsConst(m_absent)) {
        QFileInfo info(path);
        if (info.isSymLink() || info.isFile()) {
            QFile::remove(path);
        } else if (info.isDir()) {
            QDir(path).removeRecursively();
        }
    }
    m_kept.clear();
    m_absent.clear();
    m_tables.reset();
}

void TestBrailleTable::keep(const QString& path)
{
    if (m_kept.contains(path) || m_absent.contains(path)) {
        return;
    }
    if (QFileInfo::exists(path)) {
        m_kept.insert(path, readBytes(path));
    } else {
        m_absent.append(path);
    }
}

// Legacy tables

void TestBrailleTable::legacyImageLayout()
{
    QStringList fields = legacyFields(QString());
    for (int slot = 0; slot < LegacyTableBuffer::FieldCount; ++slot) {
        fields[slot] = QStringLiteral("field in slot %1").arg(slot);
    }
    fields[10] = QString(LegacyTableBuffer::FieldSize, QLatin1Char('x')); // no NUL at all
    QByteArray image = legacyImage(0x01020304, fields);
    const auto put16 = [&image](int offset, quint16 value) {
        image[offset] = char(value >> 8);
        image[offset + 1] = char(value & 0xff);
    };
    put16(554, 0x0102);
    put16(556, 0x0304);
    put16(558, 0x0506);
    put16(554 + 258 * 6 + 4, 0xa1b2);
    image[2108] = char(0x7f);
    image[3107] = char(0x55);
    const QString path = m_root->file(QStringLiteral("/tmp/layout.ebc"));
    QVERIFY(writeBytes(path, image));

    QVERIFY(m_tables->loadLegacyTable(path));
    QCOMPARE(LegacyTableBuffer::formatWord(), quint32(0x01020304));
    // Enumeration value -> position in the file.
    const QVector<QPair<LegacyTable, int>> positions = {
        { LegacyTable::Header, 0 }, { LegacyTable::Version, 1 }, { LegacyTable::Creator, 2 },
        { LegacyTable::Date, 3 }, { LegacyTable::Description, 4 }, { LegacyTable::Speech, 5 },
        { LegacyTable::PageNoText, 6 }, { LegacyTable::Type, 7 }, { LegacyTable::TypeValue, 8 },
        { LegacyTable::Free1, 9 }, { LegacyTable::Free2, 10 },
    };
    for (const auto& position : positions) {
        QCOMPARE(m_tables->legacyTableField(position.first), fields.at(position.second));
    }
    QCOMPARE(m_tables->legacyTableField(static_cast<LegacyTable>(42)), fields.at(0));
    QCOMPARE(m_tables->legacyTableField(static_cast<LegacyTable>(-1)), fields.at(0));
    QCOMPARE(LegacyTableBuffer::recordWord(0, 0), quint16(0x0102));
    QCOMPARE(LegacyTableBuffer::recordWord(0, 1), quint16(0x0304));
    QCOMPARE(LegacyTableBuffer::recordWord(0, 2), quint16(0x0506));
    QCOMPARE(LegacyTableBuffer::recordWord(258, 2), quint16(0xa1b2));
    QCOMPARE(LegacyTableBuffer::rawByte(0), quint8(0x7f));
    QCOMPARE(LegacyTableBuffer::rawByte(999), quint8(0x55));
}

void TestBrailleTable::legacyTypeValue_data()
{
    QTest::addColumn<QString>("typeValue");
    QTest::addColumn<int>("dots");
    QTest::addColumn<int>("type");

    QTest::newRow("8 DOT") << "8 DOT" << 8 << 1;
    QTest::newRow("WITH CAPITAL PREFIX") << "WITH CAPITAL PREFIX" << 6 << 2;
    QTest::newRow("WITHOUT CAPITAL PREFIX") << "WITHOUT CAPITAL PREFIX" << 6 << 3;
    QTest::newRow("other text") << "COMPUTER" << 6 << 0;
    QTest::newRow("lower case") << "8 dot" << 6 << 0;
    QTest::newRow("empty") << "" << 6 << 0;
}

void TestBrailleTable::legacyTypeValue()
{
    QFETCH(QString, typeValue);
    QFETCH(int, dots);
    QFETCH(int, type);

    QStringList fields = legacyFields(QStringLiteral("text"));
    fields[8] = typeValue;
    const QString path = Locations::join(Locations::legacyTablesDir(), QStringLiteral("Test/Test.ebc"));
    keep(QFileInfo(path).absolutePath());
    QVERIFY(writeBytes(path, legacyImage(0x43425431, fields)));

    QCOMPARE(m_tables->legacyTableDots(QStringLiteral("Test/Test.ebc")), dots);
    QCOMPARE(m_tables->legacyTableType(QStringLiteral("Test/Test.ebc")), type);
}

void TestBrailleTable::legacyShippedTables_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("dots");
    QTest::addColumn<int>("type");

    const QString root = Locations::legacyTablesDir();
    for (const QString& language : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVariantMap tables = readJson(legacyLanguageFile(language));
        for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
            const QVariantMap entry = it.value().toMap();
            const QString table = language + QLatin1Char('/') + it.key();
            QTest::newRow(qPrintable(table)) << table << entry.value(QStringLiteral("dots:")).toInt()
                                             << entry.value(QStringLiteral("legacy-type:")).toInt();
        }
    }
}

void TestBrailleTable::legacyShippedTables()
{
    QFETCH(QString, table);
    QFETCH(int, dots);
    QFETCH(int, type);

    QCOMPARE(m_tables->legacyTableDots(table), dots);
    QCOMPARE(m_tables->legacyTableType(table), type);
}

void TestBrailleTable::legacyShortFile()
{
    const QString shortTable = QStringLiteral("Spanish/Spanish_6_dot.ebc");
    QVERIFY(QFileInfo(Locations::join(Locations::legacyTablesDir(), shortTable)).size()
        < LegacyTableBuffer::FileSize);

    // An 8-dot table first, so that a buffer not zeroed before the next load would show it.
    QCOMPARE(m_tables->legacyTableDots(QStringLiteral("English/US_computer_8_dot.ebc")), 8);
    QCOMPARE(m_tables->legacyTableField(LegacyTable::TypeValue), QStringLiteral("8 DOT"));

    QCOMPARE(m_tables->legacyTableDots(shortTable), 6);
    QCOMPARE(m_tables->legacyTableType(shortTable), 0);
    QCOMPARE(m_tables->legacyTableField(LegacyTable::TypeValue), QString());
    QCOMPARE(m_tables->legacyTableField(LegacyTable::Free1), QString());
    QCOMPARE(m_tables->legacyTableField(LegacyTable::Free2), QString());
    QCOMPARE(m_tables->legacyTableField(LegacyTable::Type), QStringLiteral("COMPUTER"));
    const QString description = m_tables->legacyTableField(LegacyTable::Description);
    QVERIFY(description.startsWith(QStringLiteral("Spanish")));
    QCOMPARE(LegacyTableBuffer::recordWord(0, 0), quint16(0));

    // A table that cannot be read leaves the current one in place.
    LogCapture log;
    QCOMPARE(m_tables->legacyTableDots(QStringLiteral("Spanish/Missing.ebc")), -1);
    QCOMPARE(m_tables->legacyTableType(QStringLiteral("Spanish/Missing.ebc")), -1);
    QVERIFY(log.contains(QStringLiteral("TableSettings::loadLegacyTable ERROR: Failed to open file")));
    QCOMPARE(m_tables->legacyTableField(LegacyTable::Description), description);
}

void TestBrailleTable::legacyLists()
{
    const QVariantMap six = m_tables->getLegacyTables(BrailleType::SixDot);
    const QVariantMap eight = m_tables->getLegacyTables(BrailleType::EightDot);
    QCOMPARE(six.size(), 8);
    QCOMPARE(eight.size(), 7);
    QCOMPARE(six.value(QStringLiteral("Swedish/Swedish_6_dot.ebc")).toString(),
        QStringLiteral("Swedish 6-dot computer braille"));
    QVERIFY(six.contains(QStringLiteral("Spanish/Spanish_6_dot.ebc")));
    QVERIFY(eight.contains(QStringLiteral("Swedish/Swedish_8_dot.ebc")));

    QVERIFY(m_tables->validateLegacyTable(BrailleType::SixDot, QStringLiteral("Swedish/Swedish_6_dot.ebc")));
    QVERIFY(!m_tables->validateLegacyTable(BrailleType::EightDot, QStringLiteral("Swedish/Swedish_6_dot.ebc")));
    QVERIFY(!m_tables->validateLegacyTable(BrailleType::SixDot, QStringLiteral("Swedish/Swedish_6_dot")));

    const QVariantMap list = m_tables->getLegacyTables();
    QCOMPARE(list.value(QStringLiteral("languageCounter:")).toInt(), 8);
    const QVariantMap swedish = list.value(QStringLiteral("Swedish")).toMap();
    QCOMPARE(swedish.value(QStringLiteral("6-dot tables:")).toInt(), 2);
    QCOMPARE(swedish.value(QStringLiteral("8-dot tables:")).toInt(), 1);
    QCOMPARE(swedish.value(QStringLiteral("tableCounter:")).toInt(), 3);

    // A table that is not active leaves the lists; one without "dots:" counts as 6-dot.
    const QString file = legacyLanguageFile(QStringLiteral("Swedish"));
    keep(file);
    QVariantMap tables = readJson(file);
    QVariantMap entry = tables.value(QStringLiteral("Swedish_8_dot.ebc")).toMap();
    entry.insert(QStringLiteral("status:"), QStringLiteral("retired"));
    tables.insert(QStringLiteral("Swedish_8_dot.ebc"), entry);
    entry = tables.value(QStringLiteral("Swedish_6_dot.ebc")).toMap();
    entry.remove(QStringLiteral("dots:"));
    tables.insert(QStringLiteral("Swedish_6_dot.ebc"), entry);
    QVERIFY(writeJson(file, tables));
    QVERIFY(QFile::remove(TableSettings::legacyListFile()));

    QVERIFY(!m_tables->getLegacyTables(BrailleType::EightDot).contains(QStringLiteral("Swedish/Swedish_8_dot.ebc")));
    const QVariantMap counted = m_tables->getLegacyTables().value(QStringLiteral("Swedish")).toMap();
    QCOMPARE(counted.value(QStringLiteral("6-dot tables:")).toInt(), 2);
    QCOMPARE(counted.value(QStringLiteral("8-dot tables:")).toInt(), 0);
    QCOMPARE(counted.value(QStringLiteral("tableCounter:")).toInt(), 2);
}

void TestBrailleTable::legacyNothingToList()
{
    const QString root = Locations::legacyTablesDir();
    const QString away = root + QStringLiteral(".away");
    QVERIFY(QDir().rename(root, away));
    QDir().mkpath(root);
    const auto back = qScopeGuard([&] {
        QDir(root).removeRecursively();
        QDir().rename(away, root);
    });

    LogCapture log;
    QVERIFY(m_tables->generateLegacyList());
    const QVariantMap list = readJson(TableSettings::legacyListFile());
    QCOMPARE(list.value(QStringLiteral("error:")).toString(), QStringLiteral("No legacy languages to list!"));
    QCOMPARE(list.value(QStringLiteral("languageCounter:")).toInt(), 0);
    QVERIFY(!m_tables->validateLegacyTable(BrailleType::SixDot, QStringLiteral("Swedish/Swedish_6_dot.ebc")));
    QVERIFY(log.contains(QStringLiteral("CRITICAL: fetching legacy tables failed!")));
}

void TestBrailleTable::legacyMetadataGenerated()
{
    QVERIFY(m_tables->generateLegacyJson());
    const QVariantMap generated = readJson(TableSettings::generatedLegacyMetadataFile());
    QCOMPARE(generated.size(), 8);

    const QVariantMap spanish = generated.value(QStringLiteral("Spanish")).toMap();
    const QVariantMap shortTable = spanish.value(QStringLiteral("Spanish_6_dot.ebc")).toMap();
    QCOMPARE(shortTable.value(QStringLiteral("dots:")).toString(), QStringLiteral("6"));
    QVERIFY(shortTable.value(QStringLiteral("legacy-type:")).type() != QVariant::String); // a number
    QCOMPARE(shortTable.value(QStringLiteral("legacy-type:")).toInt(), 0);
    QCOMPARE(shortTable.value(QStringLiteral("display-name:")).toString(), QStringLiteral("Spanish, Spanish 6 dot"));
    QCOMPARE(shortTable.value(QStringLiteral("name:")).toString(), QStringLiteral("Spanish, Spanish 6 dot"));
    QCOMPARE(shortTable.value(QStringLiteral("source:")).toString(), QStringLiteral("legacy-table"));
    QCOMPARE(shortTable.value(QStringLiteral("sourcefile:")).toString(), QStringLiteral("Spanish_6_dot.ebc"));
    QCOMPARE(shortTable.value(QStringLiteral("locale:")).toString(), ls::notSpecifiedKey);
    QCOMPARE(shortTable.value(ls::tableFileKey).toString(), QStringLiteral("Spanish/Spanish_6_dot.ebc"));

    const QVariantMap swedish = generated.value(QStringLiteral("Swedish")).toMap();
    QCOMPARE(swedish.value(QStringLiteral("6-dot tables:")).toInt(), 2);
    QCOMPARE(swedish.value(QStringLiteral("8-dot tables:")).toInt(), 1);
    QCOMPARE(swedish.value(QStringLiteral("tableCounter:")).toInt(), 3);

    // What the files say agrees with the shipped metadata for every table.
    for (auto language = generated.cbegin(); language != generated.cend(); ++language) {
        const QVariantMap shipped = readJson(legacyLanguageFile(language.key()));
        const QVariantMap tables = language.value().toMap();
        for (auto table = shipped.cbegin(); table != shipped.cend(); ++table) {
            const QVariantMap entry = tables.value(table.key()).toMap();
            const QVariantMap expected = table.value().toMap();
            QCOMPARE(entry.value(QStringLiteral("dots:")).toString(), expected.value(QStringLiteral("dots:")).toString());
            QCOMPARE(entry.value(QStringLiteral("legacy-type:")).toInt(),
                expected.value(QStringLiteral("legacy-type:")).toInt());
        }
    }
}

// liblouis lists

void TestBrailleTable::liblouisListFile()
{
    QVERIFY(m_tables->generateLiblouisList(8));
    const QVariantMap list = readJson(TableSettings::liblouisListFile(8));
    int languages = 0;
    int tables = 0;
    for (auto language = list.cbegin(); language != list.cend(); ++language) {
        if (language.value().type() != QVariant::Map) {
            continue;
        }
        ++languages;
        const QVariantMap members = language.value().toMap();
        int listed = 0;
        for (auto table = members.cbegin(); table != members.cend(); ++table) {
            if (table.value().type() != QVariant::Map) {
                continue;
            }
            ++listed;
            const QVariantMap entry = table.value().toMap();
            QCOMPARE(entry.value(QStringLiteral("dots:")).toString(), QStringLiteral("8"));
            QCOMPARE(entry.value(QStringLiteral("status:")).toString(), QStringLiteral("active"));
        }
        QCOMPARE(members.value(QStringLiteral("tableCounter:")).toInt(), listed);
        tables += listed;
    }
    QVERIFY(languages > 10);
    QCOMPARE(list.value(QStringLiteral("languageCounter:")).toInt(), languages);
    QVERIFY(!list.contains(QStringLiteral("error:")));
    QVERIFY(!list.contains(QStringLiteral("UserDefined"))); // both slots are empty
    QCOMPARE(m_tables->getLiblouisTables(BrailleType::EightDot).size(), tables);
    QCOMPARE(m_tables->getLiblouisTables(BrailleType::EightDot).value(QStringLiteral("English (U.K.)/computer")),
        QVariant(QStringLiteral("English computer braille as used in the U.K.")));
}

void TestBrailleTable::replacedTableNeverListed()
{
    const QString replaced = QStringLiteral("English (U.S.)/contracted_superseded");
    const QString active = QStringLiteral("English (U.S.)/contracted");
    for (const BrailleType dots : { BrailleType::SixDot, BrailleType::EightDot }) {
        QVERIFY(!m_tables->getLiblouisTables(dots).contains(replaced));
        QVERIFY(!m_tables->validateLiblouisTable(dots, replaced));
    }
    QVERIFY(m_tables->getLiblouisTables(BrailleType::SixDot).contains(active));
    QVERIFY(m_tables->validateLiblouisTable(BrailleType::SixDot, active));
    QVERIFY(!m_tables->validateLiblouisTable(BrailleType::EightDot, active));

    QString table = replaced;
    QVERIFY(m_tables->updateLiblouisTable(table));
    QCOMPARE(table, active);
    QVERIFY(m_tables->validateLiblouisTable(BrailleType::SixDot, table));
    QCOMPARE(m_tables->getTableMetadata(QStringLiteral("English (U.S.)"), QStringLiteral("contracted"))
                 .value(QStringLiteral("sourcefile:")),
        m_tables->getTableMetadata(QStringLiteral("English (U.S.)"), QStringLiteral("contracted_superseded"))
            .value(QStringLiteral("sourcefile:")));
}

void TestBrailleTable::updateLiblouisTable_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("known");
    QTest::addColumn<QString>("updated");

    QTest::newRow("replaced") << "English (U.S.)/contracted_superseded" << true << "English (U.S.)/contracted";
    QTest::newRow("active") << "English (U.S.)/contracted" << true << "English (U.S.)/contracted";
    QTest::newRow("user slot") << "UserDefined/grade0_6dot" << true << "UserDefined/grade0_6dot";
    QTest::newRow("unknown table") << "English (U.S.)/grade9" << false << "English (U.S.)/grade9";
    QTest::newRow("unknown language") << "Klingon/grade1" << false << "Klingon/grade1";
    QTest::newRow("table key of another language") << "English (U.K.)/computer_8dot" << false
                                                   << "English (U.K.)/computer_8dot";
}

void TestBrailleTable::updateLiblouisTable()
{
    QFETCH(QString, table);
    QFETCH(bool, known);
    QFETCH(QString, updated);

    LogCapture log;
    QString name = table;
    QCOMPARE(m_tables->updateLiblouisTable(name), known);
    QCOMPARE(name, updated);
    QCOMPARE(log.contains(QStringLiteral("table could not found!")), !known);
}

void TestBrailleTable::updateWithoutActiveAlternative()
{
    const QString file = liblouisLanguageFile(QStringLiteral("English (U.S.)"));
    keep(file);
    QVariantMap tables = readJson(file);
    // Replaced, and the only other entry with its source file is replaced too.
    QVariantMap orphan = tables.value(QStringLiteral("contracted_superseded")).toMap();
    orphan.insert(QStringLiteral("sourcefile:"), QStringLiteral("gone.ctb"));
    tables.insert(QStringLiteral("orphan"), orphan);
    tables.insert(QStringLiteral("orphan_too"), orphan);
    QVERIFY(writeJson(file, tables));

    LogCapture log;
    QString table = QStringLiteral("English (U.S.)/orphan");
    QVERIFY(!m_tables->updateLiblouisTable(table));
    QCOMPARE(table, QStringLiteral("English (U.S.)/orphan"));
    QVERIFY(log.contains(QStringLiteral("TableSettings::updateLiblouisTable ERROR: English (U.S.)/orphan table could not found!")));
}

void TestBrailleTable::metadataFollowsOneReplacement()
{
    const QString language = QStringLiteral("English (U.S.)");
    const QVariantMap active = m_tables->getTableMetadata(language, QStringLiteral("contracted"));
    QCOMPARE(active.value(QStringLiteral("status:")).toString(), QStringLiteral("active"));
    QCOMPARE(m_tables->getTableMetadata(language, QStringLiteral("contracted_superseded")), active);

    const QString file = liblouisLanguageFile(language);
    keep(file);
    QVariantMap tables = readJson(file);
    const QVariantMap superseded = tables.value(QStringLiteral("contracted_superseded")).toMap();
    QVariantMap older = superseded;
    older.insert(QStringLiteral("replaced-by:"), QStringLiteral("English (U.S.)/contracted_superseded"));
    older.insert(QStringLiteral("display-name:"), QStringLiteral("older"));
    tables.insert(QStringLiteral("older"), older);
    QVariantMap unparsable = superseded;
    unparsable.insert(QStringLiteral("replaced-by:"), QStringLiteral("contracted"));
    unparsable.insert(QStringLiteral("display-name:"), QStringLiteral("unparsable"));
    tables.insert(QStringLiteral("unparsable"), unparsable);
    QVERIFY(writeJson(file, tables));

    // One step only: "older" gives the superseded entry, not the active one behind it.
    QCOMPARE(m_tables->getTableMetadata(language, QStringLiteral("older")), superseded);

    LogCapture log;
    QCOMPARE(m_tables->getTableMetadata(language, QStringLiteral("unparsable")), unparsable);
    QVERIFY(log.contains(QStringLiteral("Replacement table path could not be parsed.")));

    log.clear();
    QVERIFY(m_tables->getTableMetadata(QStringLiteral("Klingon"), QStringLiteral("grade1")).isEmpty());
    QVERIFY(log.contains(QStringLiteral("TableSettings::getTableMetadata FAILED! Unable to open table file!")));
    log.clear();
    QVERIFY(m_tables->getLegacyTableMetadata(QStringLiteral("Klingon"), QStringLiteral("a.ebc")).isEmpty());
    QVERIFY(log.contains(QStringLiteral("BrailleTable::getTableMetadata FAILED: Unable to open table file!")));
    QVERIFY(m_tables->getTableMetadata(language, QStringLiteral("grade9")).isEmpty());
}

void TestBrailleTable::derivedDisplayName_data()
{
    QTest::addColumn<bool>("legacy");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("displayName");

    QTest::newRow("liblouis") << false << "English (U.K.)" << "computer_8dot" << "English (U.K.) computer 8dot";
    QTest::newRow("liblouis blanks") << false << " English  (U.K.) " << "_computer__8dot_"
                                     << "English (U.K.) computer 8dot";
    QTest::newRow("legacy") << true << "Swedish" << "Swedish_6_dot.ebc" << "Swedish, Swedish 6 dot";
    QTest::newRow("legacy language with _") << true << "Old_Norse" << "runes.ebc" << "Old Norse, runes";
    QTest::newRow("legacy without suffix") << true << "German" << "German_8_dot" << "German, German 8 dot";
    QTest::newRow("legacy without language") << true << "" << "Plain_table.ebc" << "Plain table";
}

void TestBrailleTable::derivedDisplayName()
{
    QFETCH(bool, legacy);
    QFETCH(QString, language);
    QFETCH(QString, table);
    QFETCH(QString, displayName);

    if (legacy) {
        const QString name = language.isEmpty() ? table : language + QLatin1Char('/') + table;
        QCOMPARE(TableNames::legacyDisplayName(name), displayName);
    } else {
        QCOMPARE(TableNames::liblouisDisplayName(language, table), displayName);
    }
}

void TestBrailleTable::missingDisplayNamesDerived()
{
    const QString language = QStringLiteral("English (U.K.)");
    const QString file = liblouisLanguageFile(language);
    keep(file);
    QVariantMap tables = readJson(file);
    QVariantMap computer = tables.value(QStringLiteral("computer")).toMap();
    computer.remove(QStringLiteral("display-name:"));
    tables.insert(QStringLiteral("computer"), computer);
    QVariantMap contracted = tables.value(QStringLiteral("contracted")).toMap();
    contracted.insert(QStringLiteral("display-name:"), ls::notSpecifiedKey);
    tables.insert(QStringLiteral("contracted_uk"), contracted);
    QVERIFY(writeJson(file, tables));

    QCOMPARE(m_tables->getLiblouisTables(BrailleType::EightDot).value(QStringLiteral("English (U.K.)/computer")),
        QVariant(QStringLiteral("English (U.K.) computer")));
    QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot).value(QStringLiteral("English (U.K.)/contracted_uk")),
        QVariant(QStringLiteral("English (U.K.) contracted uk")));
    QCOMPARE(m_tables->getTableMetadata(language, QStringLiteral("contracted_uk")).value(QStringLiteral("display-name:")),
        QVariant(QStringLiteral("English (U.K.) contracted uk")));

    const QString legacyFile = legacyLanguageFile(QStringLiteral("Swedish"));
    keep(legacyFile);
    QVariantMap legacyTables = readJson(legacyFile);
    QVariantMap swedish = legacyTables.value(QStringLiteral("Swedish_6_dot.ebc")).toMap();
    swedish.remove(QStringLiteral("display-name:"));
    legacyTables.insert(QStringLiteral("Swedish_6_dot.ebc"), swedish);
    QVERIFY(writeJson(legacyFile, legacyTables));

    QCOMPARE(m_tables->getLegacyTables(BrailleType::SixDot).value(QStringLiteral("Swedish/Swedish_6_dot.ebc")),
        QVariant(QStringLiteral("Swedish, Swedish 6 dot")));
    QCOMPARE(m_tables->getLegacyTableMetadata(QStringLiteral("Swedish"), QStringLiteral("Swedish_6_dot.ebc"))
                 .value(QStringLiteral("display-name:")),
        QVariant(QStringLiteral("Swedish, Swedish 6 dot")));
}

void TestBrailleTable::deletedListRebuilt()
{
    const QString path = TableSettings::liblouisListFile(6);
    const QVariantMap first = m_tables->getLiblouisTables(BrailleType::SixDot);
    QVERIFY(!first.isEmpty());
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(!QFileInfo::exists(TableSettings::liblouisListFile(8))); // generated only on demand

    QVERIFY(QFile::remove(path));
    QLoggingCategory::setFilterRules(QStringLiteral("TableSettings.debug=true"));
    const auto quiet = qScopeGuard([] { QLoggingCategory::setFilterRules(QString()); });
    LogCapture log;
    QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot), first);
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(log.contains(QStringLiteral("File libouis6Dot.json not found, will be created.")));
}

void TestBrailleTable::listReplacedOnDiskIsReadAgain()
{
    const QString path = TableSettings::liblouisListFile(6);
    const QVariantMap first = m_tables->getLiblouisTables(BrailleType::SixDot);
    QVERIFY(first.contains(QStringLiteral("English (U.S.)/contracted")));

    // Replaced by rename, as the service's writer does.
    QVariantMap list = readJson(path);
    QVariantMap english = list.value(QStringLiteral("English (U.S.)")).toMap();
    english.remove(QStringLiteral("contracted"));
    list.insert(QStringLiteral("English (U.S.)"), english);
    QVERIFY(m_json.writeFromMap(QString(), path, list));
    QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot).size(), first.size() - 1);

    // Rewritten in place.
    QVERIFY(writeBytes(path, QByteArrayLiteral(R"({"Test": {"t": {"dots:": "6", "display-name:": "T"}}})")));
    QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot),
        QVariantMap({ { QStringLiteral("Test/t"), QStringLiteral("T") } }));
}

void TestBrailleTable::noLanguagesToList()
{
    QVERIFY(m_tables->generateLiblouisList(7));
    const QVariantMap list = readJson(TableSettings::liblouisListFile(7));
    QCOMPARE(list.value(QStringLiteral("error:")).toString(), QStringLiteral("No liblouis languages to list!"));
    QCOMPARE(list.value(QStringLiteral("languageCounter:")).toInt(), 0);

    LogCapture log;
    QVERIFY(!m_tables->validateLiblouisTable(static_cast<BrailleType>(7), QStringLiteral("English (U.S.)/contracted")));
    QVERIFY(log.contains(QStringLiteral("TableSettings::validateLiblouisTable CRITICAL: fetching liblouis tables failed!")));
}

void TestBrailleTable::metadataNotJson_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("text") << QByteArray("this is { not json");
    QTest::newRow("truncated") << QByteArray(R"({"computer": {"dots:": "8")");
    QTest::newRow("array") << QByteArray(R"([{"computer": {}}])");
    QTest::newRow("string") << QByteArray(R"("computer")");
    QTest::newRow("empty") << QByteArray();
}

void TestBrailleTable::metadataNotJson()
{
    QFETCH(QByteArray, content);

    const QString language = QStringLiteral("Czech");
    const QString file = liblouisLanguageFile(language);
    keep(file);
    QVERIFY(writeBytes(file, content));

    QVERIFY(m_tables->getTableMetadata(language, QStringLiteral("computer")).isEmpty());
    QString table = QStringLiteral("Czech/computer");
    QVERIFY(!m_tables->updateLiblouisTable(table));

    QVERIFY(m_tables->generateLiblouisList(8));
    const QVariantMap list = readJson(TableSettings::liblouisListFile(8));
    QCOMPARE(list.value(language), QVariant(QStringLiteral("JSON file read failed.")));
    QVERIFY(list.value(QStringLiteral("languageCounter:")).toInt() > 0);
    const QVariantMap tables = m_tables->getLiblouisTables(BrailleType::EightDot);
    QVERIFY(tables.contains(QStringLiteral("English (U.K.)/computer")));
    for (auto it = tables.cbegin(); it != tables.cend(); ++it) {
        QVERIFY(!it.key().startsWith(QStringLiteral("Czech/")));
    }
}

// User tables

void TestBrailleTable::tblHeaderImported()
{
    const QString metadata = TableSettings::userDefinedMetadataFile();
    keep(metadata);
    const QString table = userTableFile(QStringLiteral("user_defined_8dot.tbl"));
    keep(table);
    QVERIFY(writeBytes(table,
        "#+locale:de\n"
        "#+display-name:My table: extended\n"
        "#+locale: fr \n"
        "#+no colon here\n"
        "# the header ends here\n"
        "#+dots:6\n"
        "include en-us-g1.ctb\n"));
    const QVariantMap before = readJson(metadata);

    QVERIFY(m_tables->addUserTable(QStringLiteral("user_defined_8dot.tbl"), 8));
    const QVariantMap after = readJson(metadata);
    const QVariantMap entry = after.value(QStringLiteral("grade0_8dot")).toMap();
    QCOMPARE(entry.value(QStringLiteral("locale:")).toString(), QStringLiteral(" fr ")); // later line wins, untrimmed
    QCOMPARE(entry.value(QStringLiteral("display-name:")).toString(), QStringLiteral("My table: extended"));
    QCOMPARE(entry.value(QStringLiteral("dots:")).toString(), QStringLiteral("8")); // after the header
    QVERIFY(!entry.contains(QStringLiteral("no colon here")));
    QCOMPARE(after.value(QStringLiteral("grade0_6dot")), before.value(QStringLiteral("grade0_6dot")));
    QCOMPARE(entry.size(), before.value(QStringLiteral("grade0_8dot")).toMap().size());
}

void TestBrailleTable::tblWithoutHeader_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("comment first") << QByteArray("# my table\n#+locale:de\n");
    QTest::newRow("descriptive key first") << QByteArray("#-name: mine\n#+locale:de\n");
    QTest::newRow("blank first") << QByteArray(" #+locale:de\n");
    QTest::newRow("empty line first") << QByteArray("\n#+locale:de\n");
    QTest::newRow("empty file") << QByteArray();
}

void TestBrailleTable::tblWithoutHeader()
{
    QFETCH(QByteArray, content);

    const QString metadata = TableSettings::userDefinedMetadataFile();
    keep(metadata);
    const QString table = userTableFile(QStringLiteral("user_defined_6dot.tbl"));
    keep(table);
    QVERIFY(writeBytes(table, content));
    const QByteArray before = readBytes(metadata);

    QVERIFY(!m_tables->addUserTable(QStringLiteral("user_defined_6dot.tbl"), 6));
    QVERIFY(!m_tables->exportTableMetadata(metadata, QStringLiteral("user_defined_6dot.tbl")));
    QCOMPARE(readBytes(metadata), before);
}

void TestBrailleTable::userSlotAddedAndRemoved()
{
    const QString metadata = TableSettings::userDefinedMetadataFile();
    keep(metadata);
    const QString slot = QStringLiteral("UserDefined/grade0_6dot");
    for (const QString& name : { QStringLiteral("user_defined_6dot.ctb"), QStringLiteral("user_defined_6dot.tbl") }) {
        keep(userTableFile(name));
        QVERIFY(writeBytes(userTableFile(name), "#+type:computer\ninclude text.dis\n"));
    }
    QVERIFY(!m_tables->getLiblouisTables(BrailleType::SixDot).contains(slot));

    QVERIFY(m_tables->addUserTable(QStringLiteral("user_defined_6dot.ctb"), 6));
    QCOMPARE(readJson(metadata).value(QStringLiteral("grade0_6dot")).toMap().value(QStringLiteral("status:")),
        QVariant(QStringLiteral("active")));
    // The list was regenerated by the change, not left stale.
    QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot).value(slot),
        QVariant(QStringLiteral("User defined 6-dot table")));
    QVERIFY(m_tables->validateLiblouisTable(BrailleType::SixDot, slot));
    QVERIFY(!m_tables->getLiblouisTables(BrailleType::EightDot).contains(QStringLiteral("UserDefined/grade0_8dot")));
    QCOMPARE(m_tables->getUserTables(),
        QVariantMap({ { QStringLiteral("user_defined_6dot"), QStringLiteral(".ctb .tbl ") } }));

    QVERIFY(m_tables->removeUserTable(QStringLiteral("user_defined_6dot"), 6));
    QVERIFY(!QFileInfo::exists(userTableFile(QStringLiteral("user_defined_6dot.ctb"))));
    QVERIFY(!QFileInfo::exists(userTableFile(QStringLiteral("user_defined_6dot.tbl"))));
    QCOMPARE(m_tables->getUserTables(), QVariantMap());
    const QVariantMap entry = readJson(metadata).value(QStringLiteral("grade0_6dot")).toMap();
    QCOMPARE(entry.value(QStringLiteral("status:")).toString(), QStringLiteral("not defined"));
    QCOMPARE(entry.value(QStringLiteral("dots:")).toString(), QStringLiteral("6"));
    QCOMPARE(entry.value(QStringLiteral("grade:")).toString(), QStringLiteral("0"));
    QCOMPARE(entry.value(QStringLiteral("contraction:")).toString(), QStringLiteral("no"));
    QCOMPARE(entry.value(QStringLiteral("locale:")).toString(), QStringLiteral("not specified"));
    QCOMPARE(entry.value(QStringLiteral("type:")).toString(), QStringLiteral("computer"));
    QVERIFY(!m_tables->getLiblouisTables(BrailleType::SixDot).contains(slot));
    QVERIFY(!m_tables->validateLiblouisTable(BrailleType::SixDot, slot));
}

void TestBrailleTable::addUserTableBySuffix_data()
{
    QTest::addColumn<QString>("tableFile");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("status");

    QTest::newRow("ctb") << "user_defined_8dot.ctb" << true << "active";
    QTest::newRow("CTB") << "user_defined_8dot.CTB" << true << "active";
    QTest::newRow("cti") << "user_defined_8dot.cti" << true << "not defined";
    QTest::newRow("Cti") << "user_defined_8dot.Cti" << true << "not defined";
    QTest::newRow("txt") << "user_defined_8dot.txt" << false << "not defined";
    QTest::newRow("no suffix") << "user_defined_8dot" << false << "not defined";
    QTest::newRow("ctb of no slot") << "mine.ctb" << false << "not defined";
}

void TestBrailleTable::addUserTableBySuffix()
{
    QFETCH(QString, tableFile);
    QFETCH(bool, accepted);
    QFETCH(QString, status);

    const QString metadata = TableSettings::userDefinedMetadataFile();
    keep(metadata);
    QCOMPARE(m_tables->addUserTable(tableFile, 8), accepted);
    const QVariantMap content = readJson(metadata);
    QCOMPARE(content.value(QStringLiteral("grade0_8dot")).toMap().value(QStringLiteral("status:")).toString(), status);
    QCOMPARE(content.size(), 2);
}

void TestBrailleTable::setJsonSettingsKeepsUnreadableFile()
{
    const QString path = m_root->file(QStringLiteral("/tmp/UserDefined.json"));
    QVERIFY(writeBytes(path, "{ broken"));
    QVERIFY(!m_tables->setJsonSettings(path, QStringLiteral("user_defined_6dot"),
        { { QStringLiteral("status:"), QStringLiteral("active") } }));
    QCOMPARE(readBytes(path), QByteArray("{ broken"));

    const QString fresh = m_root->file(QStringLiteral("/tmp/Fresh.json"));
    QVERIFY(m_tables->setJsonSettings(fresh, QStringLiteral("user_defined_8dot.ctb"),
        { { QStringLiteral("status:"), QStringLiteral("active") } }));
    QCOMPARE(readJson(fresh),
        QVariantMap({ { QStringLiteral("grade0_8dot"),
            QVariantMap({ { QStringLiteral("status:"), QStringLiteral("active") } }) } }));
}

// Names from requests

void TestBrailleTable::malformedTableNames_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("slash first") << "/contracted";
    QTest::newRow("no slash") << "contracted";
    QTest::newRow("slash last") << "English (U.S.)/";
    QTest::newRow("only a slash") << "/";
    QTest::newRow("two slashes") << "English (U.S.)/contracted/x";
    QTest::newRow("empty") << "";
}

void TestBrailleTable::malformedTableNames()
{
    QFETCH(QString, name);

    QString liblouis = name;
    QVERIFY(!m_tables->updateLiblouisTable(liblouis));
    QCOMPARE(liblouis, name);
    QVERIFY(!m_tables->validateLiblouisTable(BrailleType::SixDot, name));

    const QString legacy = QString(name).replace(QStringLiteral("English (U.S.)"), QStringLiteral("Swedish"))
                               .replace(QStringLiteral("contracted"), QStringLiteral("Swedish_6_dot.ebc"));
    QCOMPARE(m_tables->legacyTableDots(legacy), -1);
    QCOMPARE(m_tables->legacyTableType(legacy), -1);
}

void TestBrailleTable::hostileNames_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("table");

    QTest::newRow("parent language") << "../planted" << "t";
    QTest::newRow("dot dot") << ".." << "t";
    QTest::newRow("climbing") << "a/../../planted" << "t";
    QTest::newRow("NUL in language") << QStringLiteral("planted") + QChar(0) << "t";
    QTest::newRow("parent table") << "English (U.S.)" << "../contracted";
    QTest::newRow("NUL in table") << "English (U.S.)" << QStringLiteral("contracted") + QChar(0);
}

void TestBrailleTable::hostileNames()
{
    QFETCH(QString, language);
    QFETCH(QString, table);

    // Files and directories through which each name would reach a planted table if it were used
    // unchecked: metadata files one level above the roots, and a legacy table beside them.
    const QString embosser = QFileInfo(liblouisRoot()).absolutePath();
    const QString legacyRoot = Locations::legacyTablesDir();
    const QString planted = embosser + QStringLiteral("/planted");
    const QVariantMap entry { { QStringLiteral("dots:"), QStringLiteral("6") },
        { QStringLiteral("status:"), QStringLiteral("active") }, { QStringLiteral("display-name:"), QStringLiteral("planted") } };
    const QVariantMap tables { { QStringLiteral("t"), entry }, { QStringLiteral("planted/t"), entry } };
    QStringList fields = legacyFields(QString());
    fields[8] = QStringLiteral("8 DOT");
    for (const QString& path : { planted, embosser + QStringLiteral("/planted.json"), embosser + QStringLiteral("/...json"),
             embosser + QStringLiteral("/t"), liblouisRoot() + QStringLiteral("/a"), legacyRoot + QStringLiteral("/a") }) {
        keep(path);
    }
    QVERIFY(writeJson(embosser + QStringLiteral("/planted.json"), tables));
    QVERIFY(writeJson(embosser + QStringLiteral("/...json"), tables));
    QVERIFY(writeBytes(planted + QStringLiteral("/t"), legacyImage(0, fields)));
    QVERIFY(writeBytes(embosser + QStringLiteral("/t"), legacyImage(0, fields)));
    QVERIFY(QDir().mkpath(planted + QStringLiteral("/a")));
    QVERIFY(QDir().mkpath(liblouisRoot() + QStringLiteral("/a")));
    QVERIFY(QDir().mkpath(legacyRoot + QStringLiteral("/a")));
    const QString name = language + QLatin1Char('/') + table;
    if (table == QLatin1String("t") && !language.contains(QChar(0))) {
        QVERIFY(QFile::exists(TableSettings::languageMetadataFile(liblouisRoot(), language)));
        QVERIFY(QFile::exists(TableSettings::languageMetadataFile(legacyRoot, language)));
        QVERIFY(QFile::exists(Locations::join(legacyRoot, name)));
    }

    LogCapture log;
    QVERIFY(m_tables->getTableMetadata(language, table).isEmpty());
    QVERIFY(m_tables->getLegacyTableMetadata(language, table).isEmpty());
    QString updated = name;
    QVERIFY(!m_tables->updateLiblouisTable(updated));
    QCOMPARE(updated, name);
    QCOMPARE(m_tables->legacyTableDots(name), -1);
    QCOMPARE(m_tables->legacyTableType(name), -1);
    QVERIFY(log.count(QStringLiteral(" ERROR: ")) >= 5);
}

void TestBrailleTable::hostileUserTableNames_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("parent") << "../user_defined_6dot";
    QTest::newRow("climbing") << "a/../../user_defined_6dot";
    QTest::newRow("absolute") << "/usr/share/liblouis/user_defined_6dot";
    QTest::newRow("NUL") << QStringLiteral("user_defined_6dot") + QChar(0) + QStringLiteral("x");
}

void TestBrailleTable::hostileUserTableNames()
{
    QFETCH(QString, name);

    const QString metadata = TableSettings::userDefinedMetadataFile();
    keep(metadata);
    // Victims one directory above the liblouis table directory.
    const QString outside = QFileInfo(Locations::liblouisTablesDir()).absolutePath();
    for (const QString& extension : { QStringLiteral(".ctb"), QStringLiteral(".cti"), QStringLiteral(".tbl") }) {
        keep(outside + QStringLiteral("/user_defined_6dot") + extension);
        QVERIFY(writeBytes(outside + QStringLiteral("/user_defined_6dot") + extension, "#+status:active\n"));
    }
    keep(userTableFile(QStringLiteral("a")));
    QVERIFY(QDir().mkpath(userTableFile(QStringLiteral("a"))));
    const QByteArray before = readBytes(metadata);

    QVERIFY(!m_tables->addUserTable(name + QStringLiteral(".tbl"), 6));
    QVERIFY(!m_tables->addUserTable(name + QStringLiteral(".ctb"), 6));
    QVERIFY(!m_tables->exportTableMetadata(metadata, name + QStringLiteral(".tbl")));
    QVERIFY(!m_tables->removeUserTable(name, 6));
    QCOMPARE(readBytes(metadata), before);
    for (const QString& extension : { QStringLiteral(".ctb"), QStringLiteral(".cti"), QStringLiteral(".tbl") }) {
        QVERIFY(QFileInfo::exists(outside + QStringLiteral("/user_defined_6dot") + extension));
    }

    // A system table beside the slots is not a slot either.
    const QString system = userTableFile(QStringLiteral("en-us-g2.ctb"));
    keep(system);
    QVERIFY(writeBytes(system, "include en-us-g1.ctb\n"));
    QVERIFY(!m_tables->removeUserTable(QStringLiteral("en-us-g2"), 6));
    QVERIFY(QFileInfo::exists(system));
}

void TestBrailleTable::symbolicLinkOutsideRefused()
{
    const QString outside = m_root->file(QStringLiteral("/outside"));
    keep(outside);
    const QVariantMap tables { { QStringLiteral("t"), QVariantMap { { QStringLiteral("dots:"), QStringLiteral("6") } } } };
    QVERIFY(writeJson(outside + QStringLiteral("/Linked/Linked.json"), tables));
    QVERIFY(writeBytes(outside + QStringLiteral("/secret.tbl"), "#+locale:secret\n"));

    const QString link = Locations::join(liblouisRoot(), QStringLiteral("Linked"));
    keep(link);
    QVERIFY(QFile::link(outside + QStringLiteral("/Linked"), link));
    const QString tableLink = userTableFile(QStringLiteral("user_defined_6dot.tbl"));
    keep(tableLink);
    QVERIFY(QFile::link(outside + QStringLiteral("/secret.tbl"), tableLink));
    const QString metadata = TableSettings::userDefinedMetadataFile();
    keep(metadata);
    const QByteArray before = readBytes(metadata);

    QVERIFY(m_tables->getTableMetadata(QStringLiteral("Linked"), QStringLiteral("t")).isEmpty());
    QString table = QStringLiteral("Linked/t");
    QVERIFY(!m_tables->updateLiblouisTable(table));
    QVERIFY(!m_tables->addUserTable(QStringLiteral("user_defined_6dot.tbl"), 6));
    QCOMPARE(readBytes(metadata), before);
}

QTEST_GUILESS_MAIN(TestBrailleTable)
#include "tst_brailletable.moc"
