#include "PrintSettings.h"

#include "OvdSettings.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcPrintSettings, "PrintSettings")

PrintSettings::PrintSettings(const FileExtensions& fileExtensions, OvdSettings& ovdSettings, QObject* parent,
    std::chrono::milliseconds overrideTime)
    : QObject(parent)
    , m_fileExtensions(fileExtensions)
    , m_ovdSettings(ovdSettings)
{
    m_restoreTimer.setSingleShot(true);
    m_restoreTimer.setInterval(overrideTime);
    connect(&m_restoreTimer, &QTimer::timeout, this, &PrintSettings::restore);
}

bool PrintSettings::setTemporarySettings(bool keepFormat, int tabSize)
{
    if (!OvdSettings::isTabSize(tabSize)) {
        LOG_ERROR(lcPrintSettings) << "tab size" << tabSize << "out of range";
        return false;
    }
    const bool keptFormat = m_ovdSettings.getKeepFormat();
    const int keptTabSize = m_ovdSettings.getTabSize();
    if (!m_ovdSettings.setKeepFormat(keepFormat) || !m_ovdSettings.setTabSize(tabSize)) {
        m_ovdSettings.setKeepFormat(keptFormat);
        return false;
    }
    // An override during an override keeps what the first one replaced.
    if (!m_restoreTimer.isActive()) {
        m_savedKeepFormat = keptFormat;
        m_savedTabSize = keptTabSize;
    }
    m_restoreTimer.start();
    LOG_DEBUG(lcPrintSettings) << "temporary settings" << keepFormat << tabSize << "for" << m_restoreTimer.interval()
                               << "ms";
    return true;
}

void PrintSettings::restore()
{
    if (!m_ovdSettings.setKeepFormat(m_savedKeepFormat) || !m_ovdSettings.setTabSize(m_savedTabSize)) {
        LOG_FAILED(lcPrintSettings) << "putting back the settings from before the temporary ones failed!";
        return;
    }
    LOG_DEBUG(lcPrintSettings) << "settings put back" << m_savedKeepFormat << m_savedTabSize;
}
