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
        QFile file(m_dir.filePath("table"));
        if (!file.open(QIODevice::WriteOnly) || file.write(rows) != rows.size()) {
            return false;
        }
        file.close();
        return table.read(file.fileName());
    }

    // The introspection XML of a table, or its generated slots; empty when the writer failed.
    QByteArray generated(const AdaptorTable& table, bool introspection)
    {
        const AdaptorWriter writer(table.interfaceName(), table.signalList(), table.methods());
        const QString path = m_dir.filePath(introspection ? "i.xml" : "slots.cpp");
        QFile file(path);
        const bool written = introspection ? writer.writeIntrospection(path) : writer.writeSource("a.h", {}, path);
        return written && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        QTest::newRow("member with rules, catalog only")
            << QByteArray("catalogOnly | KeepFormat | bool | layout()\n")
            << QStringList {
                   "void setKeepFormat(bool,QString) = layout()->setKeepFormat(value, catalog)",
                   "void setKeepFormat(bool) = layout()->setKeepFormat(value, defaultCatalog())",
                   "bool getKeepFormat(QString) = layout()->getKeepFormat(catalog)",
                   "bool getKeepFormat() = layout()->getKeepFormat(defaultCatalog())",
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
        AdaptorTable table;
        QVERIFY2(readTable("# comment\n\n" + row, table), qPrintable(table.error()));
        QStringList shapes;
        for (const AdaptorMethod& method : table.methods()) {
            QStringList types;
            for (const AdaptorArgument& argument : method.arguments) {
                types << argument.type;
            }
            shapes << QString("%1 %2(%3) = %4").arg(method.returnType, method.name, types.join(','), method.body);
        }
        QTEST(shapes, "expected");
    }

    void badRowsNameTheirLine_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::newRow("unknown kind") << QByteArray("sometimes | A | int | x()\n");
        QTest::newRow("missing column") << QByteArray("catalogSave | A | int\n");
        QTest::newRow("unparsable signature") << QByteArray("plain | notASignature | x\n");
        QTest::newRow("type without catalog getter") << QByteArray("parameter | A | bool | t() | \"A\"\n");
        QTest::newRow("signal with a result") << QByteArray("signal | int changed(int a)\n");
    }

    void badRowsNameTheirLine()
    {
        QFETCH(QByteArray, row);
        AdaptorTable table;
        QVERIFY(!readTable(row, table));
        QVERIFY2(table.error().contains(":2:"), qPrintable(table.error()));
    }

    // Signals are a row kind of their own; only the early methods skip the readiness guard; the
    // interface name reaches the header and the introspection, where the longest overload comes
    // first and every type has its signature. A type without one is refused.
    void slotsAndIntrospection()
    {
        AdaptorTable table;
        QVERIFY(readTable("interface | x.y.Z\nsignal | void changed(const QVariantMap& map)\n"
                          "plain | int a() | one()\nplain | int b() | two() | early\n"
                          "keyed | IntValue | int | head()\nplain | lcm::PropList getValueList(int list) | v(list)\n",
            table));
        QCOMPARE(table.signalList().size(), 1);
        const QByteArray code = generated(table, false);
        const int one = code.indexOf("return one();");
        const int two = code.indexOf("return two();");
        QCOMPARE(code.count("if (unavailable(Q_FUNC_INFO))"), table.methods().size() - 1);
        QVERIFY(one > 0 && two > one && code.indexOf("unavailable") < one && code.indexOf("unavailable", one) > two);
        const QByteArray xml = generated(table, true);
        QVERIFY(xml.contains("<interface name=\"x.y.Z\">"));
        QVERIFY(xml.contains("<signal name=\"changed\">"));
        const int longest = xml.indexOf("<arg name=\"save\" type=\"b\"");
        QVERIFY(longest > 0 && xml.indexOf("<method name=\"getIntValue\">") > longest);
        QVERIFY(xml.contains("<arg type=\"aa{sv}\" direction=\"out\"/>"));

        AdaptorTable unknownType;
        QVERIFY(readTable("plain | QDateTime when() | now()\n", unknownType));
        const AdaptorWriter writer(unknownType.interfaceName(), {}, unknownType.methods());
        QVERIFY(!writer.writeIntrospection(m_dir.filePath("x.xml")));
        QVERIFY(writer.error().contains("QDateTime"));
    }
};

QTEST_GUILESS_MAIN(TestAdaptorGen)
#include "tst_adaptorgen.moc"
