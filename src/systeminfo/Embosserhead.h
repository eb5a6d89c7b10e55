#pragma once

#include "TopicSettings.h"
#include "property/manager/CatalogAccessor.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The print head's hammer timing and geometry ("embosserhead" catalog, settings file
// "embosserhead"), keyed by the texts of ls::IntValueParamId and ls::DoubleValueParamId, and the
// hammer batches: for each model and production batch a file of tuned int values, selected by the
// stored batch number. The batch values are laid over the file values in memory at every start;
// only the batch number itself is persistent (and mirrored in the flash memory).
//
// Batch files by range of the matched batch: up to 1713 none; 1714 to 8999 in the model's
// "hammer_batch" directory below the settings directory (model name with "_" for blanks); above
// 8999 in the one model-independent batch directory.
class Embosserhead : public TopicSettings {
    Q_OBJECT

public:
    Embosserhead(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    // Error values -1 and -1.0.
    int getIntValue(const QString& key, const QString& collection) const;
    double getDoubleValue(const QString& key, const QString& collection) const;
    // False for a key outside the family's meta table and when nothing was set.
    bool setIntValue(const QString& key, int value, const QString& collection, bool save);
    bool setDoubleValue(const QString& key, double value, const QString& collection, bool save);

    // The by-key D-Bus methods: a key outside ls::IntValueParamId is refused before the catalog
    // is asked, logged under `caller` with the key and the collection (getter: -1).
    int getIntValueChecked(const QString& key, const QString& collection, const char* caller) const;
    bool setIntValueChecked(const QString& key, int value, const QString& collection, bool save, const char* caller);

    // The batch whose file serves `batch` on the current model: the batch itself when its file
    // exists, else the lower file of the neighbouring pair (in text order of the file names) that
    // encloses it, else the smaller of the batch and the last file.
    int matchHammerBatch(int batch) const;
    // With save, stores the batch number (settings file and flash memory) first; then lays the
    // matched batch file's values over the collection, in memory only.
    void setHammerBatchParameters(int batch, const QString& collection, bool save);
    // Lays the stored batch's values over the collection; batch 1600 keeps the file values.
    void readHammerBatch(const QString& collection);
    // The stored batch, followed by the matched one in brackets when they differ ("1800 [1750]").
    QString buildHammerBatchString() const;

    // The batch file for a matched batch, by range; it may not exist.
    QString hammerBatchFile(int matchedBatch) const;
    // The current model's batch directory.
    QString modelHammerBatchDir() const;

signals:
    void notification(QVariantMap notification);

private:
    QString modelDirectoryName() const;

    const ls::IReader& m_reader;
    // Read only: the model name chooses the batch directory.
    CatalogAccessor m_embosserConf;
};
