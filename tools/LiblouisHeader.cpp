#include "LiblouisHeader.h"

#include <QFile>
#include <QStringList>
#include <QTextStream>

namespace {

bool isWordChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' || u == '-'
        || u == '_';
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

LiblouisHeader LiblouisHeader::read(const QString& path, bool* ok)
{
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok) {
        *ok = opened;
    }
    return opened ? parse(file) : LiblouisHeader();
}

LiblouisHeader LiblouisHeader::parse(QIODevice& device)
{
    LiblouisHeader header;
    QTextStream stream(&device);
    stream.setCodec("UTF-8");
    QString line;
    while (stream.readLineInto(&line)) {
        int start = 0;
        while (start < line.size() && isBlank(line.at(start))) {
            ++start;
        }
        if (start == line.size()) {
            continue;
        }
        if (line.at(start) != QLatin1Char('#')) {
            break; // the first rule ends the header
        }
        header.parseLine(line.mid(start));
    }
    return header;
}

void LiblouisHeader::parseLine(const QString& line)
{
    if (line.size() < 2 || (line.at(1) != QLatin1Char('+') && line.at(1) != QLatin1Char('-'))) {
        return;
    }
    const bool active = line.at(1) == QLatin1Char('+');
    int i = 2;
    const int keyStart = i;
    while (i < line.size() && isWordChar(line.at(i))) {
        ++i;
    }
    const QString key = line.mid(keyStart, i - keyStart);
    // "#--------" rulers and keys that start with "-" are decoration, not metadata.
    if (key.isEmpty() || key.startsWith(QLatin1Char('-'))) {
        return;
    }
    while (i < line.size() && isBlank(line.at(i))) {
        ++i;
    }
    if (i >= line.size() || line.at(i) != QLatin1Char(':')) {
        return;
    }
    ++i;
    while (i < line.size() && isBlank(line.at(i))) {
        ++i;
    }
    if (active) {
        const int valueStart = i;
        while (i < line.size() && isWordChar(line.at(i))) {
            ++i;
        }
        const QString value = line.mid(valueStart, i - valueStart);
        while (i < line.size() && line.at(i).isSpace()) {
            ++i;
        }
        if (value.isEmpty() || i < line.size()) {
            return;
        }
        m_queryable.append({ key, value });
    } else {
        const QString value = line.mid(i).simplified();
        if (!value.isEmpty()) {
            m_descriptive.append({ key, value });
        }
    }
}

QString LiblouisHeader::value(const QString& key) const
{
    for (const auto& entry : m_queryable) {
        if (entry.first == key) {
            return entry.second;
        }
    }
    return key == QLatin1String("region") ? value(QStringLiteral("language")) : QString();
}

bool LiblouisHeader::contains(const QString& key) const
{
    for (const auto& entry : m_queryable) {
        if (entry.first == key) {
            return true;
        }
    }
    return false;
}

QStringList LiblouisHeader::values(const QString& key) const
{
    QStringList result;
    for (const auto& entry : m_queryable) {
        if (entry.first == key) {
            result.append(entry.second);
        }
    }
    return result;
}

QString LiblouisHeader::description(const QString& key) const
{
    for (const auto& entry : m_descriptive) {
        if (entry.first == key) {
            return entry.second;
        }
    }
    return QString();
}
