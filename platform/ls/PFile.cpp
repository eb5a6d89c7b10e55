#include "PFile.h"

#include "libcorvane/AtomicFile.h"
#include "libcorvane/LogPrefix.h"

#include <QFile>
#include <QSet>

namespace {
CM_LOGGING_CATEGORY(lc, "PFile")

struct Assignment {
    bool valid = false;
    QString key;
    int valueStart = 0;
    int valueEnd = 0; // exclusive; blanks and a trailing comment follow
};

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

Assignment parseLine(const QString& line)
{
    Assignment result;
    int first = 0;
    while (first < line.size() && isBlank(line.at(first))) {
        ++first;
    }
    if (first == line.size() || line.at(first) == QLatin1Char('#')) {
        return result;
    }
    const int equals = line.indexOf(QLatin1Char('='), first);
    if (equals < 0) {
        return result;
    }
    if (equals + 1 < line.size()) {
        const QChar next = line.at(equals + 1);
        if (next == QLatin1Char('=') || next == QLatin1Char('~') || next == QLatin1Char('>')) {
            return result;
        }
    }
    if (equals > 0) {
        const QChar previous = line.at(equals - 1);
        if (previous == QLatin1Char('+') || previous == QLatin1Char(':') || previous == QLatin1Char('!')) {
            return result;
        }
    }
    QString key = line.mid(first, equals - first).trimmed();
    if (key.startsWith(QLatin1String("export ")) || key.startsWith(QLatin1String("export\t"))) {
        key = key.mid(7).trimmed();
    }
    if (key.isEmpty()) {
        return result;
    }

    int start = equals + 1;
    while (start < line.size() && isBlank(line.at(start))) {
        ++start;
    }
    int end = line.size();
    QChar quote;
    for (int i = start; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('\\') && quote != QLatin1Char('\'')) {
            ++i;
        } else if (!quote.isNull()) {
            if (c == quote) {
                quote = QChar();
            }
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('#') && i > equals + 1 && isBlank(line.at(i - 1))) {
            end = i;
            break;
        }
    }
    while (end > start && isBlank(line.at(end - 1))) {
        --end;
    }
    result.valid = true;
    result.key = key;
    result.valueStart = start;
    result.valueEnd = end;
    return result;
}

QString valueOf(const QString& line, const Assignment& assignment)
{
    return line.mid(assignment.valueStart, assignment.valueEnd - assignment.valueStart);
}

QString valueToText(const QVariant& value)
{
    return value.toString();
}
} // namespace

namespace ls {

PFile::PFile(QObject* parent)
    : QObject(parent)
{
}

bool PFile::readToMap(const QString& file, QVariantMap& out) const
{
    Content content;
    if (!load(file, content, false)) {
        return false;
    }
    QVariantMap result;
    for (const QString& line : qAsConst(content.lines)) {
        const Assignment assignment = parseLine(line);
        if (assignment.valid) {
            result.insert(assignment.key, valueOf(line, assignment));
        }
    }
    out = result;
    return true;
}

bool PFile::read(const QString& file, const QString& key, QString& out) const
{
    Content content;
    if (!load(file, content, false)) {
        return false;
    }
    for (int i = content.lines.size() - 1; i >= 0; --i) {
        const Assignment assignment = parseLine(content.lines.at(i));
        if (assignment.valid && assignment.key == key) {
            out = valueOf(content.lines.at(i), assignment);
            return true;
        }
    }
    LOG_WARN(lc) << file << "does not contain" << key;
    return false;
}

bool PFile::read(const QString& file, const QString& key, QVariant& out) const
{
    QString text;
    if (!read(file, key, text)) {
        return false;
    }
    out = text;
    return true;
}

bool PFile::writeFromMap(const QString& directory, const QString& file, const QVariantMap& data) const
{
    const QString path = directory.isEmpty() ? file : QStringLiteral("%1/%2").arg(directory, file);
    Content content;
    if (!load(path, content, true)) {
        return false;
    }
    for (int i = content.lines.size() - 1; i >= 0; --i) {
        const Assignment assignment = parseLine(content.lines.at(i));
        if (assignment.valid && !data.contains(assignment.key)) {
            content.lines.removeAt(i);
            content.carriageReturns.removeAt(i);
        }
    }
    for (auto it = data.constBegin(); it != data.constEnd(); ++it) {
        if (!setValue(content, it.key(), valueToText(it.value()))) {
            return false;
        }
    }
    return save(path, content);
}

bool PFile::write(const QString& file, const QString& key, const QVariant& value) const
{
    Content content;
    if (!load(file, content, true)) {
        return false;
    }
    if (!setValue(content, key, valueToText(value))) {
        return false;
    }
    return save(file, content);
}

bool PFile::writeKeyPath(const QString& file, const QString& keyPath, const QVariant& value) const
{
    Q_UNUSED(value)
    LOG_ERROR(lc) << "property file" << file << "has no nested key" << keyPath;
    return false;
}

bool PFile::load(const QString& file, Content& content, bool missingIsEmpty) const
{
    content = Content();
    QFile input(file);
    if (!input.exists() && missingIsEmpty) {
        return true;
    }
    if (!input.open(QIODevice::ReadOnly)) {
        LOG_ERROR(lc) << "reading" << file << "failed:" << input.errorString();
        return false;
    }
    const QString text = QString::fromUtf8(input.readAll());
    if (text.isEmpty()) {
        return true;
    }
    content.lines = text.split(QLatin1Char('\n'));
    content.finalNewline = text.endsWith(QLatin1Char('\n'));
    if (content.finalNewline) {
        content.lines.removeLast();
    }
    for (QString& line : content.lines) {
        const bool carriageReturn = line.endsWith(QLatin1Char('\r'));
        if (carriageReturn) {
            line.chop(1);
        }
        content.carriageReturns.append(carriageReturn);
    }
    return true;
}

bool PFile::save(const QString& file, const Content& content) const
{
    QString text;
    for (int i = 0; i < content.lines.size(); ++i) {
        text += content.lines.at(i);
        if (content.carriageReturns.at(i)) {
            text += QLatin1Char('\r');
        }
        if (i + 1 < content.lines.size() || content.finalNewline) {
            text += QLatin1Char('\n');
        }
    }
    if (!libcorvane::AtomicFile::write(file, text.toUtf8())) {
        LOG_FAILED(lc) << "writing" << file << "failed!";
        return false;
    }
    return true;
}

bool PFile::setValue(Content& content, const QString& key, const QString& value) const
{
    const Assignment keyCheck = parseLine(key + QLatin1Char('='));
    if (key.isEmpty() || key != key.trimmed() || key.contains(QLatin1Char('\n')) || key.contains(QLatin1Char('\r'))
        || !keyCheck.valid || keyCheck.key != key) {
        LOG_ERROR(lc) << "invalid key" << key;
        return false;
    }
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) || value.contains(QChar(0))) {
        LOG_ERROR(lc) << "value of" << key << "contains a line break or NUL";
        return false;
    }

    int index = -1;
    Assignment found;
    for (int i = content.lines.size() - 1; i >= 0 && index < 0; --i) {
        const Assignment assignment = parseLine(content.lines.at(i));
        if (assignment.valid && assignment.key == key) {
            index = i;
            found = assignment;
        }
    }

    QString line;
    if (index >= 0) {
        const QString& old = content.lines.at(index);
        QString rest = old.mid(found.valueEnd);
        if (rest.startsWith(QLatin1Char('#'))) {
            rest.prepend(QLatin1Char(' '));
        }
        line = old.left(found.valueStart) + value + rest;
    } else {
        line = key + QLatin1Char('=') + value;
    }

    const Assignment check = parseLine(line);
    if (!check.valid || check.key != key || valueOf(line, check) != value) {
        LOG_ERROR(lc) << "value" << value << "of" << key << "would not read back unchanged";
        return false;
    }
    if (index >= 0) {
        content.lines[index] = line;
    } else {
        content.lines.append(line);
        content.carriageReturns.append(false);
        content.finalNewline = true;
    }
    return true;
}

} // namespace ls
