#include "Utils.h"

#include "Locations.h"
#include "libcorvane/AtomicFile.h"
#include "libcorvane/LogPrefix.h"
#include "ls/JFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cmath>
#include <limits>

CM_LOGGING_CATEGORY(lcUtils, "Utils")

namespace {
const QString stepDistanceName = QStringLiteral("PF Step dist");
constexpr double millimetresPerInch = 25.4;
} // namespace

bool Utils::copyFile(const QString& source, const QString& destination, bool overwrite)
{
    const QFileInfo target(destination);
    const bool existed = target.exists() || target.isSymLink();
    if (existed && !overwrite) {
        LOG_FAILED(lcUtils) << "Destination file" << destination << "exists and overwrite flag not set!";
        return false;
    }
    // The atomic replacement below takes the place of removing the old file first; what a
    // removal could not take away (a directory) cannot be replaced either.
    if (existed && target.isDir()) {
        LOG_FAILED(lcUtils) << "removing" << destination << "destination file failed!";
        return false;
    }
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) {
        LOG_FAILED(lcUtils) << "copying" << source << "to" << destination << "failed:" << input.errorString();
        return false;
    }
    const QByteArray content = input.readAll();
    if (!libcorvane::AtomicFile::write(destination, content)) {
        LOG_FAILED(lcUtils) << "copying" << source << "to" << destination << "failed!";
        return false;
    }
    if (!existed) {
        // A new copy gets the source's permissions, as a plain file copy would.
        QFile::setPermissions(destination, input.permissions());
    }
    return true;
}

int Utils::convertInchSteps(int code)
{
    // The machine's "parameters" file: no flat file of that name is shipped beside the data files,
    // and this one holds the step length the paper feed actually uses.
    const QString& path = Locations::parametersFile();
    QString text;
    if (!ls::JFile().read(path, stepDistanceName, text)) {
        LOG_FAILED(lcUtils) << "Reading parameter" << stepDistanceName << "from file" << path << "failed!";
        return 0;
    }
    bool ok = false;
    const double stepDistance = text.toDouble(&ok);
    if (!ok) {
        LOG_ERROR(lcUtils) << "Converting" << text << "to double value failed.";
        return 0;
    }
    const double stepsPerInchValue = std::trunc(millimetresPerInch / stepDistance);
    if (!(stepDistance > 0.0) || !std::isfinite(stepsPerInchValue)
        || stepsPerInchValue > std::numeric_limits<int>::max()) {
        LOG_ERROR(lcUtils) << stepDistanceName << text << "is not a usable step length.";
        return 0;
    }
    const qint64 stepsPerInch = static_cast<qint64>(stepsPerInchValue);
    const auto part = [stepsPerInch](double fraction) { return static_cast<qint64>(stepsPerInch * fraction); };

    qint64 steps = stepsPerInch * (code / 10);
    switch (code % 10) {
    case 1:
        steps += part(0.25);
        break;
    case 2:
        steps += part(0.333);
        break;
    case 3:
        steps += part(0.5);
        break;
    case 4:
        steps += part(0.666);
        break;
    case 5:
        steps += part(0.75);
        break;
    default:
        break;
    }
    if (steps > std::numeric_limits<int>::max() || steps < std::numeric_limits<int>::min()) {
        LOG_ERROR(lcUtils) << "inch code" << code << "is out of range.";
        return 0;
    }
    return static_cast<int>(steps);
}

int Utils::mmToInchCode(double millimetres)
{
    // Single precision, as the paper records were always computed.
    const float inches = static_cast<float>(millimetres / millimetresPerInch);
    if (!std::isfinite(inches) || std::fabs(inches) > 1.0e8f) {
        LOG_ERROR(lcUtils) << "length" << millimetres << "mm is out of range.";
        return 0;
    }
    const int whole = static_cast<int>(inches);
    const float fraction = inches - static_cast<float>(whole);

    int digit = 0;
    if (fraction > 0.85) {
        digit = 10;
    } else if (fraction > 0.70) {
        digit = 5;
    } else if (fraction > 0.58) {
        digit = 4;
    } else if (fraction > 0.41) {
        digit = 3;
    } else if (fraction > 0.29) {
        digit = 2;
    } else if (fraction >= 0.15) {
        digit = 1;
    }
    return 10 * whole + digit;
}

bool Utils::readFile(const QString& path, QString& out)
{
    return readFile(path, out, 0, false);
}

bool Utils::readFile(const QString& path, QString& out, int lineCount, bool lastLines)
{
    if (!QFileInfo::exists(path)) {
        LOG_ERROR(lcUtils) << path << "does not exist.";
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        LOG_ERROR(lcUtils) << "Opening" << path << "file failed.";
        return false;
    }
    if (lineCount <= 0) {
        out = QString::fromUtf8(file.readAll());
        return true;
    }
    QStringList lines;
    while (!file.atEnd() && (lastLines || lines.size() < lineCount)) {
        lines.append(QString::fromUtf8(file.readLine()));
        if (lines.size() > lineCount) {
            lines.removeFirst();
        }
    }
    out = lines.join(QString());
    return true;
}

QStringList Utils::listFiles(const QString& folder, const QStringList& nameFilters)
{
    const QDir directory(folder);
    if (!directory.exists()) {
        LOG_DEBUG(lcUtils) << folder << "does not exist.";
        return QStringList();
    }
    return directory.entryList(nameFilters, QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

bool Utils::createFile(const QString& path)
{
    const QString directory = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(directory)) {
        LOG_ERROR(lcUtils) << "creating directory" << directory << "failed!";
        return false;
    }
    QFile file(path);
    // Append never truncates a file that is already there.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        LOG_ERROR(lcUtils) << "creating" << path << "failed:" << file.errorString();
        return false;
    }
    return true;
}

QString Utils::toKey(const QString& name)
{
    const QChar separator = name.contains(QLatin1Char(' ')) ? QLatin1Char(' ') : QLatin1Char('_');
    const QStringList words = name.split(separator, Qt::SkipEmptyParts);
    QString key;
    for (const QString& word : words) {
        if (key.isEmpty()) {
            // An acronym in front ("HTTPS", "PF Step dist") is lower case as a whole.
            key = word == word.toUpper() ? word.toLower() : word.left(1).toLower() + word.mid(1);
        } else {
            key += word.left(1).toUpper() + word.mid(1);
        }
    }
    return key;
}
