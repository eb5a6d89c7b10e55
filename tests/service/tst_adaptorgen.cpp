// The adaptor generator: each row kind expands into its overloads, longest first (so gdbus and
// busctl, which type a call from the first method of a name, reach every shorter form), with the
// right D-Bus signatures and forwarding bodies; every slot but the early ones refuses calls that
// arrive before the service is built.
#include "AdaptorTable.h"
#include "AdaptorWriter.h"

#include <QTemporaryDir>
#include <QTest>

class TestAdaptorGen : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    bool readTable(QByteArray rows, AdaptorTable& table)
    {
        if (!rows.contains("interface |")) {
            rows.prepend("interface | a.b\n");
        }
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

        QTest::newRow("parameter by name")
            << QByteArray("parameter | Volume | QString | speech() | \"Volume\"\n")
            << QStringList {
                   "void setVolume(QString,QString,bool) = speech()->accessor().setValue(QStringLiteral(\"Volume\"), "
                   "value, catalog, save, Q_FUNC_INFO)",
                   "void setVolume(QString,QString) = speech()->accessor().setValue(QStringLiteral(\"Volume\"), value, "
                   "catalog, false, Q_FUNC_INFO)",
                   "void setVolume(QString) = speech()->accessor().setValue(QStringLiteral(\"Volume\"), value, "
                   "defaultCatalog(), false, Q_FUNC_INFO)",
                   "QString getVolume(QString) = speech()->accessor().getString(QStringLiteral(\"Volume\"), catalog, "
                   "Q_FUNC_INFO)",
                   "QString getVolume() = speech()->accessor().getString(QStringLiteral(\"Volume\"), "
                   "defaultCatalog(), Q_FUNC_INFO)",
               };
        QTest::newRow("property by key, setter and getter types differ")
            << QByteArray("property | FileCRC | double/int | temp() | Key::Crc\n")
            << QStringList {
                   "void setFileCRC(double,QString) = temp()->accessor().setValue(Key::Crc, value, catalog, false, "
                   "Q_FUNC_INFO)",
                   "void setFileCRC(double) = temp()->accessor().setValue(Key::Crc, value, defaultCatalog(), false, "
                   "Q_FUNC_INFO)",
                   "int getFileCRC(QString) = temp()->accessor().getInt(Key::Crc, catalog, Q_FUNC_INFO)",
                   "int getFileCRC() = temp()->accessor().getInt(Key::Crc, defaultCatalog(), Q_FUNC_INFO)",
               };
        QTest::newRow("member with rules")
            << QByteArray("catalogSave | LayoutNr | int | parameters()\n")
            << QStringList {
                   "void setLayoutNr(int,QString,bool) = parameters()->setLayoutNr(value, catalog, save)",
                   "void setLayoutNr(int,QString) = parameters()->setLayoutNr(value, catalog, false)",
                   "void setLayoutNr(int) = parameters()->setLayoutNr(value, defaultCatalog(), false)",
                   "int getLayoutNr(QString) = parameters()->getLayoutNr(catalog)",
                   "int getLayoutNr() = parameters()->getLayoutNr(defaultCatalog())",
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
        QTest::newRow("unknown kind") << QByteArray("interface | a.b\nsometimes | A | int | x()\n");
        QTest::newRow("missing column") << QByteArray("interface | a.b\ncatalogSave | A | int\n");
        QTest::newRow("unparsable signature") << QByteArray("interface | a.b\nplain | notASignature | x\n");
        QTest::newRow("type without catalog getter")
            << QByteArray("interface | a.b\nparameter | A | bool | t() | \"A\"\n");
        QTest::newRow("signal with a result") << QByteArray("interface | a.b\nsignal | int changed(int a)\n");
    }

    void badRowsNameTheirLine()
    {
        QFETCH(QByteArray, rows);
        AdaptorTable table;
        QVERIFY(!readTable(rows, table));
        QVERIFY2(table.error().contains(QLatin1String(":2:")), qPrintable(table.error()));
    }

    // Signals are a row kind of their own; only the early methods skip the readiness guard; the
    // interface name reaches the header and the introspection.
    void signalsGuardsAndInterfaceName()
    {
        AdaptorTable table;
        QVERIFY(readTable("interface | x.y.Z\nsignal | void changed(const QVariantMap& map)\n"
                          "plain | int a() | one()\nplain | int b() | two() | early\n",
            table));
        QCOMPARE(table.signalList().size(), 1);
        QCOMPARE(table.methods().size(), 2);
        AdaptorWriter writer(table.interfaceName(), table.signalList(), table.methods());
        const QString source = m_dir.filePath(QStringLiteral("slots.cpp"));
        QVERIFY(writer.writeSource(QStringLiteral("a.h"), {}, source));
        QFile file(source);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray code = file.readAll();
        QCOMPARE(code.count("if (unavailable(Q_FUNC_INFO))"), 1);
        QVERIFY(code.indexOf("unavailable") < code.indexOf("return one();"));
        const QString xmlPath = m_dir.filePath(QStringLiteral("i.xml"));
        QVERIFY(writer.writeIntrospection(xmlPath));
        QFile xml(xmlPath);
        QVERIFY(xml.open(QIODevice::ReadOnly));
        const QByteArray introspection = xml.readAll();
        QVERIFY(introspection.contains("<interface name=\"x.y.Z\">"));
        QVERIFY(introspection.contains("<signal name=\"changed\">"));
    }

    void introspectionCarriesSignaturesInOrder()
    {
        AdaptorTable table;
        QVERIFY(readTable(
            "keyed | IntValue | int | head()\nplain | lcm::PropList getValueList(int list) | v(list)\n", table));
        AdaptorWriter writer(table.interfaceName(), {}, table.methods());
        const QString path = m_dir.filePath(QStringLiteral("out.xml"));
        QVERIFY2(writer.writeIntrospection(path), qPrintable(writer.error()));
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
        AdaptorWriter writer(table.interfaceName(), {}, table.methods());
        QVERIFY(!writer.writeIntrospection(m_dir.filePath(QStringLiteral("x.xml"))));
        QVERIFY(writer.error().contains(QLatin1String("QDateTime")));
    }
};

QTEST_GUILESS_MAIN(TestAdaptorGen)
#include "tst_adaptorgen.moc"
