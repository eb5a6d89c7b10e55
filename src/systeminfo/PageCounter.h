#pragma once

#include "TopicSettings.h"

#include <QObject>
#include <QString>
#include <QVector>

class CatalogsManager;

namespace ls {
class IReader;
class IWriter;
} // namespace ls

// The embossed page counters ("counters" catalog, settings file "counters"): five counters by id
// 1 to 5, of which the model decides which ones a printed page advances. The model is handed
// over once at start-up, after the embosser configuration is known.
class PageCounter : public TopicSettings {
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

private:
    QVector<int> m_activeCounters;
};
