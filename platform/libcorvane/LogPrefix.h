#pragma once

#include <QLoggingCategory>
#include <QString>

namespace libcorvane {

// The start of every log line: the qualified function name taken from a Q_FUNC_INFO signature
// (the part between the last blank before the name and the opening parenthesis), then the tag.
QString logPrefix(const char* functionSignature, const char* tag = nullptr);

} // namespace libcorvane

// Log lines of the service. ERROR: bad input and failed reads; FAILED!: a called operation
// failed; CRITICAL: data was lost; WARN: and INFO: the rest. Categories have the threshold
// critical, so only the first three appear unless logging rules enable more.
#define LOG_ERROR(category) qCCritical(category).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "ERROR:")
#define LOG_FAILED(category) qCCritical(category).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "FAILED!")
#define LOG_CRITICAL(category) qCCritical(category).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "CRITICAL:")
#define LOG_WARN(category) qCWarning(category).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "WARN:")
#define LOG_INFO(category) qCInfo(category).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "INFO:")
#define LOG_DEBUG(category) qCDebug(category).noquote() << libcorvane::logPrefix(Q_FUNC_INFO)
// A repair of a damaged or missing file: shown whatever the logging rules, under the INFO: tag,
// so that a restore never goes unnoticed.
#define LOG_REPAIR(category) qCCritical(category).noquote() << libcorvane::logPrefix(Q_FUNC_INFO, "INFO:")

// One logging category per class, named after it, threshold critical.
#define CM_LOGGING_CATEGORY(name, text) Q_LOGGING_CATEGORY(name, text, QtCriticalMsg)
