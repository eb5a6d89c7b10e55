#include "Firmware.h"

#include "Locations.h"
#include "Utils.h"
#include "libcorvane/LogPrefix.h"
#include "ls/Keys.h"

#include <QDateTime>

CM_LOGGING_CATEGORY(lcFirmware, "Firmware")

Firmware::Firmware(QObject* parent)
    : QObject(parent)
{
}

QVariantMap Firmware::get() const
{
    const QString path = Locations::firmwareDateFile();
    QString text;
    if (!Utils::readFile(path, text)) {
        LOG_WARN(lcFirmware) << "Failed to read firmware." << path;
        return {};
    }
    const QString stamp = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    const QDateTime date = QDateTime::fromString(stamp, Qt::RFC2822Date);
    return { { ls::firmwareKey, date.isValid() ? date.toString(QStringLiteral("yyyy-MM-dd")) : QString() } };
}
