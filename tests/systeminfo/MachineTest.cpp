#include "MachineTest.h"

#include <QTest>

void MachineTest::initTestCase()
{
    m_root = std::make_unique<TestRoot>();
    QVERIFY(m_root->isValid());
    m_files = std::make_unique<MachineFiles>(*m_root);
    m_flash = m_root->readFile(MachineFiles::flashFile);
    QVERIFY(!m_flash.isEmpty());
}

void MachineTest::cleanup()
{
    QVERIFY(m_files->restoreShippedMachine(m_flash));
    for (const char* file : { "/etc/slave.conf", "/usr/share/configuration-manager/propertyList.json",
             "/usr/share/configuration-manager/backup/propertyList.json", "/var/lib/update-manager/last-update" }) {
        QVERIFY(m_root->restoreShipped(QLatin1String(file)));
    }
}
