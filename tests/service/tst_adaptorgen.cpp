// The adaptor generator: each row pattern expands into its overloads, longest first (so gdbus and
// busctl, which type a call from the first method of a name, reach every shorter form), with the
// right D-Bus signatures and forwarding bodies.
#include "AdaptorTable.h"
#include "AdaptorWriter.h"

#include <QTemporaryDir>
#include <QTest>

class TestAdaptorGen : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    bool readTable(const QByteArray& rows, AdaptorTable& table)
    {
        QFile file(m_dir.filePath(QStringLiteral("table")));
        if (!file.open(QIODevice::WriteOnly) || file.write(rows) != rows.size()) {
            return false;
        }
        file.close();
        return table.read(file.fileName());
    }

    static QStringList shapes(const AdaptorTable& table)
    {
        QStringList result;
        for (const AdaptorMethod& method : table.methods()) {
            QStringList types;
            for (const AdaptorArgument& argument : method.arguments) {
                types << argument.type;
            }
            result << QStringLiteral("%1 %2(%3) = %4")
                          .arg(method.returnType, method.name, types.join(QLatin1Char(',')), method.body);
        }
        return result;
    }

private slots:
    void patternsExpandLongestFirst_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("catalog and save")
            << QByteArray("catalogSave | Volume | QString | speech()\n")
            << QStringList {
                   "void setVolume(QString,QString,bool) = speech()->setVolume(value, catalog, save)",
                   "void setVolume(QString,QString) = speech()->setVolume(value, catalog, false)",
                   "void setVolume(QString) = speech()->setVolume(value, defaultCatalog(), false)",
                   "QString getVolume(QString) = speech()->getVolume(catalog)",
                   "QString getVolume() = speech()->getVolume(defaultCatalog())",
               };
        QTest::newRow("fixed key, setter and getter types differ")
            << QByteArray("catalogOnly | FileCRC | double/int | temp() @Value(Key::Crc)\n")
            << QStringList {
                   "void setFileCRC(double,QString) = temp()->setValue(Key::Crc, value, catalog)",
                   "void setFileCRC(double) = temp()->setValue(Key::Crc, value, defaultCatalog())",
                   "int getFileCRC(QString) = temp()->getValue(Key::Crc, catalog)",
                   "int getFileCRC() = temp()->getValue(Key::Crc, defaultCatalog())",
               };
        QTest::newRow("keyed")
            << QByteArray("keyed | SensorState | bool | parameters()\n")
            << QStringList {
                   "bool setSensorState(QString,bool,QString,bool) = parameters()->setSensorState(key, value, catalog, "
                   "save)",
                   "bool setSensorState(QString,bool,QString) = parameters()->setSensorState(key, value, catalog, "
                   "false)",
                   "bool setSensorState(QString,bool) = parameters()->setSensorState(key, value, defaultCatalog(), "
                   "false)",
                   "bool getSensorState(QString,QString) = parameters()->getSensorState(key, catalog)",
                   "bool getSensorState(QString) = parameters()->getSensorState(key, defaultCatalog())",
               };
        QTest::newRow("plain") << QByteArray(
            "plain | QList<QPair<QString,QVariantMap> > current(const QString& a, int b) | x(a, b)\n")
                               << QStringList { "QList<QPair<QString,QVariantMap> > current(QString,int) = x(a, b)" };
    }

    void patternsExpandLongestFirst()
    {
        QFETCH(QByteArray, row);
        QFETCH(QStringList, expected);
        AdaptorTable table;
        QVERIFY2(readTable("# comment\n\n" + row, table), qPrintable(table.error()));
        QCOMPARE(shapes(table), expected);
    }

    void badRowsNameTheirLine_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::newRow("unknown pattern") << QByteArray("\nsometimes | A | int | x()\n");
        QTest::newRow("missing column") << QByteArray("\ncatalogSave | A | int\n");
        QTest::newRow("unparsable signature") << QByteArray("\nplain | notASignature | x\n");
    }

    void badRowsNameTheirLine()
    {
        QFETCH(QByteArray, rows);
        AdaptorTable table;
        QVERIFY(!readTable(rows, table));
        QVERIFY2(table.error().contains(QLatin1String(":2:")), qPrintable(table.error()));
    }

    void introspectionCarriesSignaturesInOrder()
    {
        AdaptorTable table;
        QVERIFY(readTable(
            "keyed | IntValue | int | head()\nplain | lcm::PropList getValueList(int list) | v(list)\n", table));
        AdaptorWriter writer({}, table.methods());
        const QString path = m_dir.filePath(QStringLiteral("out.xml"));
        QVERIFY2(writer.writeIntrospection(QStringLiteral("a.b"), path), qPrintable(writer.error()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString xml = QString::fromUtf8(file.readAll());
        const int longest = xml.indexOf(QLatin1String("<arg name=\"save\" type=\"b\""));
        const int shortest = xml.indexOf(QLatin1String("<method name=\"getIntValue\">"));
        QVERIFY(longest > 0 && shortest > longest);
        QVERIFY(xml.contains(QLatin1String("<arg type=\"aa{sv}\" direction=\"out\"/>")));
    }

    void unknownTypesAreRefused()
    {
        AdaptorTable table;
        QVERIFY(readTable("plain | QDateTime when() | now()\n", table));
        AdaptorWriter writer({}, table.methods());
        QVERIFY(!writer.writeIntrospection(QStringLiteral("a.b"), m_dir.filePath(QStringLiteral("x.xml"))));
        QVERIFY(writer.error().contains(QLatin1String("QDateTime")));
    }
};

QTEST_GUILESS_MAIN(TestAdaptorGen)
#include "tst_adaptorgen.moc"
