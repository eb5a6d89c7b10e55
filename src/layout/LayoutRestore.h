#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

// Copies layouts between the working files and the backup places: the internal backup area, a
// USB stick, the distributors' layout sets, the factory set and a layout map a client uploads.
// The copying is the work of the embosser's scripts "embosser-backup.sh" and
// "embosser-layouts.sh", run with fixed command lines; this class also lists the backups each
// place holds.
//
// What reaches a command line is fixed words, layout numbers (ints: nothing but digits) and the
// backup a client names by location and source. Those two texts are accepted only when they name
// a backup of the operation's own place (accepts()), and go to the script as one quoted word.
class LayoutRestore : public QObject {
    Q_OBJECT

public:
    enum class Place { Local, Usb, Distributor };

    // `model` is the installed model; its folder names the USB and distributor places.
    explicit LayoutRestore(const QString& model, QObject* parent = nullptr);

    // "Corvane Zentra" -> "Corvane_Zentra"; empty when that is not one plain folder name.
    static QString modelFolder(const QString& model);
    // ` -L "1 3 "` for the layouts 1 and 3; empty for no layouts.
    static QString layoutOption(const QList<int>& layouts);
    // The number of a member key of a map of layouts ("layout-3" -> 3); -1 for any other key.
    static int layoutNumber(const QString& memberKey);

    // Whether a restore from `place` takes this location and source. Both empty (the place's
    // newest backup) always; otherwise for the internal and USB places the location is the
    // place itself ("internal:layouts/" or its directory "/backup/embosser/layouts/", and
    // "usb:layouts/" or "/media/sda1/backup/embosser/layouts/<model folder>/") and the source one
    // folder in it; for the distributors' sets the source is a set name, or, without a location,
    // the sets' directory or a folder below it.
    bool accepts(Place place, const QString& location, const QString& source) const;

    bool backupLocal(const QList<int>& layouts) const;
    bool backupUsb(const QList<int>& layouts) const;
    bool restoreLocal(const QString& location, const QString& source, const QList<int>& layouts) const;
    bool restoreUsb(const QString& location, const QString& source, const QList<int>& layouts) const;
    bool restoreDistributor(const QString& location, const QString& source, const QList<int>& layouts) const;
    bool restoreFactory() const;
    // Replaces the working layouts by `layouts` ("layout-<n>" -> layout data): every working
    // entry whose name contains "layout" goes. Refused, with nothing changed, unless every member
    // is a layout number's key with a non-empty map.
    bool restoreUpload(const QVariantMap& layouts) const;

    // Backup folder name -> its entries (names, or machine paths when `paths` is set); empty when
    // the place does not exist (no stick, no backups for the model).
    QVariantMap getLocalBackups(bool paths) const;
    QVariantMap getUsbBackups(const QString& model, bool paths) const;
    QVariantMap getDistributorBackups(const QString& model, bool paths) const;

private:
    bool run(const char* operation, const QString& commandLine) const;
    bool restore(Place place, const QString& location, const QString& source, const QList<int>& layouts) const;
    QVariantMap listBackups(const QString& base, bool paths, const char* missing) const;
    // The USB place of the installed model: its directory, empty when the model names no folder.
    QString usbDir() const;

    QString m_modelFolder;
};
