#pragma once

#include "property/manager/CatalogAccessor.h"

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <QVector>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The embossed page counters ("counters" catalog, settings file "counters"): five counters by id
// 1 to 5, of which the model decides which ones a printed page advances. The model is handed
// over once at start-up, after the embosser configuration is known.
class PageCounter : public QObject {
    Q_OBJECT

public:
    static constexpr int counterCount = 5;

    PageCounter(
        const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent = nullptr);

    // -1 for an id outside 1..5.
    int getCounter(int id, const QString& collection) const;
    // Returns false and changes nothing for an id outside 1..5.
    bool setCounter(int value, int id, const QString& collection, bool save);
    // Advances every active counter by one and writes each to the settings file at once.
    void incrementPageCounter(const QString& collection);

    // Fixes the active counters from the configured model; an unknown model has none.
    void setModel(const QString& model);
    QVector<int> activeCounters() const { return m_activeCounters; }

    // The counter's parameter name; empty for an id outside 1..5.
    static QString counterName(int id);

    bool readFile(QVariantMap& out) const;
    // Copies the settings file's values over the master catalog again.
    void load();
    bool saveToFile() const;

    CatalogAccessor& accessor() { return m_access; }
    const CatalogAccessor& accessor() const { return m_access; }

private:
    CatalogAccessor m_access;
    QVector<int> m_activeCounters;
};
