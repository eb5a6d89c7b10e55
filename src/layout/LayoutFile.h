#pragma once

#include "ls/JFile.h"

#include <QObject>
#include <QVariantMap>

// One layout file, "layout.<n>" in the state directory: a JSON object from layout parameter
// name to value (list-valued parameters hold their value-list description).
class LayoutFile : public QObject {
    Q_OBJECT

public:
    explicit LayoutFile(int number, QObject* parent = nullptr);

    int number() const { return m_number; }
    QString path() const;
    static QString path(int number);

    // The whole layout; fails when the file cannot be read or holds no parameters.
    bool read(QVariantMap& data) const;
    // One parameter's value as text.
    bool read(const QString& parameter, QString& value) const;

private:
    ls::JFile m_file;
    int m_number;
};
