#include "MachineTest.h"

#include "SimCalls.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

const QString MachineTest::flashFile = QStringLiteral("/var/lib/sim/eeprom");

void MachineTest::initTestCase()
{
    m_root = std::make_unique<TestRoot>();
    QVERIFY(m_root->isValid());
    m_flash = m_root->readFile(flashFile);
    QVERIFY(!m_flash.isEmpty());
}

void MachineTest::cleanup()
{
    QDir(m_root->file("/media/sda1")).removeRecursively();
    for (const QString folder : { "/var/lib/embosser", "/var/lib/slave" }) {
        QDir(m_root->file(folder)).removeRecursively();
        QCOMPARE(QProcess::execute("cp", { "-rT", TestRoot::sourceDir() + "/data" + folder, m_root->file(folder) }), 0);
    }
    SimCalls(m_root->path()).clear();
    QVERIFY(m_root->writeFile(flashFile, m_flash));
    for (const char* file : { "/etc/slave.conf", "/usr/share/configuration-manager/propertyList.json",
             "/usr/share/configuration-manager/backup/propertyList.json", "/var/lib/update-manager/last-update" }) {
        QVERIFY(m_root->restoreShipped(file));
    }
}

QVariantMap MachineTest::readJson(const QString& machinePath) const
{
    QVariantMap content;
    ls::JFile().readToMap(m_root->file(machinePath), content);
    return content;
}

bool MachineTest::editJson(const QString& machinePath, const std::function<void(QVariantMap&)>& edit) const
{
    QVariantMap content = readJson(machinePath);
    edit(content);
    return ls::JFile().writeFromMap(QString(), m_root->file(machinePath), content);
}

bool MachineTest::setFlashField(const QString& field, const QString& value) const
{
    QString flash = QString::fromUtf8(m_root->readFile(flashFile));
    flash.remove(QRegularExpression("^" + field + "=.*\n", QRegularExpression::MultilineOption));
    return m_root->writeFile(flashFile, (value.isNull() ? flash : flash + field + '=' + value + '\n').toUtf8());
}

QStringList MachineTest::topicFiles() const
{
    QStringList files { m_root->file("/var/lib/slave/arch") };
    for (const char* name :
        { "embosserConf", "embosserhead", "hammerDelta", "counters", "parameters", "serialCom", "speech" }) {
        files << m_root->file(QStringLiteral("/var/lib/embosser/") + name);
    }
    return files;
}
