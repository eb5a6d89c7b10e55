#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

namespace detail {

// The parameter change log: while switched on, every saved parameter change appends one dated
// line to the log file. Settings objects name the parameter first (the name is ignored while the
// log is off) and then report the previous and the new value. Reached through
// libcorvane::Singleton<detail::Logger>; off after every start of the process. Line breaks and
// backslashes in names and values are escaped, so one change is always one line, and the file is
// rotated at a fixed size, keeping one older copy ("<file>.1").
class Logger : public QObject {
    Q_OBJECT

public:
    explicit Logger(QObject* parent = nullptr);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    void setParameterName(const QString& name);
    QString parameterName() const { return m_parameterName; }

    // Appends the entry of the named parameter; true when a line was written.
    bool logChange(const QVariant& previous, const QVariant& value);

    // Deletes the log file; the result of the removal.
    bool clear();
    // The whole log; empty when there is none.
    QString read() const;

private:
    bool m_enabled = false;
    QString m_parameterName;
};

} // namespace detail
