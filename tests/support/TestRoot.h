#pragma once

#include <QString>
#include <QTemporaryDir>

// A private file-system root for one test executable, laid out by scripts/make-root from data/
// (or left empty), exported as CONFIGURATION_MANAGER_ROOT with sim/bin first on PATH. The service
// builds its locations once per process, so a test executable has one root: create it in
// initTestCase() before anything asks for a location.
class TestRoot {
public:
    enum class Content { Shipped, Empty };

    explicit TestRoot(Content content = Content::Shipped);

    bool isValid() const { return m_valid; }
    QString path() const { return m_dir.path(); }
    // The absolute path of a machine path ("/var/lib/embosser/parameters") under this root.
    QString file(const QString& machinePath) const;
    // Puts the shipped copy of one file back, undoing what a test changed.
    bool restoreShipped(const QString& machinePath) const;
    bool writeFile(const QString& machinePath, const QByteArray& content) const;
    QByteArray readFile(const QString& machinePath) const;

    static QString sourceDir();
    static QString binaryDir();

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};
