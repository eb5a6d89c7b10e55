#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class FileExtensions;
class OvdSettings;

// The print command's settings: the stored direct-print settings, the file types, and the
// temporary override of keep-format and tab size. An override lasts `overrideTime` (one minute in
// the service; tests shorten it); a further override within that time starts the time again, and
// when it ends the values from before the first override come back, never a temporary one.
class PrintSettings : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds defaultOverrideTime = std::chrono::minutes(1);

    PrintSettings(const FileExtensions& fileExtensions, OvdSettings& ovdSettings, QObject* parent = nullptr,
        std::chrono::milliseconds overrideTime = defaultOverrideTime);

    const FileExtensions& fileExtensions() const { return m_fileExtensions; }
    OvdSettings& ovdSettings() const { return m_ovdSettings; }

    // Stores the temporary values; false when the store refused them (nothing then changes).
    bool setTemporarySettings(bool keepFormat, int tabSize);
    bool isOverridden() const { return m_restoreTimer.isActive(); }

private:
    void restore();

    const FileExtensions& m_fileExtensions;
    OvdSettings& m_ovdSettings;
    QTimer m_restoreTimer;
    bool m_savedKeepFormat = false;
    int m_savedTabSize = 0;
};
