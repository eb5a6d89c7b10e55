// Braille tables on the shipped root: the legacy .ebc layout and type codes, the generated lists, table
// metadata and replacements, the user table slots, and names from requests that must stay inside their
// directory. A test that changes a shipped file saves it with keep() first; cleanup() puts it back.

#include "DataRow.h"
#include "LegacyTableBuffer.h"
#include "Locations.h"
#include "LogCapture.h"
#include "TableLists.h"
#include "TableNames.h"
#include "TableSettings.h"
#include "TestRoot.h"
#include "UserTableSlots.h"

#include "ls/JFile.h"
#include "ls/Keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <optional>

using lcm::BrailleType;
using lcm::LegacyTable;

namespace {

const QString usEnglish = QStringLiteral("English (U.S.)");
constexpr int legacyFileSize = 3108;

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

bool writeJson(const QString& path, const QVariantMap& map)
{
    return writeBytes(path, QJsonDocument(QJsonObject::fromVariantMap(map)).toJson());
}

// An otherwise empty legacy table image with `typeValue` in its field.
QByteArray legacyImage(const QString& typeValue)
{
    return QByteArray(legacyFileSize, '\0').replace(404, typeValue.size(), typeValue.toLatin1());
}

} // namespace

class TestBrailleTable : public QObject {
    Q_OBJECT

    std::unique_ptr<TestRoot> m_root;
    ls::JFile m_json;
    std::unique_ptr<TableSettings> m_tables;
    QMap<QString, std::optional<QByteArray>> m_kept; // content before the test; none: did not exist
    QString m_liblouis; // metadata roots
    QString m_legacy;

    static QVariantMap readJson(const QString& path)
    {
        return QJsonDocument::fromJson(readBytes(path)).object().toVariantMap();
    }
    static QString userTableFile(const QString& name) { return Locations::join(Locations::liblouisTablesDir(), name); }

    // Saves a file (or the absence of a path) for cleanup() to restore.
    void keep(const QString& path)
    {
        const QFileInfo info(path);
        if (!m_kept.contains(path) && (info.isFile() || !info.exists())) {
            m_kept.insert(path, info.isFile() ? std::make_optional(readBytes(path)) : std::nullopt);
        }
    }

    // Writes entry `key` of a metadata file as entry `from` (default: itself) with `changes`; invalid removes.
    bool putEntry(const QString& file, const QString& key, const QVariantMap& changes, const QString& from = {})
    {
        keep(file);
        QVariantMap tables = readJson(file);
        QVariantMap entry = tables.value(from.isEmpty() ? key : from).toMap();
        for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
            entry.remove(it.key());
            if (it->isValid()) {
                entry.insert(it.key(), *it);
            }
        }
        tables.insert(key, entry);
        return writeJson(file, tables);
    }

private slots:
    void initTestCase()
    {
        // Locations are fixed by the first use, so the root comes first.
        m_root = std::make_unique<TestRoot>();
        QVERIFY(m_root->isValid());
        m_liblouis = Locations::embosserLiblouisDir();
        m_legacy = Locations::legacyTablesDir();
    }

    void init()
    {
        QDir(Locations::runDir()).removeRecursively(); // a fresh boot: no generated lists
        m_tables = std::make_unique<TableSettings>(&m_json, &m_json);
    }

    void cleanup()
    {
        for (auto it = m_kept.cbegin(); it != m_kept.cend(); ++it) {
            if (!QFile::remove(it.key())) {
                QDir(it.key()).removeRecursively();
            }
            if (it.value()) {
                writeBytes(it.key(), *it.value());
            }
        }
        m_kept.clear();
    }

    // Legacy tables

    void legacyImageLayout()
    {
        const LegacyTable inFileOrder[] = { LegacyTable::Header, LegacyTable::Version, LegacyTable::Creator,
            LegacyTable::Date, LegacyTable::Description, LegacyTable::Speech, LegacyTable::PageNoText,
            LegacyTable::Type, LegacyTable::TypeValue, LegacyTable::Free1, LegacyTable::Free2 };
        // The last field fills its 50 bytes: no NUL ends it.
        const auto text
            = [](int slot) { return slot < 10 ? QByteArray("field ") + char('a' + slot) : QByteArray(50, 'x'); };
        QByteArray image = legacyImage(QString()).replace(0, 4, "\x01\x02\x03\x04", 4);
        for (int slot = 0; slot < 11; ++slot) {
            image.replace(4 + slot * 50, text(slot).size(), text(slot));
        }
        const QString path = m_root->file("/tmp/layout.ebc");
        QVERIFY(writeBytes(path, image) && m_tables->loadLegacyTable(path));
        QCOMPARE(LegacyTableBuffer::formatWord(), quint32(0x01020304));
        for (int slot = 0; slot < 11; ++slot) {
            QCOMPARE(m_tables->legacyTableField(inFileOrder[slot]), QString(text(slot)));
        }
        QCOMPARE(m_tables->legacyTableField(static_cast<LegacyTable>(42)), QString(text(0))); // unknown: Header
    }

    void legacyTypeValue_data()
    {
        QTest::addColumn<QString>("typeValue");
        QTest::addColumn<int>("size"); // of the file, -1: no file
        QTest::addColumn<int>("dots");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("field"); // TypeValue as loaded
        row("8 DOT", "8 DOT", legacyFileSize, 8, 1, "8 DOT");
        row("with prefix", "WITH CAPITAL PREFIX", legacyFileSize, 6, 2, "WITH CAPITAL PREFIX");
        row("without prefix", "WITHOUT CAPITAL PREFIX", legacyFileSize, 6, 3, "WITHOUT CAPITAL PREFIX");
        row("other text", "COMPUTER", legacyFileSize, 6, 0, "COMPUTER");
        row("lower case", "8 dot", legacyFileSize, 6, 0, "8 dot");
        row("short file", "8 DOT", 404, 6, 0, ""); // ends before TypeValue
        row("no file", "", -1, -1, -1, "8 DOT"); // the previous table stays
    }

    void legacyTypeValue()
    {
        QFETCH(QString, typeValue);
        QFETCH(int, size);
        const QString table = "Test/Test.ebc";
        keep(Locations::join(m_legacy, "Test"));
        if (size >= 0) {
            QVERIFY(writeBytes(Locations::join(m_legacy, table), legacyImage(typeValue).left(size)));
        }
        // After an 8-dot table, which a buffer not zeroed before each load would show.
        QCOMPARE(m_tables->legacyTableDots("English/US_computer_8_dot.ebc"), 8);
        LogCapture log;
        QTEST(m_tables->legacyTableDots(table), "dots");
        QTEST(m_tables->legacyTableType(table), "type");
        QTEST(m_tables->legacyTableField(LegacyTable::TypeValue), "field");
        QCOMPARE(log.contains("LegacyTableBuffer::load ERROR: Failed to open file"), size < 0);
    }

    void legacyLists()
    {
        const QString swedish6 = "Swedish/Swedish_6_dot.ebc";
        const auto swedishCounters = [this] {
            const QVariantMap swedish = m_tables->getLegacyTables().value("Swedish").toMap();
            return QVariantList { swedish.value("6-dot tables:"), swedish.value("8-dot tables:"),
                swedish.value("tableCounter:") };
        };
        QVERIFY(m_tables->validateLegacyTable(BrailleType::SixDot, swedish6));
        QVERIFY(!m_tables->validateLegacyTable(BrailleType::EightDot, swedish6));
        QCOMPARE(swedishCounters(), QVariantList({ 2, 1, 3 }));
        // A table that is not active leaves the lists; one without "dots:" counts as 6-dot, one without a
        // display name is listed with the derived one.
        const QString file = TableNames::languageMetadataFile(m_legacy, "Swedish");
        QVERIFY(putEntry(file, "Swedish_8_dot.ebc", { { "status:", "retired" } }));
        QVERIFY(putEntry(file, "Swedish_6_dot.ebc", { { "dots:", QVariant() } }));
        QVERIFY(putEntry(file, "Swedish_6_dot_no_capitals.ebc", { { "display-name:", QVariant() } }));
        QVERIFY(QFile::remove(TableLists::legacyListFile()));
        QCOMPARE(swedishCounters(), QVariantList({ 2, 0, 2 }));
        QCOMPARE(m_tables->getLegacyTables(BrailleType::SixDot).value("Swedish/Swedish_6_dot_no_capitals.ebc"),
            QVariant("Swedish, Swedish 6 dot no capitals"));

        // No table has 7 dots: nothing to validate against.
        QVERIFY(!m_tables->validateLegacyTable(static_cast<BrailleType>(7), swedish6));
    }

    void legacyMetadataGenerated()
    {
        QVERIFY(m_tables->generateLegacyJson());
        const QVariantMap generated = readJson(TableLists::generatedLegacyMetadataFile());
        QCOMPARE(generated.size(), 8);
        const QVariantMap entry = generated.value("Spanish").toMap().value("Spanish_6_dot.ebc").toMap();
        QVERIFY(entry.value("legacy-type:").userType() != QMetaType::QString);
        const QString name = "Spanish, Spanish 6 dot";
        QCOMPARE(entry,
            QVariantMap({ { "source:", "legacy-table" }, { "sourcefile:", "Spanish_6_dot.ebc" },
                { "contraction:", "no" }, { "display-name:", name }, { "name:", name }, { "legacy-type:", 0 },
                { "dots:", "6" }, { "grade:", "0" }, { "type:", "computer" }, { "locale:", ls::notSpecifiedKey },
                { ls::tableFileKey, "Spanish/Spanish_6_dot.ebc" } }));
    }

    // liblouis lists and metadata

    void liblouisList()
    {
        // Generated on demand: the active tables of the dot count, counted.
        const QString path = TableLists::liblouisListFile(6);
        const QVariantMap first = m_tables->getLiblouisTables(BrailleType::SixDot);
        const QVariantMap list = readJson(path);
        const auto isLanguage = [](const QVariant& member) { return member.userType() == QMetaType::QVariantMap; };
        QCOMPARE(list.value("languageCounter:").toInt(), int(std::count_if(list.cbegin(), list.cend(), isLanguage)));
        QCOMPARE(list.value("English (U.K.)").toMap().value("tableCounter:").toInt(), 2); // of 3, the 6-dot ones
        QVERIFY(first.contains(usEnglish + "/contracted"));
        QVERIFY(!m_tables->validateLiblouisTable(BrailleType::SixDot, usEnglish + "/contracted_superseded"));

        // Deleted: the next listing rebuilds it.
        QVERIFY(QFile::remove(path));
        QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot), first);
        QCOMPARE(readJson(path), list);

        // Replaced by rename, as the service's writer does, or rewritten in place: read again.
        const QVariantMap tables { { "t", QVariantMap({ { "dots:", "6" }, { "display-name:", "T" } }) } };
        QVERIFY(m_json.writeFromMap(QString(), path, { { "Test", tables } }));
        QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot), QVariantMap({ { "Test/t", "T" } }));
        QVERIFY(writeJson(path, { { "Other", tables } })); // another size: the same inode may keep its time
        QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot), QVariantMap({ { "Other/t", "T" } }));

        // No table has 7 dots: nothing to list.
        QVERIFY(!m_tables->validateLiblouisTable(static_cast<BrailleType>(7), usEnglish + "/contracted"));
        QCOMPARE(readJson(TableLists::liblouisListFile(7)).value("error:"), QVariant("No liblouis languages to list!"));
    }

    void updateLiblouisTable_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("updated"); // empty: refused
        QTest::addColumn<QString>("logged");
        const QString us = usEnglish + '/';
        // The active entry with the same source file, which is not the language's first active one.
        row("replaced", us + "contracted_superseded", us + "contracted", "");
        row("active", us + "contracted", us + "contracted", "");
        row("orphan", us + "orphan", "", "ERROR: English (U.S.)/orphan table could not found!");
        row("slash first", "/contracted", "", "refusing table name");
        row("no slash", "contracted", "", "refusing table name");
    }

    void updateLiblouisTable()
    {
        QFETCH(QString, table);
        QFETCH(QString, updated);
        QFETCH(QString, logged);
        // Orphans: replaced, and the only other entry with their source file is replaced too.
        const QString file = TableNames::languageMetadataFile(m_liblouis, usEnglish);
        for (const char* key : { "orphan", "orphan_too" }) {
            QVERIFY(putEntry(file, key, { { "sourcefile:", "gone.ctb" } }, "contracted_superseded"));
        }
        LogCapture log;
        QString name = table;
        QCOMPARE(m_tables->updateLiblouisTable(name), !updated.isEmpty());
        QCOMPARE(name, updated.isEmpty() ? table : updated);
        QCOMPARE(log.contains("TableMetadata::updateLiblouisTable ERROR: "), updated.isEmpty());
        QVERIFY(logged.isEmpty() || log.contains(logged));
    }

    void metadataFollowsOneReplacement_data()
    {
        QTest::addColumn<QString>("replacedBy"); // of "older", a copy of the superseded entry
        QTest::addColumn<QString>("answer"); // the entry answered; empty: only the derived display name
        row("one step only", usEnglish + "/contracted_superseded", "contracted_superseded");
        row("unparsable path", "contracted", "older");
        row("no such language", "Klingon/grade1", "older");
        row("no such member", usEnglish + "/grade9", "");
    }

    void metadataFollowsOneReplacement()
    {
        QFETCH(QString, replacedBy);
        QFETCH(QString, answer);
        const QString file = TableNames::languageMetadataFile(m_liblouis, usEnglish);
        QVERIFY(putEntry(file, "older", { { "replaced-by:", replacedBy } }, "contracted_superseded"));
        LogCapture log;
        const QVariantMap derived { { "display-name:", usEnglish + " older" } };
        QCOMPARE(m_tables->getTableMetadata(usEnglish, "older"), readJson(file).value(answer, derived).toMap());
        QCOMPARE(log.contains("Replacement table path could not be parsed."), replacedBy == "contracted");
    }

    void metadataFileUnusable_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        row("text", QByteArray("this is { not json"));
        row("no file", QByteArray());
    }

    void metadataFileUnusable()
    {
        QFETCH(QByteArray, content);
        for (const QString& file : { TableNames::languageMetadataFile(m_liblouis, "Czech"),
                 TableNames::languageMetadataFile(m_legacy, "Swedish") }) {
            keep(file);
            QVERIFY(content.isNull() ? QFile::remove(file) : writeBytes(file, content));
        }
        // A file that cannot be parsed answers the derived display name, one that cannot be opened nothing.
        const auto answer = [&](const QString& name) {
            return content.isNull() ? QVariantMap() : QVariantMap({ { "display-name:", name } });
        };
        QCOMPARE(m_tables->getTableMetadata("Czech", "computer"), answer("Czech computer"));
        QCOMPARE(m_tables->getLegacyTableMetadata("Swedish", "Swedish_6_dot.ebc"), answer("Swedish, Swedish 6 dot"));
        QString table = "Czech/computer";
        QVERIFY(!m_tables->updateLiblouisTable(table));
        // A language whose file cannot be parsed is recorded as failed; the others are still listed.
        QVERIFY(m_tables->getLiblouisTables(BrailleType::EightDot).contains("English (U.K.)/computer"));
        QCOMPARE(readJson(TableLists::liblouisListFile(8)).value("Czech"),
            content.isNull() ? QVariant() : QVariant("JSON file read failed."));
    }

    void derivedDisplayName()
    {
        const QString uk = TableNames::languageMetadataFile(m_liblouis, "English (U.K.)");
        QVERIFY(putEntry(uk, "computer", { { "display-name:", QVariant() } }));
        QVERIFY(putEntry(uk, "contracted", { { "display-name:", ls::notSpecifiedKey } }));
        const QVariant computer("English (U.K.) computer");
        const QVariant contracted("English (U.K.) contracted");
        QCOMPARE(m_tables->getLiblouisTables(BrailleType::EightDot).value("English (U.K.)/computer"), computer);
        QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot).value("English (U.K.)/contracted"), contracted);
        // A table that is not in its language's file.
        QCOMPARE(m_tables->getTableMetadata("English (U.K.)", "grade9"),
            QVariantMap({ { "display-name:", "English (U.K.) grade9" } }));

        QCOMPARE(TableNames::liblouisDisplayName(" Old  Norse ", "_computer__8dot "), "Old Norse computer 8dot");
        // Without a "/" at position 1 or later the name is used whole.
        QCOMPARE(TableNames::legacyDisplayName("Plain_table.ebc"), "Plain table");
        QCOMPARE(TableNames::legacyDisplayName("/Plain_table.ebc"), "/Plain table");
    }

    // User tables

    void tblHeader_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QVariantMap>("imported"); // empty: refused, the metadata left alone
        // Later lines win, values are not trimmed, and the header ends at the first other line.
        row("header",
            QByteArray("#+locale:de\n#+display-name:My table: extended\n#+locale: fr \n#+no colon here\n"
                       "# the header ends here\n#+dots:6\ninclude a.ctb\n"),
            QVariantMap({ { "locale:", " fr " }, { "display-name:", "My table: extended" } }));
        row("comment first", QByteArray("# my table\n#+locale:de\n"), QVariantMap());
    }

    void tblHeader()
    {
        QFETCH(QByteArray, content);
        QFETCH(QVariantMap, imported);
        const QString metadata = UserTableSlots::userDefinedMetadataFile();
        const QString table = userTableFile("user_defined_8dot.tbl");
        keep(metadata);
        keep(table);
        QVERIFY(writeBytes(table, content));
        QVariantMap expected = readJson(metadata);
        QVariantMap entry = expected.value("grade0_8dot").toMap();
        entry.insert(imported);
        expected.insert("grade0_8dot", entry);
        QCOMPARE(m_tables->addUserTable("user_defined_8dot.tbl", 8), !imported.isEmpty());
        QCOMPARE(readJson(metadata), expected);
    }

    void userSlotAddedAndRemoved()
    {
        const QString metadata = UserTableSlots::userDefinedMetadataFile();
        const QString slot = "UserDefined/grade0_6dot";
        keep(metadata);
        for (const char* name : { "user_defined_6dot.ctb", "user_defined_6dot.tbl" }) {
            keep(userTableFile(name));
            QVERIFY(writeBytes(userTableFile(name), "#+type:computer\ninclude text.dis\n"));
        }
        // The suffix decides; ".cti" is accepted with nothing to record.
        const QByteArray before = readBytes(metadata);
        QVERIFY(m_tables->addUserTable("user_defined_6dot.Cti", 6));
        QVERIFY(!m_tables->addUserTable("user_defined_6dot.txt", 6));
        QVERIFY(!m_tables->addUserTable("mine.ctb", 6)); // no slot
        QCOMPARE(readBytes(metadata), before);
        QVERIFY(!m_tables->validateLiblouisTable(BrailleType::SixDot, slot));

        // Each change regenerates the list instead of leaving it stale.
        QVERIFY(m_tables->addUserTable("user_defined_6dot.CTB", 6));
        QCOMPARE(m_tables->getLiblouisTables(BrailleType::SixDot).value(slot), QVariant("User defined 6-dot table"));
        QCOMPARE(m_tables->getUserTables(), QVariantMap({ { "user_defined_6dot", ".ctb .tbl " } }));
        QVERIFY(m_tables->removeUserTable("user_defined_6dot", 6));
        QCOMPARE(m_tables->getUserTables(), QVariantMap());
        QVERIFY(!m_tables->validateLiblouisTable(BrailleType::SixDot, slot));
        QCOMPARE(readJson(metadata).value("grade0_6dot").toMap(),
            QVariantMap({ { "contraction:", "no" }, { "dots:", "6" }, { "grade:", "0" }, { "locale:", "not specified" },
                { "status:", "not defined" }, { "type:", "computer" }, { "display-name:", "User defined 6-dot table" },
                { "sourcefile:", "user_defined_6dot.ctb" } }));

        // A metadata file that cannot be parsed is left for repair, not replaced by one entry.
        QVERIFY(writeBytes(metadata, "{ broken"));
        QVERIFY(!m_tables->addUserTable("user_defined_6dot.ctb", 6));
        QCOMPARE(readBytes(metadata), QByteArray("{ broken"));
    }

    // Names from requests

    void namesStayInside()
    {
        // Planted outside the roots where each name leads when used unchecked: metadata listing an
        // active table "t", reached by "../planted" and through the link "Linked", a legacy table
        // "../planted/t", and a user table header reached through a linked slot file.
        const QString planted = QFileInfo(m_liblouis).absolutePath() + "/planted";
        const QString link = Locations::join(m_liblouis, "Linked");
        const QString tableLink = userTableFile("user_defined_6dot.tbl");
        const QString metadata = UserTableSlots::userDefinedMetadataFile();
        for (const QString& path : { planted, planted + ".json", link, tableLink, metadata }) {
            keep(path);
        }
        const QVariantMap tables { { "t", QVariantMap({ { "dots:", "6" }, { "status:", "active" } }) } };
        QVERIFY(writeJson(planted + ".json", tables) && writeJson(planted + "/Linked.json", tables));
        QVERIFY(writeBytes(planted + "/t", legacyImage("8 DOT")));
        QVERIFY(writeBytes(planted + "/secret.tbl", "#+locale:secret\n"));
        QVERIFY(QFile::link(planted, link) && QFile::link(planted + "/secret.tbl", tableLink));
        QVERIFY(QFile::exists(Locations::join(m_legacy, "../planted/t")));
        const QByteArray before = readBytes(metadata);

        for (const QString language : { "../planted", "Linked" }) {
            QVERIFY(QFile::exists(TableNames::languageMetadataFile(m_liblouis, language)));
            QVERIFY(m_tables->getTableMetadata(language, "t").isEmpty());
            QString table = language + "/t";
            QVERIFY(!m_tables->updateLiblouisTable(table));
        }
        QVERIFY(m_tables->getLegacyTableMetadata("../planted", "t").isEmpty());
        QCOMPARE(m_tables->legacyTableDots("../planted/t"), -1);
        QCOMPARE(m_tables->legacyTableType("../planted/t"), -1);
        QVERIFY(!m_tables->addUserTable("user_defined_6dot.tbl", 6));
        QCOMPARE(readBytes(metadata), before);
    }

    void hostileUserTableNames_data()
    {
        QTest::addColumn<QString>("name");
        row("parent", "../user_defined_6dot");
        row("NUL", QString("user_defined_6dot") + QChar(0) + "x");
        row("system table", "en-us-g2");
    }

    void hostileUserTableNames()
    {
        QFETCH(QString, name);
        // Victims where the name leads when used unchecked (for NUL, the real slot's files).
        const QString metadata = UserTableSlots::userDefinedMetadataFile();
        const QString victim = QDir::cleanPath(userTableFile(name.section(QChar(0), 0, 0)));
        keep(metadata);
        for (const char* extension : { ".ctb", ".cti", ".tbl" }) {
            keep(victim + extension);
            QVERIFY(writeBytes(victim + extension, "#+status:active\n"));
        }
        const QByteArray before = readBytes(metadata);
        QVERIFY(!m_tables->addUserTable(name + ".tbl", 6));
        QVERIFY(!m_tables->addUserTable(name + ".ctb", 6));
        QVERIFY(!m_tables->exportTableMetadata(metadata, name + ".tbl"));
        QVERIFY(!m_tables->removeUserTable(name, 6));
        QCOMPARE(readBytes(metadata), before);
        for (const char* extension : { ".ctb", ".cti", ".tbl" }) {
            QVERIFY(QFileInfo::exists(victim + extension));
        }
    }
};

QTEST_GUILESS_MAIN(TestBrailleTable)
#include "tst_brailletable.moc"
