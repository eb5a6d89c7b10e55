#pragma once

#include <QObject>
#include <QString>

class EmbosserConf;

// The machine-wide operations of the system options: the clock through "date", the time zone as
// the link /etc/localtime into the Etc zones through "readlink" and "ln", the model, and the
// backups and restores of the configuration through the backup script.
//
// Clients speak of time zones with the everyday sign (GMT+2 is two hours east); the Etc zone files
// carry the POSIX sign (GMT-2 is two hours east), so the sign is swapped both ways. Only a zone
// "GMT", "GMT+N" or "GMT-N" whose zone file exists is ever linked. A date text reaches "date" as
// one argument of its own, never through a shell. A model is set only when the embosser list
// names it: the settings script resets the whole configuration to that model's factory set.
class SystemOptSettings : public QObject {
    Q_OBJECT

public:
    explicit SystemOptSettings(const EmbosserConf& embosserConf, QObject* parent = nullptr);

    // Refused for an empty name and for a model the embosser list does not name.
    bool setModel(const QString& model) const;
    bool isKnownModel(const QString& model) const;
    QString getModel() const;
    bool setDateTime(const QString& dateTime) const;
    // The service's local time, "yyyy-MM-dd / hh:mm".
    QString getDateTime() const;
    // Empty when the link cannot be read or names no GMT zone.
    QString getTimeZone() const;
    bool setTimeZone(QString zone) const;
    // Whether a client's zone names an existing Etc zone file (see the class comment).
    bool isKnownTimeZone(const QString& zone) const;

    bool backupConfigUsb() const;
    bool backupConfigInternal() const;
    bool restoreConfigUsb() const;
    bool restoreConfigInternal() const;

private:
    // The Etc zone file of a client's zone; empty when there is none.
    QString zoneFile(const QString& zone) const;

    const EmbosserConf& m_embosserConf;
};
