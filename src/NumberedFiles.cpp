#include "NumberedFiles.h"

#include <QDir>
#include <QSet>
#include <QStringList>

NumberedFiles::NumberedFiles(const QString& directory, const QString& stem)
    : m_directory(directory)
    , m_prefix(stem + QLatin1Char('.'))
{
}

QList<int> NumberedFiles::numbers() const
{
    // QDir's own listing order (by name, case ignored) is the order every caller has always seen.
    const QStringList names = QDir(m_directory)
                                  .entryList({ m_prefix + QLatin1Char('*') },
                                      QDir::AllEntries | QDir::System | QDir::CaseSensitive | QDir::NoDotAndDotDot,
                                      QDir::Name | QDir::IgnoreCase);
    QList<int> numbers;
    for (const QString& name : names) {
        bool ok = false;
        const int n = name.mid(m_prefix.size()).section(QLatin1Char('.'), 0, 0).toInt(&ok, 10);
        if (ok) {
            numbers.append(n);
        }
    }
    return numbers;
}

int NumberedFiles::firstFree(int first, int last) const
{
    const QList<int> listed = numbers();
    const QSet<int> taken(listed.cbegin(), listed.cend());
    for (int k = first; k <= last; ++k) {
        if (!taken.contains(k)) {
            return k;
        }
    }
    return -1;
}
