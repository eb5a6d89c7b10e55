#pragma once

#include "Machine.h"

#include <QObject>

#include <memory>

// The base of the machine tests: one shipped root for the executable, and after every test the
// shipped machine back (state folders, flash memory, definitions, print processor link).
class MachineTest : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<TestRoot> m_root;
    std::unique_ptr<MachineFiles> m_files;
    QByteArray m_flash;

private slots:
    void initTestCase();
    void cleanup();
};
