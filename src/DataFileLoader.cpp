#include "DataFileLoader.h"

#include "Locations.h"
#include "Utils.h"
#include "libcorvane/LogPrefix.h"
#include "ls/IReader.h"

QString DataFileLoader::dataFile(const QString& fileName)
{
    return Locations::join(Locations::dataDir(), fileName);
}

QString DataFileLoader::backupFile(const QString& fileName)
{
    return Locations::join(Locations::dataBackupDir(), fileName);
}

bool DataFileLoader::load(const ls::IReader& reader, const QString& fileName, QVariantMap& out,
    const char* callerSignature, const QLoggingCategory& category, const DataShape& shape)
{
    const QString path = dataFile(fileName);
    out.clear();
    if (reader.readToMap(path, out) && shape.fits(out)) {
        return true;
    }
    qCCritical(category).noquote() << libcorvane::logPrefix(callerSignature, "ERROR:") << "reading" << path
                                   << "failed => try restore.";
    out.clear();
    if (Utils::copyFile(backupFile(fileName), path, true) && reader.readToMap(path, out) && shape.fits(out)) {
        // Critical, so that a repair shows whatever the logging rules.
        qCCritical(category).noquote() << libcorvane::logPrefix(callerSignature, "INFO:") << "Restore succeded!";
        return true;
    }
    out.clear();
    qCCritical(category).noquote() << libcorvane::logPrefix(callerSignature, "CRITICAL:") << "Restore failed!";
    return false;
}
