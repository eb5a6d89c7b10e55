#include "Settings.h"

#include "FileSystemRoot.h"
#include "LogPrefix.h"

#include <QDir>
#include <QSettings>

namespace {
CM_LOGGING_CATEGORY(lc, "Settings")
}

namespace libcorvane {

void Settings::init()
{
    const QString systemPath = FileSystemRoot::join(QStringLiteral("/etc/xdg"));
    const QString userPath = FileSystemRoot::join(QDir::homePath() + QStringLiteral("/.config"));
    QSettings::setDefaultFormat(QSettings::IniFormat);
    for (const QSettings::Format format : { QSettings::NativeFormat, QSettings::IniFormat }) {
        QSettings::setPath(format, QSettings::SystemScope, systemPath);
        QSettings::setPath(format, QSettings::UserScope, userPath);
    }
    LOG_DEBUG(lc) << "settings under" << systemPath << "and" << userPath;
}

} // namespace libcorvane
