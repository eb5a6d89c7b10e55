#pragma once

#include "ls/JFile.h"

#include <QObject>
#include <QVariantMap>

// One layout file, "layout.<n>" in the state directory: a JSON object from layout parameter
// name to value (list-valued parameters hold their value-list description). Writes replace the
// file atomically; restore() puts the factory copy in place.
class LayoutFile : public QObject {
    Q_OBJECT

public:
    static constexpr int firstNumber = 1;
    static constexpr int lastNumber = 99;

    explicit LayoutFile(int number, QObject* parent = nullptr);

    static bool isValidNumber(int number) { return number >= firstNumber && number <= lastNumber; }
    static QString fileStem(); // "layout"
    static QString fileName(int number); // "layout.<n>"

    int number() const { return m_number; }
    QString path() const;
    static QString path(int number);

    // The whole layout; fails when the file cannot be read or holds no parameters.
    bool read(QVariantMap& data) const;
    // One parameter's value as text.
    bool read(const QString& parameter, QString& value) const;
    // Replaces the file with `data`; empty data is refused.
    bool write(const QVariantMap& data) const;
    // Layout `source` under this number, with `creator` as its "Creator of layout".
    bool copy(int source, const QString& creator) const;
    bool remove() const;
    // Puts the factory copy in place: the one of the model's folder in the factory directory
    // ("Corvane_Zentra" for "Corvane Zentra") when there is one, else the common one.
    bool restore(const QString& model) const;
    // Which factory copy restore() takes; empty when there is none.
    QString factoryCopy(const QString& model) const;

private:
    ls::JFile m_file;
    int m_number;
};
