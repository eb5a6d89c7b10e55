#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QVariantMap>

class Architecture;
class CatalogAccessor;
class CatalogsManager;
class EmbosserConf;
class Embosserhead;
class Firmware;
class HammerDelta;
class PageCounter;
class Parameters;
class SerialCom;
class SlaveConf;
class Speech;
class UserSettings;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The machine settings as a whole: the eight topic settings files saved and reloaded together,
// the one-time conversion of the previous firmware's key=value files into them, and the objects
// of every machine family for the D-Bus methods. It does not own the objects it is given.
class SystemSettings : public QObject {
    Q_OBJECT

public:
    // `oldFileReader` reads the key=value files of the previous firmware.
    SystemSettings(Architecture* architecture, EmbosserConf* embosserConf, Embosserhead* embosserhead,
        Firmware* firmware, HammerDelta* hammerDelta, PageCounter* pageCounter, Parameters* parameters,
        SerialCom* serialCom, SlaveConf* slaveConf, Speech* speech, UserSettings* userSettings,
        CatalogsManager& catalogs, const ls::IReader& oldFileReader, const ls::IWriter& writer,
        QObject* parent = nullptr);

    Architecture* architecture() const { return m_architecture; }
    EmbosserConf* embosserConf() const { return m_embosserConf; }
    Embosserhead* embosserhead() const { return m_embosserhead; }
    Firmware* firmware() const { return m_firmware; }
    HammerDelta* hammerDelta() const { return m_hammerDelta; }
    PageCounter* pageCounter() const { return m_pageCounter; }
    Parameters* parameters() const { return m_parameters; }
    SerialCom* serialCom() const { return m_serialCom; }
    SlaveConf* slaveConf() const { return m_slaveConf; }
    Speech* speech() const { return m_speech; }
    UserSettings* userSettings() const { return m_userSettings; }

    // Rewrites the eight topic settings files, then asks the layout parameters to save theirs.
    void saveAllParameterFiles();
    // Reads the eight topic settings files into the master collection again.
    void reloadAllParameterFiles();
    // Converts and archives the key=value files of the previous firmware; runs once per machine,
    // since the converted files are moved away.
    void convertParameterFiles();
    // Moves a file into the archive of old settings files.
    bool archiveFile(const QString& path, const QString& fileName);

    // The current values of the machine families, in the order the system information shows them.
    QList<QPair<QString, QVariantMap>> currentConfigurationCmd() const;
    // The values of a family's master catalog by parameter name; parameters without a value are left out.
    static QVariantMap currentValues(const CatalogAccessor& access);

signals:
    void saveLayoutParametersToFile();

private:
    bool convertValue(const QString& key, const QString& text, const QString& catalog);

    Architecture* m_architecture;
    EmbosserConf* m_embosserConf;
    Embosserhead* m_embosserhead;
    Firmware* m_firmware;
    HammerDelta* m_hammerDelta;
    PageCounter* m_pageCounter;
    Parameters* m_parameters;
    SerialCom* m_serialCom;
    SlaveConf* m_slaveConf;
    Speech* m_speech;
    UserSettings* m_userSettings;
    CatalogsManager& m_catalogs;
    const ls::IReader& m_oldFileReader;
    const ls::IWriter& m_writer;
};
