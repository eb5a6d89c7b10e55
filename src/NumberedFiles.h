#pragma once

#include <QList>
#include <QString>

// The numbers carried by the entries of one directory named "<stem>.<n>...": the piece after the
// first '.' is read as a decimal integer and whatever follows it is ignored, so "layout.7" and
// "layout.7.bak" both count as 7 and "layout.x" counts as nothing. Every numbered store (layouts,
// user papers) lists its files and finds a free number by this one rule.
class NumberedFiles {
public:
    NumberedFiles(const QString& directory, const QString& stem);

    // One number per matching entry (files, directories and links alike) in the order the
    // directory is listed, by name: "7.bak" repeats 7, "10" comes before "2", and numbers outside
    // any valid range are kept. Empty when the directory does not exist.
    QList<int> numbers() const;
    // The first of first..last that numbers() does not hold; -1 when all are taken.
    int firstFree(int first, int last) const;

private:
    QString m_directory;
    QString m_prefix;
};
