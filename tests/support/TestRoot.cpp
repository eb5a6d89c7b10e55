#include "TestRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtGlobal>

QString TestRoot::sourceDir()
{
    return qEnvironmentVariable("CM_SOURCE_DIR", QStringLiteral(CM_DEFAULT_SOURCE_DIR));
}

QString TestRoot::binaryDir()
{
    return qEnvironmentVariable("CM_BINARY_DIR", QStringLiteral(CM_DEFAULT_BINARY_DIR));
}

TestRoot::TestRoot(Content content)
{
    if (!m_dir.isValid()) {
        qWarning("TestRoot: cannot create a temporary directory");
        return;
    }
    if (content == Content::Shipped) {
        QProcess makeRoot;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CM_BINARY_DIR", binaryDir());
        makeRoot.setProcessEnvironment(environment);
        makeRoot.setProcessChannelMode(QProcess::ForwardedChannels);
        makeRoot.start(sourceDir() + "/scripts/make-root", { m_dir.path() });
        if (!makeRoot.waitForFinished(120000) || makeRoot.exitStatus() != QProcess::NormalExit
            || makeRoot.exitCode() != 0) {
            qWarning("TestRoot: scripts/make-root failed");
            return;
        }
    }
    qputenv("CONFIGURATION_MANAGER_ROOT", m_dir.path().toLocal8Bit());
    qputenv("PATH", (sourceDir() + "/sim/bin:").toLocal8Bit() + qgetenv("PATH"));
    m_valid = true;
}

QString TestRoot::file(const QString& machinePath) const
{
    return m_dir.path() + machinePath;
}

bool TestRoot::restoreShipped(const QString& machinePath) const
{
    const QString target = file(machinePath);
    QFile::remove(target);
    QDir().mkpath(QFileInfo(target).absolutePath());
    return QFile::copy(sourceDir() + "/data" + machinePath, target);
}

bool TestRoot::writeFile(const QString& machinePath, const QByteArray& content) const
{
    const QString target = file(machinePath);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile out(target);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(content) == content.size();
}

QByteArray TestRoot::readFile(const QString& machinePath) const
{
    QFile in(file(machinePath));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}
