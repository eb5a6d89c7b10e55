#include "LayoutRestore.h"

#include "LayoutFile.h"
#include "Locations.h"
#include "SafePath.h"
#include "ShellQuote.h"
#include "System.h"
#include "libcorvane/FileSystemRoot.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

CM_LOGGING_CATEGORY(lcLayoutRestore, "LayoutRestore")

namespace {
const QString backupScript = QStringLiteral("embosser-backup.sh");
const QString layoutsScript = QStringLiteral("embosser-layouts.sh");
// The places as the backup script names them.
const QString internalPlace = QStringLiteral("internal:layouts");
const QString usbPlace = QStringLiteral("usb:layouts");
const QString factoryPlace = QStringLiteral("system:layouts");
const QString workingLayouts = QStringLiteral("layouts");

// The machine's view of a location: the scripts and the clients see paths without the root.
QString machinePath(const QString& location)
{
    const QString root = libcorvane::FileSystemRoot::path();
    return root == QLatin1String("/") ? location : location.mid(root.size());
}

QString withSlash(const QString& directory)
{
    return directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
}

// An absolute machine path that stays at or below `directory` (a location under the root).
bool isAtOrBelow(const QString& directory, const QString& path)
{
    if (!path.startsWith(QLatin1Char('/')) || path.contains(QLatin1String("..")) || path.contains(QChar(0))) {
        return false;
    }
    const QString placed = libcorvane::FileSystemRoot::join(QDir::cleanPath(path));
    return QDir::cleanPath(placed) == QDir::cleanPath(directory) || SafePath::isInside(directory, placed);
}
} // namespace

LayoutRestore::LayoutRestore(const QString& model, QObject* parent)
    : QObject(parent)
    , m_modelFolder(modelFolder(model))
{
}

QString LayoutRestore::modelFolder(const QString& model)
{
    const QString folder = QString(model).replace(QLatin1Char(' '), QLatin1Char('_'));
    return SafePath::isPlainName(folder) ? folder : QString();
}

QString LayoutRestore::layoutOption(const QList<int>& layouts)
{
    if (layouts.isEmpty()) {
        return QString();
    }
    QString numbers;
    for (const int n : layouts) {
        numbers += QString::number(n) + QLatin1Char(' ');
    }
    return QStringLiteral(" -L \"%1\"").arg(numbers);
}

int LayoutRestore::layoutNumber(const QString& memberKey)
{
    if (!memberKey.startsWith(ls::layoutDashKey)) {
        return -1;
    }
    const QString digits = memberKey.mid(ls::layoutDashKey.size());
    bool ok = false;
    const int n = digits.toInt(&ok, 10);
    // "layout-3" only: no sign, no leading zero, no blank.
    return ok && LayoutFile::isValidNumber(n) && digits == QString::number(n) ? n : -1;
}

QString LayoutRestore::usbDir() const
{
    return m_modelFolder.isEmpty() ? QString() : Locations::join(Locations::usbLayoutBackupDir(), m_modelFolder);
}

bool LayoutRestore::accepts(Place place, const QString& location, const QString& source) const
{
    switch (place) {
    case Place::Local:
        if (location.isEmpty() || source.isEmpty()) {
            return true;
        }
        return (location == internalPlace + QLatin1Char('/')
                   || location == withSlash(machinePath(Locations::layoutBackupDir())))
            && !SafePath::child(Locations::layoutBackupDir(), source).isEmpty();
    case Place::Usb: {
        if (location.isEmpty() || source.isEmpty()) {
            return true;
        }
        const QString dir = usbDir();
        return !dir.isEmpty() && (location == usbPlace + QLatin1Char('/') || location == withSlash(machinePath(dir)))
            && !SafePath::child(dir, source).isEmpty();
    }
    case Place::Distributor:
        if (!location.isEmpty()) {
            return SafePath::isPlainName(source);
        }
        return !m_modelFolder.isEmpty() && isAtOrBelow(Locations::distributorLayoutsDir(), source);
    }
    return false;
}

bool LayoutRestore::run(const char* operation, const QString& commandLine) const
{
    qCDebug(lcLayoutRestore).noquote() << libcorvane::logPrefix(operation) << "running" << commandLine;
    if (!System::runShellCommand(commandLine)) {
        qCCritical(lcLayoutRestore).noquote() << libcorvane::logPrefix(operation, "FAILED!") << commandLine;
        return false;
    }
    return true;
}

bool LayoutRestore::backupLocal(const QList<int>& layouts) const
{
    return run(Q_FUNC_INFO,
        QStringLiteral("%1 -b -s 'layouts' -d %2%3").arg(backupScript, internalPlace, layoutOption(layouts)));
}

bool LayoutRestore::backupUsb(const QList<int>& layouts) const
{
    return run(
        Q_FUNC_INFO, QStringLiteral("%1 -b -s 'layouts' -d %2%3").arg(backupScript, usbPlace, layoutOption(layouts)));
}

bool LayoutRestore::restoreLocal(const QString& location, const QString& source, const QList<int>& layouts) const
{
    return restore(Place::Local, location, source, layouts);
}

bool LayoutRestore::restoreUsb(const QString& location, const QString& source, const QList<int>& layouts) const
{
    return restore(Place::Usb, location, source, layouts);
}

bool LayoutRestore::restoreDistributor(const QString& location, const QString& source, const QList<int>& layouts) const
{
    return restore(Place::Distributor, location, source, layouts);
}

bool LayoutRestore::restore(
    Place place, const QString& location, const QString& source, const QList<int>& layouts) const
{
    if (!accepts(place, location, source)) {
        LOG_ERROR(lcLayoutRestore) << "no backup of this place:" << location.left(SafePath::maxNameLength)
                                   << source.left(SafePath::maxNameLength);
        return false;
    }
    const QString option = layoutOption(layouts);
    if (place == Place::Distributor) {
        if (!location.isEmpty()) {
            return run("LayoutRestore::restoreDistributor",
                QStringLiteral("%1 -a -d %2%3").arg(layoutsScript, ShellQuote::quote(source), option));
        }
        const QString sets = source + QLatin1Char('/') + m_modelFolder + QLatin1Char('/');
        return run("LayoutRestore::restoreDistributor",
            QStringLiteral("%1 -r -s %2 -d %3%4").arg(backupScript, ShellQuote::quote(sets), workingLayouts, option));
    }
    const char* operation = place == Place::Local ? "LayoutRestore::restoreLocal" : "LayoutRestore::restoreUsb";
    const QString from = location.isEmpty() || source.isEmpty() ? (place == Place::Local ? internalPlace : usbPlace)
                                                                : ShellQuote::quote(location + source);
    return run(operation, QStringLiteral("%1 -r -s %2 -d %3%4").arg(backupScript, from, workingLayouts, option));
}

bool LayoutRestore::restoreFactory() const
{
    return run(Q_FUNC_INFO, QStringLiteral("%1 -r -d %2 -s %3").arg(backupScript, workingLayouts, factoryPlace));
}

bool LayoutRestore::restoreUpload(const QVariantMap& layouts) const
{
    QSet<QString> uploaded;
    for (auto it = layouts.constBegin(); it != layouts.constEnd(); ++it) {
        const int n = layoutNumber(it.key());
        if (n < 0 || it.value().userType() != QMetaType::QVariantMap || it.value().toMap().isEmpty()) {
            LOG_ERROR(lcLayoutRestore) << "no layout under" << it.key().left(SafePath::maxNameLength);
            return false;
        }
        uploaded.insert(LayoutFile::fileName(n));
    }
    if (uploaded.isEmpty()) {
        LOG_ERROR(lcLayoutRestore) << "Layout map is empty!";
        return false;
    }
    // Each file is replaced in one step before the rest go, so a failed write leaves working
    // layouts behind rather than none.
    bool written = true;
    for (auto it = layouts.constBegin(); it != layouts.constEnd(); ++it) {
        written = LayoutFile(layoutNumber(it.key())).write(it.value().toMap()) && written;
    }
    const QDir state(Locations::stateDir());
    const QStringList entries = state.entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.contains(QLatin1String("layout")) && !uploaded.contains(entry)
            && !QFile::remove(state.filePath(entry))) {
            LOG_FAILED(lcLayoutRestore) << "removing" << entry << "failed!";
            written = false;
        }
    }
    return written;
}

QVariantMap LayoutRestore::getLocalBackups(bool paths) const
{
    return listBackups(Locations::layoutBackupDir(), paths, "Backup folder does not exist.");
}

QVariantMap LayoutRestore::getUsbBackups(const QString& model, bool paths) const
{
    const QString folder = modelFolder(model);
    return listBackups(folder.isEmpty() ? QString() : SafePath::child(Locations::usbLayoutBackupDir(), folder), paths,
        "No backups exist for this model.");
}

QVariantMap LayoutRestore::getDistributorBackups(const QString& model, bool paths) const
{
    const QString folder = modelFolder(model);
    return listBackups(folder.isEmpty() ? QString() : SafePath::child(Locations::distributorLayoutsDir(), folder),
        paths, "No backups exist for this model.");
}

QVariantMap LayoutRestore::listBackups(const QString& base, bool paths, const char* missing) const
{
    if (base.isEmpty() || !QFileInfo(base).isDir()) {
        LOG_INFO(lcLayoutRestore) << missing;
        return {};
    }
    const QString shownBase = withSlash(machinePath(base));
    QVariantMap folders;
    const QStringList names = QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& folder : names) {
        QStringList entries
            = QDir(Locations::join(base, folder)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
        if (paths) {
            for (QString& entry : entries) {
                entry.prepend(QStringLiteral("%1%2/").arg(shownBase, folder));
            }
        }
        folders.insert(folder, entries);
    }
    return folders;
}
