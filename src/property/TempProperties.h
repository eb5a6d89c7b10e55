#pragma once

#include "MemoryCatalog.h"

#include <QVariantMap>

class CatalogsManager;

// The run-time values the print, document and panel services share while a job runs
// ("temporary" catalog): job progress, file size and checksum, paper and orientation values,
// test-print state, the running job's speech options; a print job's collection carries its own
// copy. The two global switches, printing paused and speak custom paper, always address the master
// collection.
class TempProperties : public MemoryCatalog {
    Q_OBJECT

public:
    explicit TempProperties(CatalogsManager& catalogs, QObject* parent = nullptr);

    // Every value of the collection's catalog by name; empty when it has no such catalog.
    QVariantMap getTempProperties(const QString& collection) const;

    bool getSpeakCustomPaper() const;
    void setSpeakCustomPaper(bool speak);
    bool getPrintingPaused() const;
    void setPrintingPaused(bool paused);

private:
    bool getSwitch(const QString& name, const char* caller) const;
};
