#pragma once

#include "Machine.h"
#include "TestRoot.h"

#include <QObject>

#include <functional>
#include <memory>

// The base of the machine tests: one shipped root, helpers on its files, and the shipped machine
// back after every test.
class MachineTest : public QObject {
    Q_OBJECT

protected:
    static const QString flashFile;

    QVariantMap readJson(const QString& machinePath) const;
    // Rewrites a JSON file with `edit` applied; false when it could not be written.
    bool editJson(const QString& machinePath, const std::function<void(QVariantMap&)>& edit) const;
    // Sets a field of the simulated flash; a null value removes it.
    bool setFlashField(const QString& field, const QString& value) const;
    // The eight topic files, in the order every full save writes them.
    QStringList topicFiles() const;

    std::unique_ptr<TestRoot> m_root;

private slots:
    void initTestCase();
    void cleanup();

private:
    QByteArray m_flash;
};
