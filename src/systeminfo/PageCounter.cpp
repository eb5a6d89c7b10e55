#include "PageCounter.h"

#include "Locations.h"
#include "libcorvane/LogPrefix.h"

CM_LOGGING_CATEGORY(lcPageCounter, "PageCounter")

namespace {

const char* const counterNames[PageCounter::counterCount] = {
    "Page Counter",
    "Page Counter 2",
    "Page Counter 3",
    "Page Counter 4",
    "Page Counter 5",
};

struct ModelCounters {
    const char* model;
    QVector<int> counters;
};

// Models with one counter per head or per print station; every other model counts nothing here.
const ModelCounters modelCounters[] = {
    { "Corvane Alvero-D V5", { 1 } },
    { "Corvane Tormel-D V5", { 1 } },
    { "Corvane Varnex V5", { 1, 2, 3 } },
    { "Corvane Plisto-D", { 1, 2, 3 } },
    { "Corvane Plisto+", { 1, 2, 3, 4, 5 } },
};

} // namespace

PageCounter::PageCounter(
    const ls::IReader& reader, const ls::IWriter& writer, CatalogsManager& catalogs, QObject* parent)
    : TopicSettings(
        QStringLiteral("counters"), Locations::countersFile(), reader, writer, catalogs, lcPageCounter(), parent)
{
    loadAndSyncFlash(Q_FUNC_INFO);
}

QString PageCounter::counterName(int id)
{
    if (id < 1 || id > counterCount) {
        return QString();
    }
    return QString::fromLatin1(counterNames[id - 1]);
}

int PageCounter::getCounter(int id, const QString& collection) const
{
    const QString name = counterName(id);
    if (name.isEmpty()) {
        LOG_ERROR(lcPageCounter) << "Invalid page counter id!" << id;
        return -1;
    }
    return m_access.getInt(name, collection, Q_FUNC_INFO);
}

bool PageCounter::setCounter(int value, int id, const QString& collection, bool save)
{
    const QString name = counterName(id);
    if (name.isEmpty()) {
        LOG_ERROR(lcPageCounter) << "Invalid page counter id!" << id;
        return false;
    }
    return m_access.setValue(name, value, collection, save, Q_FUNC_INFO);
}

void PageCounter::incrementPageCounter(const QString& collection)
{
    for (const int id : qAsConst(m_activeCounters)) {
        setCounter(getCounter(id, collection) + 1, id, collection, true);
    }
}

void PageCounter::setModel(const QString& model)
{
    m_activeCounters.clear();
    for (const ModelCounters& entry : modelCounters) {
        if (model == QLatin1String(entry.model)) {
            m_activeCounters = entry.counters;
            return;
        }
    }
}
