#pragma once

#include <QProcess>
#include <QString>

// A child process that the kernel terminates when the test dies, so a crashed or killed test
// leaves no bus daemon behind.
class ChildProcess : public QProcess {
protected:
    void setupChildProcess() override;
};

// A private dbus-daemon, with the project's own configuration unless given another, exported as
// the system bus (DBUS_SYSTEM_BUS_ADDRESS) of this process and of the processes it starts.
class PrivateBus {
public:
    explicit PrivateBus(const QString& configFile = QString());
    ~PrivateBus();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString address() const { return m_address; }

private:
    ChildProcess m_daemon;
    QString m_address;
    QString m_error;
};
