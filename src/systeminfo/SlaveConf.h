#pragma once

#include <QObject>
#include <QString>

namespace ls {
class IReader;
} // namespace ls

// Read access to the print processor link settings, the shell-style key file "/etc/slave.conf".
class SlaveConf : public QObject {
    Q_OBJECT

public:
    explicit SlaveConf(const ls::IReader& reader, QObject* parent = nullptr);

    // The serial device of the link, without shell quotes and escapes.
    QString getSlaveDev() const;
    // The bus address of the first print processor; 0 when not a number.
    int getSlaveID() const;

private:
    QString value(const QString& key) const;

    const ls::IReader& m_reader;
};
