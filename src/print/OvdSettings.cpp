#include "OvdSettings.h"

#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcOvdSettings, "OvdSettings")

namespace {

const QString keepFormatKey = QStringLiteral("ovdSettings/keepFormat");
const QString lowercaseKey = QStringLiteral("ovdSettings/lowercase");
const QString tabSizeKey = QStringLiteral("ovdSettings/tabSize");
constexpr int defaultTabSize = 2;

// The store keeps texts: "true" and "false" are the only flags, whatever QVariant::toBool
// would make of "yes" or "2".
bool readFlag(const QVariant& value, bool& out)
{
    const QString text = value.toString().toLower();
    if (value.userType() == QMetaType::Bool || text == QLatin1String("true") || text == QLatin1String("false")) {
        out = value.userType() == QMetaType::Bool ? value.toBool() : text == QLatin1String("true");
        return true;
    }
    return false;
}

bool readTabSize(const QVariant& value, int& out)
{
    bool ok = false;
    const int size = value.toString().toInt(&ok);
    if (!ok || !OvdSettings::isTabSize(size)) {
        return false;
    }
    out = size;
    return true;
}

} // namespace

OvdSettings::OvdSettings(QObject* parent)
    : QObject(parent)
    , m_settings(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("ovdSettings"), QString())
{
    bool flag = false;
    int size = 0;
    for (const QString& key : { keepFormatKey, lowercaseKey }) {
        if (!readFlag(m_settings.value(key), flag)) {
            LOG_ERROR(lcOvdSettings) << key << "missing or not a bool, reset to false";
            store(key, false);
        }
    }
    if (!readTabSize(m_settings.value(tabSizeKey), size)) {
        LOG_ERROR(lcOvdSettings) << tabSizeKey << "missing or not a tab size, reset to" << defaultTabSize;
        store(tabSizeKey, defaultTabSize);
    }
}

// QSettings writes its file through a QSaveFile, so a cut leaves the old store or the new one.
bool OvdSettings::store(const QString& key, const QVariant& value)
{
    m_settings.setValue(key, value);
    m_settings.sync();
    if (m_settings.status() != QSettings::NoError) {
        LOG_FAILED(lcOvdSettings) << "writing" << key << "to" << m_settings.fileName() << "failed!";
        return false;
    }
    return true;
}

bool OvdSettings::getKeepFormat() const
{
    bool flag = false;
    readFlag(m_settings.value(keepFormatKey), flag);
    return flag;
}

bool OvdSettings::setKeepFormat(bool keepFormat)
{
    return store(keepFormatKey, keepFormat);
}

bool OvdSettings::getKeepCapitalization() const
{
    bool flag = false;
    readFlag(m_settings.value(lowercaseKey), flag);
    return flag;
}

bool OvdSettings::setKeepCapitalization(bool keepCapitalization)
{
    return store(lowercaseKey, keepCapitalization);
}

int OvdSettings::getTabSize() const
{
    int size = defaultTabSize;
    readTabSize(m_settings.value(tabSizeKey), size);
    return size;
}

bool OvdSettings::setTabSize(int tabSize)
{
    if (!isTabSize(tabSize)) {
        LOG_ERROR(lcOvdSettings) << "tab size" << tabSize << "out of range";
        return false;
    }
    return store(tabSizeKey, tabSize);
}
