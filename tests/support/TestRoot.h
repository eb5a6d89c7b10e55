#pragma once

#include <QString>
#include <QTemporaryDir>

// A private root laid out by scripts/make-root (or empty), exported as CONFIGURATION_MANAGER_ROOT
// with sim/bin first on PATH. Locations are built once per process: create it in initTestCase().
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
